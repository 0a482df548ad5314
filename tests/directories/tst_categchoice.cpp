// "Choose  Expert Category" and ChooseCategory as the question editor uses
// them: the preselected node, the path, OK only while a node is selected, the
// code and path handed back, and -1 with the caller's path left alone.

#include "categorytesting.h"
#include "directories/catchoice.h"
#include "directories/categorytreeview.h"
#include "tests/support/modaldriver.h"
#include "store/rowset.h"
#include "windowtesting.h"

#include <QAction>
#include <QLabel>

using namespace CategoryTesting;

namespace {

struct ChooserFixture
{
    explicit ChooserFixture(const QString &seed = sampleStore())
        : f(seed)
    {}
    StoreFixture f;
    TfmCategChoice dialog{f.dm};
};

CategoryTreeView *treeOf(QWidget *dialog)
{
    return child<CategoryTreeView>(dialog, "treeChoice");
}

bool okEnabled(QWidget *dialog)
{
    return child<QAction>(dialog, "acOk")->isEnabled() && child<QPushButton>(dialog, "btnOk")->isEnabled();
}

QStringList expandedFolders(CategoryTreeView *view)
{
    QStringList names;
    const CategoryTreeModel &tree = view->tree();
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &node) {
        for (int i = 0; i < tree.rowCount(node); ++i) {
            const QModelIndex c = tree.index(i, 0, node);
            if (tree.kind(c) == CategoryTreeModel::Kind::Folder && view->isExpanded(c))
                names << tree.caption(c);
            walk(c);
        }
    };
    walk(tree.rootIndex());
    return names;
}

} // namespace

class tst_CategChoice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionsAndTabOrder();
    void preselectionSelectsAndExpands_data();
    void preselectionSelectsAndExpands();
    void choosingReturnsCodeAndPath_data();
    void choosingReturnsCodeAndPath();
    void cancelReturnsMinusOneAndLeavesThePath_data();
    void cancelReturnsMinusOneAndLeavesThePath();
    void okOnlyWhileANodeIsSelected();
    void treeIsLoadedAtEveryShowing();
};

void tst_CategChoice::captionsAndTabOrder()
{
    ChooserFixture c;
    QWidget &d = c.dialog;
    QCOMPARE(d.objectName(), QStringLiteral("fmCategChoice"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Choose  Expert Category"));
    QCOMPARE(child<QLabel>(&d, "lbPath")->text(), QStringLiteral("Path:"));
    QCOMPARE(child<QLabel>(&d, "lbPath")->buddy(), child(&d, "edPath"));
    QVERIFY(child<QLineEdit>(&d, "edPath")->isReadOnly());
    QCOMPARE(child<QAction>(&d, "acOk")->text(), QStringLiteral("OK"));
    QVERIFY(child<QPushButton>(&d, "btnOk")->isDefault());
    QCOMPARE(child<QPushButton>(&d, "btnCancel")->text(), QStringLiteral("Cancel"));
    // The path edit is not a stop of the Tab key.
    QCOMPARE(tabOrder(treeOf(&d), 4), (QStringList{"treeChoice", "btnOk", "btnCancel"}));
}

void tst_CategChoice::preselectionSelectsAndExpands_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path"); // empty: nothing selected
    QTest::addColumn<QStringList>("expanded");
    QTest::newRow("a category inside a folder") << 2 << "\\All\\Hardware\\Misc" << QStringList{"Hardware", "Disks"};
    QTest::newRow("a category two folders deep")
        << 6 << "\\All\\Hardware\\Disks\\SCSI" << QStringList{"Hardware", "Disks"};
    QTest::newRow("a folder") << 5 << "\\All\\Hardware\\Disks" << QStringList{"Hardware", "Disks"};
    QTest::newRow("a node under the root expands the whole tree")
        << 3 << "\\All\\Databases" << QStringList{"Hardware", "Disks", "Software", "Tools"};
    QTest::newRow("code 0 selects nothing") << 0 << "" << QStringList{};
    QTest::newRow("a code no node carries selects nothing") << 99 << "" << QStringList{};
}

void tst_CategChoice::preselectionSelectsAndExpands()
{
    QFETCH(int, code);
    QFETCH(QString, path);
    QFETCH(QStringList, expanded);
    ChooserFixture c(sampleStore() + category(7, 4, false, "Tools"));
    ModalDriver driver;
    QString shownPath, selectedPath;
    QStringList shownExpanded;
    bool ok = true;
    driver.onWindow("fmCategChoice", [&](QWidget *dialog) {
        CategoryTreeView *view = treeOf(dialog);
        const QModelIndex selected = view->selectedNode();
        selectedPath = selected.isValid() ? view->tree().pathText(selected) : QString();
        shownPath = textOf(dialog, "edPath");
        shownExpanded = expandedFolders(view);
        ok = okEnabled(dialog);
        QVERIFY(view->isExpanded(view->tree().rootIndex()));
        click(dialog, "btnCancel");
    });
    QString kept = QStringLiteral("\\All\\Old");
    QCOMPARE(c.dialog.ChooseCategory(kept, code), -1);
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(selectedPath, path);
    QCOMPARE(shownPath, path);
    QCOMPARE(shownExpanded, expanded);
    QCOMPARE(ok, !path.isEmpty());
    QCOMPARE(kept, QStringLiteral("\\All\\Old"));
}

void tst_CategChoice::choosingReturnsCodeAndPath_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::newRow("the root") << QStringList{} << "OK" << 0 << "\\All";
    QTest::newRow("a folder") << QStringList{"Hardware"} << "OK" << 1 << "\\All\\Hardware";
    QTest::newRow("a category in a folder") << QStringList{"Hardware", "Misc"} << "OK" << 2 << "\\All\\Hardware\\Misc";
    QTest::newRow("Enter runs OK") << QStringList{"Databases"} << "Enter" << 3 << "\\All\\Databases";
    QTest::newRow("a double-click runs OK") << QStringList{"Software"} << "double-click" << 4 << "\\All\\Software";
}

