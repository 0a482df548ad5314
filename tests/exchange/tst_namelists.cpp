// The name lists of the runs: the case-blind sorted list without repeats, and
// how a reply's Newsgroup and an Inbox message's Source are cut into names.

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
    void sourceNames_data();
    void sourceNames();
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

void tst_NameLists::sourceNames_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("posted groups") << "a.grp,b.grp" << QStringList{"a.grp", "b.grp"};
    QTest::newRow("blank ends a name") << "a.grp b.grp" << QStringList{"a.grp", "b.grp"};
    QTest::newRow("blanks around commas") << "  a.grp ,  b.grp  " << QStringList{"a.grp", "b.grp"};
    QTest::newRow("control character ends a name") << "a.grp\tb.grp\r\n" << QStringList{"a.grp", "b.grp"};
    QTest::newRow("empty piece between commas") << "a.grp,,b.grp" << QStringList{"a.grp", "", "b.grp"};
    QTest::newRow("comma at the end") << "a.grp," << QStringList{"a.grp", ""};
    QTest::newRow("comma at the start") << ",a.grp" << QStringList{"", "a.grp"};
    QTest::newRow("quoted name with a blank") << "\"odd name\",b.grp" << QStringList{"odd name", "b.grp"};
    QTest::newRow("doubled quote inside quotes") << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
    QTest::newRow("quote never closed") << "\"open,end" << QStringList{"open,end"};
    QTest::newRow("nothing") << "   " << QStringList{};
}

void tst_NameLists::sourceNames()
{
    QFETCH(QString, source);
    QFETCH(QStringList, names);
    QCOMPARE(::sourceNames(source), names);
}

QTEST_GUILESS_MAIN(tst_NameLists)
#include "tst_namelists.moc"
