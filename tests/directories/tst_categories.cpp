// "Expert Category Manager" and its name dialog driven as the user drives
// them: the tree on opening, the commands by the selected node, creating,
// renaming and removing nodes, and closing without deleting anything.

#include "categorywindow.h"
#include "directories/categoryimages.h"
#include "tests/support/modaldriver.h"
#include "store/storeconnection.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace CategoryTesting;

namespace {

const QString kSampleTree = QStringLiteral("All(Hardware/(Disks/(SCSI),Misc),Software/,Databases)");
const QStringList kSampleRows{"1|0|0|Hardware", "2|1|-1|Misc", "3|0|-1|Databases",
                              "4|0|0|Software", "5|1|0|Disks", "6|5|-1|SCSI"};

QStringList captions(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : QString(action->text()).remove('&'));
    return texts;
}

void answerNameDialog(ModalDriver &driver, const QString &name, QStringList *seen = nullptr)
{
    driver.onWindow("fmCategoryEdit", [=](QWidget *dialog) {
        if (seen) {
            *seen << dialog->windowTitle() << child<QLabel>(dialog, "lbName")->text() << textOf(dialog, "edName")
                  << (dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString());
        }
        fill(dialog, "edName", name);
        click(dialog, "btnOk");
    });
}

#define VERIFY_DRIVER(driver)                                                                                          \
    do {                                                                                                               \
        QVERIFY2((driver).done(), qPrintable((driver).pending().join(", ")));                                          \
        QCOMPARE((driver).unexpected(), QStringList());                                                                \
    } while (false)

} // namespace

class tst_Categories : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionsHintsMenusAndKeys();
    void aNewStoreShowsOnlyTheRoot();
    void opensWithTheRootSelected();
    void commandsFollowTheSelectedNode_data();
    void commandsFollowTheSelectedNode();
    void createsAndEditsThroughTheNameDialog_data();
    void createsAndEditsThroughTheNameDialog();
    void aNewNodeGoesLastAndIsSortedAtTheNextOpening();
    void anEmptyNameIsRefusedUntilOneIsTyped_data();
    void anEmptyNameIsRefusedUntilOneIsTyped();
    void cancellingStoresNothing_data();
    void cancellingStoresNothing();
    void aRefusedNameIsReportedAndCancelled();
    void enterEditsFromAnywhere_data();
    void enterEditsFromAnywhere();
    void doubleClickOnTheTreeEdits();
    void everyCommandIsReachedFromTheKeyboard();
    void removeAsksFirst();
    void removeDeletesTheWholeSubTree_data();
    void removeDeletesTheWholeSubTree();
    void aFailedRemovalDeletesNothing();
    void closingDeletesNothing_data();
    void closingDeletesNothing();
};