void tst_CategChoice::choosingReturnsCodeAndPath()
{
    QFETCH(QStringList, node);
    QFETCH(QString, how);
    QFETCH(int, code);
    QFETCH(QString, path);
    ChooserFixture c;
    ModalDriver driver;
    QString shown;
    driver.onWindow("fmCategChoice", [&](QWidget *dialog) {
        CategoryTreeView *view = treeOf(dialog);
        const QModelIndex target = nodeAt(view->tree(), node);
        view->selectNode(target);
        shown = textOf(dialog, "edPath");
        if (how == "OK") {
            click(dialog, "btnOk");
        } else if (how == "Enter") {
            QTest::keyClick(view, Qt::Key_Return);
        } else {
            const QPoint at = view->visualRect(target).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        }
    });
    QString chosen = QStringLiteral("unchanged");
    QCOMPARE(c.dialog.ChooseCategory(chosen, 0), code);
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(shown, path);
    QCOMPARE(chosen, path);
}

void tst_CategChoice::cancelReturnsMinusOneAndLeavesThePath_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("title-bar close") << "title-bar close";
}

void tst_CategChoice::cancelReturnsMinusOneAndLeavesThePath()
{
    QFETCH(QString, how);
    ChooserFixture c;
    ModalDriver driver;
    driver.onWindow("fmCategChoice", [&](QWidget *dialog) {
        treeOf(dialog)->selectNode(treeOf(dialog)->tree().findCode(6));
        if (how == "Cancel")
            click(dialog, "btnCancel");
        else if (how == "Esc")
            QTest::keyClick(treeOf(dialog), Qt::Key_Escape);
        else
            dialog->close();
    });
    QString path = QStringLiteral("\\All\\Databases");
    QCOMPARE(c.dialog.ChooseCategory(path, 3), -1);
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(path, QStringLiteral("\\All\\Databases"));
}

void tst_CategChoice::okOnlyWhileANodeIsSelected()
{
    ChooserFixture c;
    ModalDriver driver;
    QList<bool> states;
    bool openAfterEnter = false;
    driver.onWindow("fmCategChoice", [&](QWidget *dialog) {
        CategoryTreeView *view = treeOf(dialog);
        states << okEnabled(dialog);
        // Enter and a double-click do nothing while OK is disabled.
        QTest::keyClick(view, Qt::Key_Return);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->viewport()->height() - 5));
        openAfterEnter = dialog->isVisible();
        view->selectNode(view->tree().rootIndex());
        states << okEnabled(dialog);
        view->selectNode({});
        states << okEnabled(dialog);
        view->selectNode(view->tree().findCode(4));
        states << okEnabled(dialog);
        click(dialog, "btnOk");
    });
    QString path;
    QCOMPARE(c.dialog.ChooseCategory(path, 0), 4);
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QVERIFY(openAfterEnter);
    QCOMPARE(states, (QList<bool>{false, true, false, true}));
    QCOMPARE(path, QStringLiteral("\\All\\Software"));
}

void tst_CategChoice::treeIsLoadedAtEveryShowing()
{
    ChooserFixture c;
    ModalDriver driver;
    QStringList trees;
    auto look = [&](QWidget *dialog) {
        trees << describe(treeOf(dialog)->tree());
        click(dialog, "btnOk");
    };
    driver.onWindow("fmCategChoice", look);
    QString path;
    QCOMPARE(c.dialog.ChooseCategory(path, 2), 2);

    // Changed in the meantime, as the manager would change it.
    RowSet rows(c.f.dm.MainConnection(), "SELECT * FROM categories WHERE Code=:Code");
    rows.setParam("Code", 0);
    rows.open();
    rows.append();
    rows.setValue("Parent", 1);
    rows.setValue("Kind", true);
    rows.setValue("Name", "Audio");
    rows.post();
    rows.setParam("Code", 2);
    rows.reopen();
    rows.edit();
    rows.setValue("Name", "Other");
    rows.post();

    driver.onWindow("fmCategChoice", look);
    QCOMPARE(c.dialog.ChooseCategory(path, 7), 7);
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(trees,
             (QStringList{"All(Hardware/(Disks/(SCSI),Misc),Software/,Databases)",
                          "All(Hardware/(Disks/(SCSI),Audio,Other),Software/,Databases)"}));
    QCOMPARE(path, QStringLiteral("\\All\\Hardware\\Audio"));
}

QTEST_MAIN(tst_CategChoice)
#include "tst_categchoice.moc"
