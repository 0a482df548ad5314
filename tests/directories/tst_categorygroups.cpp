// The newsgroups side of "Expert Category Manager": the filtered list with the
// pencil on the groups of the selected category, the filter and its timer,
// adding and removing the selected groups, the double-click, and the enable
// rules of Add and Remove.

#include "categorywindow.h"
#include "directories/categoryimages.h"
#include "tests/support/modaldriver.h"

#include <QIcon>
#include <QLineEdit>
#include <QTimer>

using namespace CategoryTesting;

namespace {

QStringList marked(const QStringList &names, const QStringList &marks)
{
    QStringList rows;
    for (const QString &name : names)
        rows << (marks.contains(name) ? name + QStringLiteral(" *") : name);
    return rows;
}

QTimer *filterTimer(const ManagerFixture &m)
{
    return m.window.findChild<QTimer *>(QStringLiteral("tmrFilter"));
}

void doubleClickRow(const ManagerFixture &m, const QString &name)
{
    const QAbstractItemModel *model = m.list()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        const QModelIndex index = model->index(i, 0);
        if (index.data().toString() == name) {
            const QPoint at = m.list()->visualRect(index).center();
            QTest::mouseClick(m.list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(m.list()->viewport(), Qt::LeftButton, {}, at);
            return;
        }
    }
    qFatal("no row %s", qPrintable(name));
}

} // namespace

class tst_CategoryGroups : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void marksFollowTheSelectedNode();
    void selectionEnablesAddAndRemove_data();
    void selectionEnablesAddAndRemove();
    void addSkipsGroupsAlreadyInTheCategory();
    void removeTakesOnlyTheSelectedMarkedGroups();
    void addFindsEveryListedGroup();
    void oneGroupLeftByTheFilterIsAddedAndRemoved();
    void doubleClickAddsThenRemoves();
    void filterMatchesDescriptions();
    void filterAppliesWhenTheTimerFires_data();
    void filterAppliesWhenTheTimerFires();
    void aPendingFilterSurvivesSelectingANode();
    void theFilterTextIsKeptForTheNextOpening();
};

void tst_CategoryGroups::marksFollowTheSelectedNode()
{
    ManagerFixture m;
    QVERIFY(m.open());
    QCOMPARE(m.rows(), kGroupNames);
    m.select({"Hardware", "Misc"});
    QCOMPARE(m.rows(), marked(kGroupNames, {"comp.os.linux"}));
    const QModelIndex osLinux = m.list()->model()->index(3, 0);
    QCOMPARE(qvariant_cast<QIcon>(osLinux.data(Qt::DecorationRole)).cacheKey(), CategoryImages::pencil().cacheKey());
    QCOMPARE(qvariant_cast<QIcon>(osLinux.siblingAtRow(0).data(Qt::DecorationRole)).cacheKey(),
             CategoryImages::noMark().cacheKey());
    m.select({"Databases"});
    QCOMPARE(m.rows(), marked(kGroupNames, {"comp.lang.c"}));
    m.select({"Hardware"});
    QCOMPARE(m.rows(), kGroupNames);
    m.select({});
    QCOMPARE(m.rows(), kGroupNames);
}

void tst_CategoryGroups::selectionEnablesAddAndRemove_data()
{
    QTest::addColumn<QStringList>("node");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("commands"); // Add, Remove
    const QStringList misc{"Hardware", "Misc"};
    QTest::newRow("nothing selected") << misc << QStringList{} << "00";
    QTest::newRow("groups outside the category") << misc << QStringList{"alt.test", "sci.math"} << "10";
    QTest::newRow("a group of the category") << misc << QStringList{"comp.os.linux"} << "01";
    QTest::newRow("both kinds") << misc << QStringList{"alt.test", "comp.os.linux"} << "11";
    QTest::newRow("a folder has no groups") << QStringList{"Hardware"} << QStringList{"alt.test"} << "00";
    QTest::newRow("nor has the root") << QStringList{} << QStringList{"alt.test"} << "00";
}