void tst_Categories::captionsHintsMenusAndKeys()
{
    ManagerFixture m;
    QWidget &w = m.window;
    QCOMPARE(w.objectName(), QStringLiteral("fmCategories"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Expert Category Manager"));
    const struct
    {
        const char *name;
        QString caption, hint;
        QList<QKeySequence> keys;
    } commands[] = {
        {"acNew", "Create Category", "Create a new category", {}},
        {"acNewFolder", "Create Folder", "Create a new folder", {}},
        {"acEdit", "Edit", "Edit a category", {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}},
        {"acRemove", "Remove", "Remove a category", {}},
        {"acClose", "Close", "Close the dialog", {QKeySequence(Qt::Key_Escape)}},
        {"acSubscribe", "Add", "Add the selected newsgroups to the category", {}},
        {"acUnsubscribe", "Remove", "Remove the selected newsgroups from the category", {}},
    };
    for (const auto &c : commands) {
        QAction *action = m.action(c.name);
        QCOMPARE(QString(action->text()).remove('&'), c.caption);
        QCOMPARE(action->toolTip(), c.hint);
        QCOMPARE(action->shortcuts(), c.keys);
    }

    auto *menuBar = child<QMenuBar>(&w, "mmCategories");
    QCOMPARE(captions(menuBar->actions()), (QStringList{"New", "Edit", "Remove", "Close"}));
    QCOMPARE(menuBar->actions().first()->toolTip(), QStringLiteral("Create a new category"));
    QCOMPARE(captions(menuBar->actions().first()->menu()->actions()),
             (QStringList{"Create Folder", "Create Category"}));
    auto *toolBar = child<QToolBar>(&w, "tbCategories");
    QCOMPARE(captions(toolBar->actions()),
             (QStringList{"Create Category", "Create Folder", "-", "Edit", "Remove", "-", "Close"}));
    for (QAction *action : toolBar->actions()) {
        if (!action->isSeparator())
            QCOMPARE(toolBar->widgetForAction(action)->accessibleName(), QString(action->text()).remove('&'));
    }
    QCOMPARE(captions(m.tree()->actions()), (QStringList{"Create Folder", "Create Category", "-", "Edit", "Remove"}));
    QCOMPARE(m.tree()->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(captions(m.list()->actions()), (QStringList{"Add", "Remove"}));
    QCOMPARE(m.list()->contextMenuPolicy(), Qt::ActionsContextMenu);

    QCOMPARE(child<QGroupBox>(&w, "gbCategories")->title(), QStringLiteral("Categories"));
    QCOMPARE(child<QGroupBox>(&w, "gbNewsgroups")->title(), QStringLiteral("Newsgroups"));
    auto *lbFilter = child<QLabel>(&w, "lbFilter");
    QCOMPARE(QString(lbFilter->text()).remove('&'), QStringLiteral("Find newsgroups whicn contain:"));
    QCOMPARE(lbFilter->buddy(), child(&w, "edFilter"));
    QCOMPARE(m.list()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Newsgroup"));
    QCOMPARE(m.list()->header()->minimumSectionSize(), 200);
    QCOMPARE(m.list()->header()->maximumSectionSize(), 500);
    QCOMPARE(m.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(QString(child<QPushButton>(&w, "btnAdd")->text()).remove('&'), QStringLiteral("Add"));
    QCOMPARE(QString(child<QPushButton>(&w, "btnRemove")->text()).remove('&'), QStringLiteral("Remove"));
    QCOMPARE(tabOrder(m.tree(), 5), (QStringList{"treeCategory", "edFilter", "lvGroup", "btnAdd", "btnRemove"}));
    auto *timer = w.findChild<QTimer *>("tmrFilter");
    QVERIFY(timer);
    QVERIFY(!timer->isActive());

    QWidget *dialog = child(&w, "fmCategoryEdit");
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Categories"));
    QVERIFY(child<QPushButton>(dialog, "btnOk")->isDefault());
    QCOMPARE(child<QLabel>(dialog, "lbName")->buddy(), child(dialog, "edName"));
}

void tst_Categories::aNewStoreShowsOnlyTheRoot()
{
    ManagerFixture m(groups({"alt.test", "comp.lang.c"}));
    QVERIFY(m.open());
    QCOMPARE(m.shown(), QStringLiteral("All"));
    QCOMPARE(m.model().nodeCode(m.tree()->selectedNode()), 0);
    QCOMPARE(m.treeCommands(), QStringLiteral("1100"));
    QCOMPARE(m.rows(), (QStringList{"alt.test", "comp.lang.c"}));
    m.selectRows({"alt.test"});
    QCOMPARE(m.groupCommands(), QStringLiteral("00"));
    QCOMPARE(qvariant_cast<QIcon>(m.model().rootIndex().data(Qt::DecorationRole)).cacheKey(),
             CategoryImages::icon(CategoryImages::Root).cacheKey());
}

void tst_Categories::opensWithTheRootSelected()
{
    ManagerFixture m;
    QVERIFY(m.open());
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.selectedPath(), QStringList());
    QVERIFY(m.tree()->isExpanded(m.model().rootIndex()));
    QVERIFY(!m.tree()->isExpanded(nodeAt(m.model(), {"Hardware"})));
    QCOMPARE(m.window.focusWidget(), m.tree());
    QCOMPARE(m.groupCommands(), QStringLiteral("00"));
}

void tst_Categories::commandsFollowTheSelectedNode_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("treeCommands"); // Create Category, Create Folder, Edit, Remove
    QTest::addColumn<QString>("groupCommands"); // Add, Remove newsgroups with two rows selected
    QTest::newRow("the root") << QStringList{} << "1100"
                              << "00";
    QTest::newRow("a folder") << QStringList{"Hardware"} << "1111"
                              << "00";
    QTest::newRow("a folder in a folder") << QStringList{"Hardware", "Disks"} << "1111"
                                          << "00";
    QTest::newRow("a category") << QStringList{"Hardware", "Misc"} << "0011"
                                << "11";
}

void tst_Categories::commandsFollowTheSelectedNode()
{
    QFETCH(QStringList, node);
    QFETCH(QString, treeCommands);
    QFETCH(QString, groupCommands);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Databases"});
    m.select(node);
    QCOMPARE(m.treeCommands(), treeCommands);
    m.selectRows({"alt.test", "comp.os.linux"}); // comp.os.linux belongs to Misc
    QCOMPARE(m.groupCommands(), groupCommands);
}

void tst_Categories::createsAndEditsThroughTheNameDialog_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("dialog"); // caption, label, name shown, focus
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("stored"); // Parent|Kind|Name of the row named Audio
    QTest::addColumn<int>("selectedCode"); // the node selected before and after

    QTest::newRow("a category under the root")
        << QStringList{} << "acNew"
        << QStringList{"Create new expert category", "Enter expert category name", "", "edName"}
        << "All(Hardware/(Disks/(SCSI),Misc),Software/,Databases,Audio)"
        << "0|-1|Audio" << 0;
    QTest::newRow("a folder in a folder") << QStringList{"Hardware"} << "acNewFolder"
                                          << QStringList{"Create new folder", "Enter folder name", "", "edName"}
                                          << "All(Hardware/(Disks/(SCSI),Misc,Audio/),Software/,Databases)"
                                          << "1|0|Audio" << 1;
    QTest::newRow("renaming a category keeps its place")
        << QStringList{"Hardware", "Disks", "SCSI"} << "acEdit"
        << QStringList{"Edit expert category", "Enter expert category name", "SCSI", "edName"}
        << "All(Hardware/(Disks/(Audio),Misc),Software/,Databases)"
        << "5|-1|Audio" << 6;
    QTest::newRow("renaming a folder keeps its place")
        << QStringList{"Hardware"} << "acEdit" << QStringList{"Edit folder", "Enter folder name", "Hardware", "edName"}
        << "All(Audio/(Disks/(SCSI),Misc),Software/,Databases)"
        << "0|0|Audio" << 1;
}

void tst_Categories::createsAndEditsThroughTheNameDialog()
{
    QFETCH(QStringList, node);
    QFETCH(QString, command);
    QFETCH(QStringList, dialog);
    QFETCH(QString, tree);
    QFETCH(QString, stored);
    QFETCH(int, selectedCode);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select(node);

    ModalDriver driver;
    QStringList seen;
    answerNameDialog(driver, "Audio", &seen);
    m.action(qPrintable(command))->trigger();

    VERIFY_DRIVER(driver);
    QCOMPARE(seen, dialog);
    QCOMPARE(m.shown(), tree);
    QCOMPARE(m.model().nodeCode(m.tree()->selectedNode()), selectedCode);
    // Stored durably: another process sees the row at once.
    QCOMPARE(m.f.committed("SELECT Parent, Kind, Name FROM Categories WHERE Name = 'Audio'"), QStringList{stored});
    QCOMPARE(m.f.committed("SELECT COUNT(*) FROM Categories"), QStringList{command == "acEdit" ? "6" : "7"});
}

void tst_Categories::aNewNodeGoesLastAndIsSortedAtTheNextOpening()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware"});
    const QModelIndex hardware = m.tree()->selectedNode();
    QVERIFY(!m.tree()->isExpanded(hardware));

    ModalDriver driver;
    answerNameDialog(driver, "Audio");
    m.action("acNew")->trigger();
    VERIFY_DRIVER(driver);

    QCOMPARE(m.shown(), QStringLiteral("All(Hardware/(Disks/(SCSI),Misc,Audio),Software/,Databases)"));
    QVERIFY(m.tree()->isExpanded(hardware));
    QCOMPARE(m.selectedPath(), QStringList{"Hardware"});
    const QModelIndex audio = nodeAt(m.model(), {"Hardware", "Audio"});
    QCOMPARE(m.model().kind(audio), CategoryTreeModel::Kind::Category);
    QCOMPARE(m.model().nodeCode(audio), 7);

    m.window.close();
    QVERIFY(m.open());
    QCOMPARE(m.shown(), QStringLiteral("All(Hardware/(Disks/(SCSI),Audio,Misc),Software/,Databases)"));
}

void tst_Categories::anEmptyNameIsRefusedUntilOneIsTyped_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("retyped");
    QTest::addColumn<QString>("stored");
    QTest::newRow("a new category") << "acNew"
                                    << "Audio"
                                    << "Audio";
    QTest::newRow("a new folder, its own words") << "acNewFolder"
                                                  << "Audio"
                                                  << "Audio";
    QTest::newRow("a renamed category") << "acEdit"
                                        << "Audio"
                                        << "Audio";
    QTest::newRow("a name of blanks only passes") << "acNew"
                                                  << "   "
                                                  << "   ";
}

