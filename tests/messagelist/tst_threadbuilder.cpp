// The Inbox threads are built in the order a walk of the folder query, node by
// node, would build them; the hash by parent must not change that order.

#include "messagelist/folderorder.h"
#include "messagelist/threadbuilder.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <random>

namespace {

// The walk itself: position on the first row whose Parent is the code, take
// the consecutive rows with that Parent, then walk each of them in turn.
void walk(const std::vector<ThreadRow> &rows, int parentEntry, int code, std::vector<ThreadBuilder::Entry> &entries)
{
    int i = 0;
    while (i < int(rows.size()) && rows[i].parent != code)
        ++i;
    const int first = int(entries.size());
    for (; i < int(rows.size()) && rows[i].parent == code; ++i)
        entries.push_back({i, parentEntry});
    const int last = int(entries.size());
    for (int e = first; e < last; ++e)
        walk(rows, e, rows[entries[e].row].code, entries);
}

std::vector<ThreadBuilder::Entry> walked(const std::vector<ThreadRow> &rows)
{
    std::vector<ThreadBuilder::Entry> entries;
    walk(rows, -1, 0, entries);
    return entries;
}

// "code<parentcode" for each entry, in the order added; "code<-" for a root.
QString describe(const std::vector<ThreadRow> &rows, const std::vector<ThreadBuilder::Entry> &entries)
{
    QStringList parts;
    for (const ThreadBuilder::Entry &e : entries) {
        const QString parent = e.parent < 0 ? QStringLiteral("-") : QString::number(rows[entries[e.parent].row].code);
        parts << QStringLiteral("%1<%2").arg(rows[e.row].code).arg(parent);
    }
    return parts.join(QLatin1Char(' '));
}

std::vector<ThreadRow> parseRows(const QString &spec)
{
    // "code:parent" pairs, parent "n" for NULL; given in query order.
    std::vector<ThreadRow> rows;
    for (const QString &pair : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList bits = pair.split(QLatin1Char(':'));
        rows.push_back(
            {bits[0].toInt(), bits[1] == QLatin1String("n") ? std::nullopt : std::optional<int>(bits[1].toInt())});
    }
    return rows;
}

} // namespace

class tst_ThreadBuilder : public QObject
{
    Q_OBJECT

private slots:
    void buildsTheWalkedOrder_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty inbox") << ""
                                     << "";
        QTest::newRow("questions only") << "1:0 2:0 3:0"
                                        << "1<- 2<- 3<-";
        QTest::newRow("three levels") << "1:0 4:0 2:1 3:2"
                                      << "1<- 4<- 2<1 3<2";
        // Children of a node are added together before any of them is walked.
        QTest::newRow("siblings before grandchildren") << "1:0 2:0 3:1 4:1 6:2 5:3 7:4"
                                                       << "1<- 2<- 3<1 4<1 5<3 7<4 6<2";
        QTest::newRow("answer whose question is elsewhere") << "1:0 5:9 6:5"
                                                            << "1<-";
        QTest::newRow("NULL parent and its answer") << "7:n 1:0 8:7"
                                                    << "1<-";
        QTest::newRow("row naming itself") << "1:0 3:3"
                                           << "1<-";
        QTest::newRow("cycle of two rows") << "1:0 3:4 4:3"
                                           << "1<-";
        QTest::newRow("answer to a hidden row stays hidden") << "1:0 2:1 5:9 6:5"
                                                             << "1<- 2<1";
    }
    void buildsTheWalkedOrder()
    {
        QFETCH(QString, rows);
        QFETCH(QString, expected);
        const std::vector<ThreadRow> input = parseRows(rows);
        QCOMPARE(describe(input, ThreadBuilder::build(input)), expected);
        QCOMPARE(describe(input, walked(input)), expected);
    }

    // Only the run that starts at the first matching row belongs to the node,
    // as when the cursor walks forward from there.
    void takesOnlyTheFirstRunOfAParent()
    {
        const std::vector<ThreadRow> rows = parseRows(QStringLiteral("1:0 2:1 3:0 4:1"));
        QCOMPARE(describe(rows, ThreadBuilder::build(rows)), describe(rows, walked(rows)));
        QCOMPARE(describe(rows, ThreadBuilder::build(rows)), QStringLiteral("1<- 2<1"));
    }

    // A row with Code 0 would make the walk start over below itself for ever.
    void rowWithCodeZeroDoesNotLoop()
    {
        const std::vector<ThreadRow> rows = parseRows(QStringLiteral("0:0 1:0 2:1"));
        QCOMPARE(describe(rows, ThreadBuilder::build(rows)), QStringLiteral("0<- 1<- 2<1"));
    }

    void matchesTheWalkOnRandomFolders_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 42u, 2024u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void matchesTheWalkOnRandomFolders()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const int count = 3000;
        std::vector<ThreadRow> rows;
        for (int code = 1; code <= count; ++code) {
            const int pick = random.bounded(100);
            std::optional<int> parent;
            if (pick < 15)
                parent = 0;
            else if (pick < 18)
                parent = std::nullopt;
            else if (pick < 22)
                parent = count + 1 + random.bounded(50); // in another folder
            else
                parent = 1 + random.bounded(count);
            rows.push_back({code, parent});
        }
        // The folder query's order: by Parent, NULL first.
        std::stable_sort(rows.begin(), rows.end(), [](const ThreadRow &a, const ThreadRow &b) {
            return a.parent.value_or(-1) < b.parent.value_or(-1);
        });
        const auto built = ThreadBuilder::build(rows);
        QVERIFY(built.size() > 100);
        QCOMPARE(describe(rows, built), describe(rows, walked(rows)));

        // Rows in any other order (a scan of the table) give the same threads.
        std::vector<ThreadRow> scanned = rows;
        std::shuffle(scanned.begin(), scanned.end(), std::mt19937(seed));
        QCOMPARE(describe(scanned, FolderOrder::threads(scanned)), describe(rows, walked(rows)));
    }
};

QTEST_MAIN(tst_ThreadBuilder)
#include "tst_threadbuilder.moc"
