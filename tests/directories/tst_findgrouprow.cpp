// `FindGroupRow`: the binary search that maps a name of the group list back to
// its row of the filtered group list. It must order names as the store sorts
// them, or names the list shows are not found.

#include "categorytesting.h"
#include "directories/filteredgrouplist.h"
#include "directories/grouprowfinder.h"
#include "windowtesting.h"

namespace {

std::optional<int> find(const QString &name, const QStringList &list)
{
    return FindGroupRow(name, int(list.size()), [&](int row) { return list.at(row); });
}

// Names whose order differs between the store's collation and a locale's or a
// plain UTF-16 comparison.
const QStringList kAwkwardNames{"alt.Binaries",
                                "alt.binaries.x",
                                "alt_b",
                                "alt-b",
                                "alt+b",
                                "ALT.z",
                                "alt.z.",
                                "comp.lang.c",
                                "comp.lang.c++",
                                "comp.lang.c#",
                                "Comp.Lang.D",
                                "3dfx",
                                "Zeta",
                                "zeta.a",
                                "de.comp.z",
                                "de.comp.\u00e4",
                                "de.comp.\u00c4",
                                "\u00e9migr\u00e9",
                                "x\uff01",
                                "x\U0001F600",
                                "a b",
                                "a~b",
                                "a[b",
                                "a^b"};

} // namespace

class tst_FindGroupRow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findsInAList_data();
    void findsInAList();
    void findsEveryNameTheStoreLists();
};

void tst_FindGroupRow::findsInAList_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row"); // -1: nothing

    const QStringList seven{"alt.a", "alt.b", "comp.c", "comp.d", "misc.e", "sci.f", "talk.g"};
    QTest::newRow("an empty list finds nothing") << QStringList{} << "alt.a" << -1;
    QTest::newRow("a list of one row finds that row") << QStringList{"alt.a"} << "alt.a" << 0;
    QTest::newRow("a list of one row, another name") << QStringList{"alt.a"} << "alt.b" << -1;
    QTest::newRow("the first of seven") << seven << "alt.a" << 0;
    QTest::newRow("the middle of seven") << seven << "comp.d" << 3;
    QTest::newRow("the last of seven") << seven << "talk.g" << 6;
    QTest::newRow("the last but one of seven") << seven << "sci.f" << 5;
    QTest::newRow("before the first") << seven << "aaa" << -1;
    QTest::newRow("after the last") << seven << "zzz" << -1;
    QTest::newRow("between two rows") << seven << "comp.cc" << -1;
    QTest::newRow("a prefix of a row") << seven << "comp." << -1;
    QTest::newRow("without regard to case") << seven << "COMP.D" << 3;
    QTest::newRow("the row of exactly the name among names equal but for case")
        << QStringList{"comp.A", "comp.a", "comp.b"} << "comp.a" << 1;
    QTest::newRow("the first of names equal but for case, when none is exact")
        << QStringList{"comp.A", "comp.a", "comp.b"} << "COMP.A" << 0;
    QTest::newRow("underscore sorts before the letters") << QStringList{"a_b", "aa", "ab"} << "a_b" << 0;
    QTest::newRow("non-ASCII letters sort after z, case kept")
        << QStringList{"de.z", "de.\u00c4", "de.\u00e4"} << "de.\u00e4" << 2;
}

void tst_FindGroupRow::findsInAList()
{
    QFETCH(QStringList, list);
    QFETCH(QString, name);
    QFETCH(int, row);
    const std::optional<int> found = find(name, list);
    QCOMPARE(found.value_or(-1), row);
}

void tst_FindGroupRow::findsEveryNameTheStoreLists()
{
    StoreFixture f(CategoryTesting::groups(kAwkwardNames));
    FilteredGroupList list(f.dm.MainConnection());
    list.open(QString());
    QCOMPARE(list.rowCount(), kAwkwardNames.size());
    QStringList names;
    for (int i = 0; i < list.rowCount(); ++i)
        names << list.name(i);
    for (int i = 1; i < names.size(); ++i) {
        QVERIFY2(compareGroupNames(names[i - 1], names[i]) <= 0,
                 qPrintable(QStringLiteral("the store lists %1 before %2").arg(names[i - 1], names[i])));
    }
    for (int i = 0; i < names.size(); ++i) {
        const std::optional<int> found
            = FindGroupRow(names[i], list.rowCount(), [&](int row) { return list.name(row); });
        QVERIFY2(found == i, qPrintable(names[i]));
    }
}

QTEST_MAIN(tst_FindGroupRow)
#include "tst_findgrouprow.moc"