void tst_Categories::anEmptyNameIsRefusedUntilOneIsTyped()
{
    QFETCH(QString, command);
    QFETCH(QString, retyped);
    QFETCH(QString, stored);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select(command == "acEdit" ? QStringList{"Databases"} : QStringList{});

    ModalDriver driver;
    QString focusAfterBox;
    bool openAfterBox = false;
    driver.onWindow("fmCategoryEdit", [](QWidget *dialog) {
        fill(dialog, "edName", QString());
        click(dialog, "btnOk");
    });
    driver.answerBox(QMessageBox::Ok);
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        openAfterBox = dialog->isVisible();
        focusAfterBox = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        fill(dialog, "edName", retyped);
        click(dialog, "btnOk");
    });
    m.action(qPrintable(command))->trigger();

    VERIFY_DRIVER(driver);
    QCOMPARE(driver.boxes().size(), 1);
    const ModalDriver::Box &box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Warning"));
    // A folder's name is reported as the folder's.
    QCOMPARE(box.text, command == QLatin1String("acNewFolder")
                           ? QStringLiteral("The Folder Name field is empty\rPlease, enter the folder name")
                           : QStringLiteral("The Category Name field is empty\rPlease, enter the category name"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY(openAfterBox);
    QCOMPARE(focusAfterBox, QStringLiteral("edName"));
    const QString changed = command == "acEdit" ? "SELECT Name FROM Categories WHERE Code = 3"
                                                : "SELECT Name FROM Categories WHERE Code > 6";
    QCOMPARE(m.f.committed(changed), QStringList{stored});
}

void tst_Categories::cancellingStoresNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("how");
    for (const char *command : {"acNew", "acNewFolder", "acEdit"}) {
        for (const char *how : {"Cancel", "Esc", "title-bar close"})
            QTest::addRow("%s, %s", command, how) << QString(command) << QString(how);
    }
}

