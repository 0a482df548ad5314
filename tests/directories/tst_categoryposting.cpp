// The posting mode in the category name dialog: "Post as one cross-post"
// shown for expert categories only, checked for a new one, as kept for an
// existing one, stored with the row in CategoryPosting, reached by Tab and
// named for screen readers; a store without the table shows no box and
// stores the category as before. Removing a category removes its mode.

#include "categorywindow.h"
#include "tests/support/modaldriver.h"

#include <QCheckBox>
#include <QMessageBox>

using namespace CategoryTesting;

class tst_CategoryPosting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void crossPostBoxFollowsTheCategory_data();
    void crossPostBoxFollowsTheCategory();
    void removedCategoryTakesItsMode();
    void storeWithoutTheTableShowsNoBox();
};

void tst_CategoryPosting::crossPostBoxFollowsTheCategory_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("seed"); // after the sample store
    QTest::addColumn<QString>("box"); // as shown: hidden, checked, unchecked
    QTest::addColumn<bool>("leftChecked"); // as the user leaves it
    QTest::addColumn<QStringList>("modes"); // CategoryPosting afterwards

    QTest::newRow("a new category starts checked")
        << QStringList{} << "acNew" << QString() << "checked" << true << QStringList{"7|-1"};
    QTest::newRow("a new category the user unchecks")
        << QStringList{"Hardware"} << "acNew" << QString() << "checked" << false << QStringList{"7|0"};
    QTest::newRow("an existing category without a mode posts copies")
        << QStringList{"Databases"} << "acEdit" << QString() << "unchecked" << true << QStringList{"3|-1"};
    QTest::newRow("an existing category in cross-post mode")
        << QStringList{"Databases"} << "acEdit"
        << "INSERT INTO CategoryPosting (Category, CrossPost) VALUES (3, -1);"
        << "checked" << false << QStringList{"3|0"};
    QTest::newRow("a folder has no mode")
        << QStringList{} << "acNewFolder" << QString() << "hidden" << true << QStringList{};
    QTest::newRow("renaming a folder") << QStringList{"Hardware"} << "acEdit" << QString() << "hidden" << true
                                       << QStringList{};
}

void tst_CategoryPosting::crossPostBoxFollowsTheCategory()
{
    QFETCH(QStringList, node);
    QFETCH(QString, command);
    QFETCH(QString, seed);
    QFETCH(QString, box);
    QFETCH(bool, leftChecked);
    QFETCH(QStringList, modes);
    ManagerFixture m(sampleStore() + seed);
    QVERIFY(m.open());
    m.select(node);

    ModalDriver driver;
    QString shown;
    QStringList tabs;
    QString accessible;
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        auto *crossPost = child<QCheckBox>(dialog, "cbCrossPost");
        shown = crossPost->isHidden() ? "hidden" : crossPost->isChecked() ? "checked" : "unchecked";
        tabs = tabOrder(child(dialog, "edName"), 4);
        accessible = crossPost->accessibleName();
        crossPost->setChecked(leftChecked);
        fill(dialog, "edName", QStringLiteral("Audio"));
        click(dialog, "btnOk");
    });
    m.action(qPrintable(command))->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));

    QCOMPARE(shown, box);
    if (box != "hidden") // reached from the name with Tab, before the buttons
        QCOMPARE(tabs, QStringList({"edName", "cbCrossPost", "btnOk", "btnCancel"}));
    QCOMPARE(accessible, QStringLiteral("Post as one cross-post"));
    // Stored with the row, durably.
    QCOMPARE(m.f.committed("SELECT Category, CrossPost FROM CategoryPosting ORDER BY Category"), modes);
    QCOMPARE(m.f.committed("SELECT COUNT(*) FROM Categories WHERE Name = 'Audio'"), QStringList{"1"});
}

void tst_CategoryPosting::removedCategoryTakesItsMode()
{
    ManagerFixture m(sampleStore() + "INSERT INTO CategoryPosting (Category, CrossPost) VALUES (3, -1);"
                     + "INSERT INTO CategoryPosting (Category, CrossPost) VALUES (6, -1);");
    QVERIFY(m.open());
    m.select({"Databases"});
    ModalDriver driver;
    driver.answerBox(QMessageBox::Yes);
    m.action("acRemove")->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(m.f.committed("SELECT Category FROM CategoryPosting"), QStringList{"6"});
}

void tst_CategoryPosting::storeWithoutTheTableShowsNoBox()
{
    // A store made before the table, as quorbic-cli upgrade finds it.
    ManagerFixture m(sampleStore() + "DROP TABLE CategoryPosting;");
    QVERIFY(m.open());
    ModalDriver driver;
    bool hidden = false;
    driver.onWindow("fmCategoryEdit", [&](QWidget *dialog) {
        hidden = child<QCheckBox>(dialog, "cbCrossPost")->isHidden();
        fill(dialog, "edName", QStringLiteral("Audio"));
        click(dialog, "btnOk");
    });
    m.action("acNew")->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QVERIFY(hidden);
    QCOMPARE(m.f.committed("SELECT Kind, Name FROM Categories WHERE Code = 7"), QStringList{"-1|Audio"});
}

QTEST_MAIN(tst_CategoryPosting)
#include "tst_categoryposting.moc"
