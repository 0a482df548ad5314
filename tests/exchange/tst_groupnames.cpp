// The names known while lists load: a look-up tries the entry after the last
// one found before the table, and must answer as the table would in any order
// of look-ups, across removed names and names held again.

#include "exchange/groupnames.h"

#include <QtTest>

class tst_GroupNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lookUpsInAnyOrder_data();
    void lookUpsInAnyOrder();
};

void tst_GroupNames::lookUpsInAnyOrder_data()
{
    // Held in this order with codes 1 to 5: comp.lang.c, sci.math, sci.physics,
    // comp.lang.ada, misc.misc; then sci.physics removed and held again with
    // code 9 when "removed" is set.
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QStringList>("lookUps");
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("in the order held, in other letter cases")
        << false << QStringList{"comp.lang.c", "SCI.math", "sci.physics", "comp.lang.ADA", "misc.misc"}
        << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("backwards") << false
                               << QStringList{"misc.misc", "comp.lang.ada", "sci.physics", "sci.math", "comp.lang.c"}
                               << QList<int>{5, 4, 3, 2, 1};
    QTest::newRow("a jump, a repeat, an unknown name between known ones")
        << false << QStringList{"comp.lang.c",   "sci.physics", "sci.physics", "alt.unknown",
                                "comp.lang.ada", "misc.misc",   "comp.lang.c", "sci.math"}
        << QList<int>{1, 3, 3, 0, 4, 5, 1, 2};
    QTest::newRow("a removed name held again at the end")
        << true << QStringList{"comp.lang.c", "sci.math", "sci.physics", "comp.lang.ada", "misc.misc", "sci.physics"}
        << QList<int>{1, 2, 9, 4, 5, 9};
}

void tst_GroupNames::lookUpsInAnyOrder()
{
    QFETCH(bool, removed);
    QFETCH(QStringList, lookUps);
    QFETCH(QList<int>, codes);

    GroupNames names;
    const QStringList held{"comp.lang.c", "sci.math", "sci.physics", "comp.lang.ada", "misc.misc"};
    for (int i = 0; i < held.size(); ++i)
        names.insert(held[i], i + 1);
    if (removed) {
        names.remove(QStringLiteral("Sci.Physics"));
        QCOMPARE(names.code(QStringLiteral("sci.physics")), 0);
        names.insert(QStringLiteral("sci.physics"), 9);
    }
    QList<int> found;
    for (const QString &name : lookUps) {
        // As the loader asks: the key of the listed bytes, then the entry.
        const GroupNames::Entry entry = names.find(names.keyOf(QByteArrayView(name.toUtf8())));
        found << (entry == GroupNames::None ? 0 : names.codeAt(entry));
    }
    QCOMPARE(found, codes);
}

QTEST_GUILESS_MAIN(tst_GroupNames)
#include "tst_groupnames.moc"