void tst_Categories::cancellingStoresNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, how);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select(command == "acEdit" ? QStringList{"Software"} : QStringList{"Hardware"});

    ModalDriver driver;
    int result = -1;
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        fill(dialog, "edName", "Typed");
        if (how == "Cancel")
            click(dialog, "btnCancel");
        else if (how == "Esc")
            QTest::keyClick(child(dialog, "edName"), Qt::Key_Escape);
        else
            dialog->close();
        result = static_cast<QDialog *>(dialog)->result();
    });
    m.action(qPrintable(command))->trigger();
    VERIFY_DRIVER(driver);
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.categories(), kSampleRows);

    // The row set is back to browsing: the next command stores its row.
    ModalDriver next;
    answerNameDialog(next, "Later");
    m.action(qPrintable(command))->trigger();
    VERIFY_DRIVER(next);
    QCOMPARE(m.f.committed("SELECT COUNT(*) FROM Categories WHERE Name = 'Later'"), QStringList{"1"});
}

void tst_Categories::aRefusedNameIsReportedAndCancelled()
{
    ManagerFixture m;
    m.f.dm.MainConnection().execDirect("CREATE TRIGGER refuse BEFORE INSERT ON Categories WHEN new.Name = 'Refused'"
                                       " BEGIN SELECT RAISE(ABORT, 'The name is refused'); END");
    QVERIFY(m.open());
    m.select({"Hardware"});

    ModalDriver driver;
    int result = -1;
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        fill(dialog, "edName", "Refused");
        click(dialog, "btnOk");
        result = static_cast<QDialog *>(dialog)->result();
    });
    driver.answerBox(QMessageBox::Ok);
    m.action("acNew")->trigger();

    VERIFY_DRIVER(driver);
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(driver.boxes().size(), 1);
    QCOMPARE(driver.boxes().first().title, QStringLiteral("Quorbic"));
    QCOMPARE(driver.boxes().first().icon, QMessageBox::Critical);
    QVERIFY2(driver.boxes().first().text.contains("The name is refused"), qPrintable(driver.boxes().first().text));
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.f.committed("SELECT COUNT(*) FROM Categories"), QStringList{"6"});

    ModalDriver next;
    answerNameDialog(next, "Accepted");
    m.action("acNew")->trigger();
    VERIFY_DRIVER(next);
    QCOMPARE(m.shown(), QStringLiteral("All(Hardware/(Disks/(SCSI),Misc,Accepted),Software/,Databases)"));
}

