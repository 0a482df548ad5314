// ExpandCategory: a category gives its newsgroups, a folder those of every
// category below it, each group once and sorted.

#include "exchange/categoryexpander.h"
#include "exchange/namelist.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/scratchstore.h"

#include <QtTest>

class tst_CategoryExpander : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void expand_data();
    void expand();
    void seesCategoriesAddedSinceTheLastReopen();

private:
    ScratchStore m_store;
};

void tst_CategoryExpander::initTestCase()
{
    // 1 folder "Lang" holds category 2 (c, cpp) and folder 3, which holds
    // category 4 (cpp, java) and the empty folder 5. Category 6 has no group.
    // Folders 7 and 8 hold each other (a loop no window makes) and category 9 (go).
    m_store.exec(
        fill::group(1, QStringLiteral("comp.lang.c")) + fill::group(2, QStringLiteral("comp.lang.c++"))
        + fill::group(3, QStringLiteral("comp.lang.java")) + fill::group(4, QStringLiteral("comp.lang.go"))
        + fill::category(1, 0, false, QStringLiteral("Lang")) + fill::category(2, 1, true, QStringLiteral("C"))
        + fill::category(3, 1, false, QStringLiteral("More")) + fill::category(4, 3, true, QStringLiteral("Cpp"))
        + fill::category(5, 3, false, QStringLiteral("Empty")) + fill::category(6, 0, true, QStringLiteral("None"))
        + fill::category(7, 8, false, QStringLiteral("Loop A")) + fill::category(8, 7, false, QStringLiteral("Loop B"))
        + fill::category(9, 8, true, QStringLiteral("Go")) + fill::groupCategory(1, 2) + fill::groupCategory(2, 2)
        + fill::groupCategory(2, 4) + fill::groupCategory(3, 4) + fill::groupCategory(4, 9));
}

void tst_CategoryExpander::expand_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("groups");
    const QStringList all{"comp.lang.c", "comp.lang.c++", "comp.lang.java"};
    QTest::newRow("category") << 2 << QStringList{"comp.lang.c", "comp.lang.c++"};
    QTest::newRow("folder: nested categories sharing a group, once each") << 1 << all;
    QTest::newRow("sub-folder") << 3 << QStringList{"comp.lang.c++", "comp.lang.java"};
    QTest::newRow("empty folder") << 5 << QStringList{};
    QTest::newRow("category without groups") << 6 << QStringList{};
    QTest::newRow("no such code") << 99 << QStringList{};
    QTest::newRow("the root All has no row") << 0 << QStringList{};
    QTest::newRow("folders in a loop end") << 7 << QStringList{"comp.lang.go"};
}

void tst_CategoryExpander::expand()
{
    QFETCH(int, code);
    QFETCH(QStringList, groups);
    Tdm dm(m_store.path());
    dm.DataModuleCreate();
    CategoryExpander expander(dm.MainConnection());
    expander.reopen();
    NameList list;
    expander.ExpandCategory(list, code);
    QCOMPARE(list.names(), groups);
}

void tst_CategoryExpander::seesCategoriesAddedSinceTheLastReopen()
{
    ScratchStore store;
    store.exec(fill::group(1, QStringLiteral("a.grp")) + fill::category(1, 0, true, QStringLiteral("A")));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    CategoryExpander expander(dm.MainConnection());
    expander.reopen();
    dm.MainConnection().execDirect(fill::category(2, 0, true, QStringLiteral("B")).chopped(1));
    dm.MainConnection().execDirect(fill::groupCategory(1, 2).chopped(1));
    NameList before;
    expander.ExpandCategory(before, 2);
    QCOMPARE(before.names(), QStringList{});
    expander.reopen();
    NameList after;
    expander.ExpandCategory(after, 2);
    QCOMPARE(after.names(), QStringList{QStringLiteral("a.grp")});
}

QTEST_GUILESS_MAIN(tst_CategoryExpander)
#include "tst_categoryexpander.moc"