void tst_CategoryGroups::selectionEnablesAddAndRemove()
{
    QFETCH(QStringList, node);
    QFETCH(QStringList, selected);
    QFETCH(QString, commands);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select(node);
    m.selectRows(selected);
    QCOMPARE(m.groupCommands(), commands);
    QCOMPARE(child<QPushButton>(&m.window, "btnAdd")->isEnabled(), commands[0] == '1');
    QCOMPARE(child<QPushButton>(&m.window, "btnRemove")->isEnabled(), commands[1] == '1');

    // A disabled command changes nothing, however it is reached.
    const QStringList links = m.links();
    if (commands[0] == '0')
        m.action("acSubscribe")->trigger();
    if (commands[1] == '0')
        m.action("acUnsubscribe")->trigger();
    QCOMPARE(m.links(), links);
}

void tst_CategoryGroups::addSkipsGroupsAlreadyInTheCategory()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    m.selectRows({"alt.test", "comp.os.linux", "sci.math"});
    click(&m.window, "btnAdd");

    QCOMPARE(m.links(), (QStringList{"2|alt.test", "2|comp.os.linux", "2|sci.math", "3|comp.lang.c"}));
    QCOMPARE(m.rows(), marked(kGroupNames, {"alt.test", "comp.os.linux", "sci.math"}));
    QCOMPARE(m.groupCommands(), QStringLiteral("01"));
    QCOMPARE(m.f.committed("SELECT GroupName FROM Groups ORDER BY GroupName"), kGroupNames);
}

void tst_CategoryGroups::removeTakesOnlyTheSelectedMarkedGroups()
{
    ManagerFixture m(sampleStore() + link(2, "alt.test") + link(2, "sci.math") + link(3, "alt.test"));
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    QCOMPARE(m.rows(), marked(kGroupNames, {"alt.test", "comp.os.linux", "sci.math"}));
    m.selectRows({"alt.test", "comp.os.linux", "de.comp.lang"});
    click(&m.window, "btnRemove");

    QCOMPARE(m.links(), (QStringList{"2|sci.math", "3|alt.test", "3|comp.lang.c"}));
    QCOMPARE(m.rows(), marked(kGroupNames, {"sci.math"}));
    QCOMPARE(m.groupCommands(), QStringLiteral("10"));
    QCOMPARE(m.f.committed("SELECT COUNT(*) FROM Groups"), QStringList{"6"});
}

void tst_CategoryGroups::addFindsEveryListedGroup()
{
    // Names the store orders differently from a locale or from UTF-16 units:
    // each selected row must reach its own group.
    const QStringList names{"alt_b", "alt-b",   "ALT.a",       "alt.b", "de.\u00e4", "de.\u00c4",
                            "de.z",  "x\uff01", "x\U0001F600", "Zeta",  "zeta.a"};
    ManagerFixture m(category(1, 0, true, "All groups") + groups(names));
    QVERIFY(m.open());
    m.select({"All groups"});
    m.list()->selectAll();
    m.action("acSubscribe")->trigger();

    QStringList linked
        = m.f.committed("SELECT GroupName FROM GroupCategory, Groups WHERE Newsgroup = Groups.Code AND Category = 1");
    QStringList expected = names;
    linked.sort();
    expected.sort();
    QCOMPARE(linked, expected);
    QCOMPARE(m.rows().filter(QStringLiteral(" *")).size(), names.size());
}

void tst_CategoryGroups::oneGroupLeftByTheFilterIsAddedAndRemoved()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Databases"});
    QTest::keyClicks(child<QLineEdit>(&m.window, "edFilter"), "math");
    QTRY_COMPARE(m.rows(), QStringList{"sci.math"});

    m.selectRows({"sci.math"});
    m.action("acSubscribe")->trigger();
    QCOMPARE(m.rows(), QStringList{"sci.math *"});
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c", "3|sci.math"}));
    QCOMPARE(m.groupCommands(), QStringLiteral("01"));

    m.action("acUnsubscribe")->trigger();
    QCOMPARE(m.rows(), QStringList{"sci.math"});
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c"}));
    QCOMPARE(m.groupCommands(), QStringLiteral("10"));
}

void tst_CategoryGroups::doubleClickAddsThenRemoves()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Databases"});
    doubleClickRow(m, "alt.test");
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|alt.test", "3|comp.lang.c"}));
    QCOMPARE(m.rows(), marked(kGroupNames, {"alt.test", "comp.lang.c"}));
    doubleClickRow(m, "alt.test");
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c"}));
    QCOMPARE(m.rows(), marked(kGroupNames, {"comp.lang.c"}));

    // On a folder a double-click does nothing.
    m.select({"Software"});
    doubleClickRow(m, "alt.test");
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c"}));
}