void tst_Categories::enterEditsFromAnywhere_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the tree") << "treeCategory" << int(Qt::Key_Return);
    QTest::newRow("Enter in the filter edit") << "edFilter" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the group list") << "lvGroup" << int(Qt::Key_Enter);
    QTest::newRow("Enter on the Add button") << "btnAdd" << int(Qt::Key_Return);
}

void tst_Categories::enterEditsFromAnywhere()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    m.selectRows({"alt.test"});
    QWidget *target = child(&m.window, qPrintable(focus));
    target->setFocus();

    ModalDriver driver;
    QString caption;
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        caption = dialog->windowTitle();
        click(dialog, "btnCancel");
    });
    QTest::keyClick(target, Qt::Key(key));
    VERIFY_DRIVER(driver);
    QCOMPARE(caption, QStringLiteral("Edit expert category"));
    // Enter on the root edits nothing.
    QVERIFY(m.backToTheWindow());
    m.select({});
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(driver.unexpected(), QStringList());
    QVERIFY(m.window.isVisible());
}

void tst_Categories::doubleClickOnTheTreeEdits()
{
    ManagerFixture m;
    QVERIFY(m.open());
    const QModelIndex software = nodeAt(m.model(), {"Software"});
    ModalDriver driver;
    answerNameDialog(driver, "Programs");
    const QPoint at = m.tree()->visualRect(software).center();
    QTest::mouseClick(m.tree()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m.tree()->viewport(), Qt::LeftButton, {}, at);
    VERIFY_DRIVER(driver);
    QCOMPARE(m.shown(), QStringLiteral("All(Hardware/(Disks/(SCSI),Misc),Programs/,Databases)"));

    // The root cannot be edited: a double-click on it opens nothing.
    const QPoint root = m.tree()->visualRect(m.model().rootIndex()).center();
    QTest::mouseClick(m.tree()->viewport(), Qt::LeftButton, {}, root);
    QTest::mouseDClick(m.tree()->viewport(), Qt::LeftButton, {}, root);
    QCOMPARE(driver.unexpected(), QStringList());
}

