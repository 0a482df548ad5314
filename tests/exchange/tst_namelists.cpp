// The name lists of the runs: the case-blind sorted list without repeats, and
// how a reply's Newsgroup is cut into names.

#include "exchange/namelist.h"
#include "exchange/newsgroupnames.h"

#include <QtTest>

class tst_NameLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nameList_data();
    void nameList();
    void replyNewsgroups_data();
    void replyNewsgroups();
};

void tst_NameLists::nameList_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("sorted") << QStringList{"c.grp", "a.grp", "b.grp"} << QStringList{"a.grp", "b.grp", "c.grp"};
    QTest::newRow("repeat in another case keeps the first")
        << QStringList{"Comp.Lang", "alt.test", "comp.lang", "COMP.LANG"} << QStringList{"alt.test", "Comp.Lang"};
    QTest::newRow("empty name listed once") << QStringList{"", "a", ""} << QStringList{"", "a"};
    QTest::newRow("host names") << QStringList{"News.Example", "news.example", "mirror.example"}
                                << QStringList{"mirror.example", "News.Example"};
}

void tst_NameLists::nameList()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    NameList list;
    for (const QString &name : added)
        list.add(name);
    QCOMPARE(list.names(), listed);
    for (const QString &name : added) {
        QVERIFY(list.contains(name));
        QVERIFY(list.contains(name.toUpper()));
        QVERIFY(!list.add(name.toLower()));
    }
    QVERIFY(!list.contains(QStringLiteral("not.listed")));
}

void tst_NameLists::replyNewsgroups_data()
{
    QTest::addColumn<QString>("newsgroup");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("one") << "a.grp" << QStringList{"a.grp"};
    QTest::newRow("empty pieces dropped") << ",a.grp,,b.grp," << QStringList{"a.grp", "b.grp"};
    QTest::newRow("blanks kept") << "a.grp, b.grp " << QStringList{"a.grp", " b.grp "};
    QTest::newRow("nothing") << "" << QStringList{};
}

void tst_NameLists::replyNewsgroups()
{
    QFETCH(QString, newsgroup);
    QFETCH(QStringList, names);
    QCOMPARE(::replyNewsgroups(newsgroup), names);
}

QTEST_GUILESS_MAIN(tst_NameLists)
#include "tst_namelists.moc"