void tst_CategoryGroups::filterMatchesDescriptions()
{
    ManagerFixture m(
        CategoryTesting::sampleStore()
        + "INSERT INTO GroupDescriptions SELECT Code, 'Discussion about C.' FROM Groups "
          "WHERE GroupName = 'comp.lang.c';"
          "INSERT INTO GroupDescriptions SELECT Code, 'Mathematical discussions and pursuits.' FROM Groups "
          "WHERE GroupName = 'sci.math';");
    QVERIFY(m.open());
    m.select({"Databases"});
    const QAbstractItemModel *model = m.list()->model();
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Description"));
    QTest::keyClicks(child<QLineEdit>(&m.window, "edFilter"), "DISCUSSION");
    QTRY_COMPARE(m.rows(), (QStringList{"comp.lang.c *", "sci.math"}));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("Mathematical discussions and pursuits."));

    // A group found by its description alone is added like any other.
    m.selectRows({"sci.math"});
    m.action("acSubscribe")->trigger();
    QCOMPARE(m.rows(), (QStringList{"comp.lang.c *", "sci.math *"}));
    QCOMPARE(m.links(), (QStringList{"2|comp.os.linux", "3|comp.lang.c", "3|sci.math"}));
}

void tst_CategoryGroups::filterAppliesWhenTheTimerFires_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("part of a name") << "lang" << QStringList{"comp.lang.c", "comp.lang.c++", "de.comp.lang"};
    QTest::newRow("without regard to case")
        << "COMP.LANG" << QStringList{"comp.lang.c", "comp.lang.c++", "de.comp.lang"};
    QTest::newRow("the underscore stands for any character")
        << "c_m" << QStringList{"comp.lang.c", "comp.lang.c++", "comp.os.linux", "de.comp.lang"};
    QTest::newRow("the percent sign for any run") << "s%x" << QStringList{"comp.os.linux"};
    QTest::newRow("nothing matches") << "nothing" << QStringList{};
}

void tst_CategoryGroups::filterAppliesWhenTheTimerFires()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, rows);
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    filterTimer(m)->setInterval(60 * 1000); // fired by hand below
    child<QLineEdit>(&m.window, "edFilter")->setText(filter);
    QVERIFY(filterTimer(m)->isActive());
    QCOMPARE(m.rows(), marked(kGroupNames, {"comp.os.linux"}));

    QMetaObject::invokeMethod(filterTimer(m), "timeout", Qt::DirectConnection);
    QVERIFY(!filterTimer(m)->isActive());
    QCOMPARE(m.rows(), marked(rows, {"comp.os.linux"}));
    QCOMPARE(m.groupCommands(), QStringLiteral("00"));
}

void tst_CategoryGroups::aPendingFilterSurvivesSelectingANode()
{
    ManagerFixture m;
    QVERIFY(m.open());
    m.select({"Hardware", "Misc"});
    filterTimer(m)->setInterval(60 * 1000);
    child<QLineEdit>(&m.window, "edFilter")->setText("comp");
    m.select({"Databases"});
    QVERIFY(filterTimer(m)->isActive());
    QCOMPARE(m.rows(), marked(kGroupNames, {"comp.lang.c"}));

    // Without typing, selecting a node leaves the timer off.
    filterTimer(m)->setInterval(10);
    QTRY_COMPARE(m.rows(), (QStringList{"comp.lang.c *", "comp.lang.c++", "comp.os.linux", "de.comp.lang"}));
    m.select({"Hardware", "Misc"});
    QVERIFY(!filterTimer(m)->isActive());
    QCOMPARE(m.rows(), (QStringList{"comp.lang.c", "comp.lang.c++", "comp.os.linux *", "de.comp.lang"}));
}

void tst_CategoryGroups::theFilterTextIsKeptForTheNextOpening()
{
    ManagerFixture m;
    QVERIFY(m.open());
    QTest::keyClicks(child<QLineEdit>(&m.window, "edFilter"), "sci");
    QTRY_COMPARE(m.rows(), QStringList{"sci.math"});
    m.window.close();
    QVERIFY(!filterTimer(m)->isActive());
    QVERIFY(m.open());
    QCOMPARE(textOf(&m.window, "edFilter"), QStringLiteral("sci"));
    QCOMPARE(m.rows(), QStringList{"sci.math"});
    QVERIFY(!filterTimer(m)->isActive());
}

QTEST_MAIN(tst_CategoryGroups)
#include "tst_categorygroups.moc"