void tst_Categories::everyCommandIsReachedFromTheKeyboard()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Software"});
    QStringList captions;
    ModalDriver driver;
    auto record = [&](QWidget *dialog) {
        captions << dialog->windowTitle();
        click(dialog, "btnCancel");
    };
    // The items of the "New" menu answer their own letters.
    QMenu *menuNew = child<QMenuBar>(&m.window, "mmCategories")->actions().first()->menu();
    for (Qt::Key item : {Qt::Key_F, Qt::Key_C}) {
        driver.onWindow("fmCategoryEdit", record);
        menuNew->popup(m.window.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menuNew));
        QTest::keyClick(menuNew, item);
    }
    QVERIFY(m.backToTheWindow());
    driver.onWindow("fmCategoryEdit", record);
    QTest::keyClick(m.tree(), Qt::Key_E, Qt::AltModifier);
    QVERIFY(m.backToTheWindow());
    driver.answerBox(QMessageBox::No);
    QTest::keyClick(m.tree(), Qt::Key_R, Qt::AltModifier);
    QVERIFY(m.backToTheWindow());
    VERIFY_DRIVER(driver);
    QCOMPARE(captions, (QStringList{"Create new folder", "Create new expert category", "Edit folder"}));
    QCOMPARE(driver.boxes().size(), 1);

    QTest::keyClick(m.tree(), Qt::Key_F, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), child(&m.window, "edFilter"));

    m.select({"Databases"});
    m.selectRows({"alt.test"});
    // A button's letter presses it and lets it go a moment later.
    QTest::keyClick(m.list(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|alt.test", "3|comp.lang.c"}));
    QTest::keyClick(m.list(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c"}));

    QTest::keyClick(m.tree(), Qt::Key_C, Qt::AltModifier);
    QVERIFY(!m.window.isVisible());
    QCOMPARE(m.categories(), kSampleRows);
}

void tst_Categories::removeAsksFirst()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware"});
    ModalDriver driver;
    driver.answerBox(QMessageBox::No);
    m.action("acRemove")->trigger();
    VERIFY_DRIVER(driver);
    const ModalDriver::Box &box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Delete Tree Item"));
    QCOMPARE(box.text, QStringLiteral("Would you like to delete this item?"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.selectedPath(), QStringList{"Hardware"});
    QCOMPARE(m.categories(), kSampleRows);
}

void tst_Categories::removeDeletesTheWholeSubTree_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("treeCommands"); // of the parent, selected afterwards

    QTest::newRow("a folder holding a folder with two categories")
        << QStringList{"Hardware"} << "All(Software/,Databases)" << QStringList{"3|0|-1|Databases", "4|0|0|Software"}
        << QStringList{"3|comp.lang.c"} << "1100";
    QTest::newRow("a category inside a folder")
        << QStringList{"Hardware", "Disks", "IDE"} << "All(Hardware/(Disks/(SCSI),Misc),Software/,Databases)"
        << QStringList{"1|0|0|Hardware", "2|1|-1|Misc", "3|0|-1|Databases",
                       "4|0|0|Software", "5|1|0|Disks", "6|5|-1|SCSI"}
        << QStringList{"2|comp.os.linux", "3|comp.lang.c", "6|alt.test", "6|sci.math"} << "1111";
}

void tst_Categories::removeDeletesTheWholeSubTree()
{
    QFETCH(QStringList, node);
    QFETCH(QString, tree);
    QFETCH(QStringList, categories);
    QFETCH(QStringList, links);
    QFETCH(QString, treeCommands);
    // Disks holds two categories, SCSI and IDE, each with newsgroups.
    ManagerFixture m(sampleStore() + category(7, 5, true, "IDE") + link(6, "alt.test") + link(6, "sci.math")
                     + link(7, "alt.test") + link(7, "de.comp.lang"));
    QVERIFY(m.open());
    m.select(node);

    ModalDriver driver;
    driver.answerBox(QMessageBox::Yes);
    m.action("acRemove")->trigger();
    VERIFY_DRIVER(driver);

    QCOMPARE(m.shown(), tree);
    QCOMPARE(m.selectedPath(), node.mid(0, node.size() - 1));
    QCOMPARE(m.treeCommands(), treeCommands);
    QVERIFY(!m.window.storeDeleteSwitch());
    QCOMPARE(m.categories(), categories);
    QCOMPARE(m.links(), links);
    QCOMPARE(m.f.committed("SELECT GroupName FROM Groups ORDER BY GroupName"), kGroupNames);
}

void tst_Categories::aFailedRemovalDeletesNothing()
{
    ManagerFixture m(sampleStore() + link(6, "alt.test"));
    // Disks goes after SCSI below it and before Misc and Hardware.
    m.f.dm.MainConnection().execDirect("CREATE TRIGGER keep BEFORE DELETE ON Categories WHEN old.Name = 'Disks'"
                                       " BEGIN SELECT RAISE(ABORT, 'Disks is kept'); END");
    m.f.dm.checkpoint();
    const QStringList links = m.links();
    QVERIFY(m.open());
    m.select({"Hardware"});

    ModalDriver driver;
    driver.answerBox(QMessageBox::Yes);
    driver.answerBox(QMessageBox::Ok);
    m.action("acRemove")->trigger();
    VERIFY_DRIVER(driver);
    QCOMPARE(driver.boxes().size(), 2);
    QCOMPARE(driver.boxes().at(1).title, QStringLiteral("Quorbic"));
    QCOMPARE(driver.boxes().at(1).icon, QMessageBox::Critical);
    QVERIFY2(driver.boxes().at(1).text.contains("Disks is kept"), qPrintable(driver.boxes().at(1).text));

    QVERIFY(!m.window.storeDeleteSwitch());
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.selectedPath(), QStringList());
    QCOMPARE(m.categories(), kSampleRows);
    QCOMPARE(m.links(), links);

    // Nothing is left half-done: removing another node works, closing and
    // reopening deletes nothing more.
    m.select({"Software"});
    ModalDriver next;
    next.answerBox(QMessageBox::Yes);
    m.action("acRemove")->trigger();
    VERIFY_DRIVER(next);
    m.window.close();
    QVERIFY(m.open());
    QCOMPARE(m.shown(), QStringLiteral("All(Hardware/(Disks/(SCSI),Misc),Databases)"));
    QCOMPARE(m.categories().size(), 5);
    QCOMPARE(m.links(), links);
}

void tst_Categories::closingDeletesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("title-bar close") << "title-bar close";
}

void tst_Categories::closingDeletesNothing()
{
    QFETCH(QString, how);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    const QStringList links = m.links();
    if (how == "Close")
        m.action("acClose")->trigger();
    else if (how == "Esc")
        QTest::keyClick(m.tree(), Qt::Key_Escape);
    else
        m.window.close();
    QVERIFY(!m.window.isVisible());
    QCOMPARE(m.model().rowCount(), 0);
    QCOMPARE(m.list()->model()->rowCount(), 0);
    QCOMPARE(m.categories(), kSampleRows);
    QCOMPARE(m.links(), links);

    QVERIFY(m.open());
    QCOMPARE(m.shown(), kSampleTree);
    QCOMPARE(m.selectedPath(), QStringList());
    QCOMPARE(m.categories(), kSampleRows);
}

QTEST_MAIN(tst_Categories)
#include "tst_categories.moc"
