// Posting 50 questions to 10 groups each on a local INN, once with a store that
// holds only what the run needs and once with a big store (100,000 groups,
// 200,000 GroupServer rows, 50,000 SentArticles rows), alternately in the same
// run. The run reconnects for every copy; nothing else may grow with the
// store, so the big store may take at most 1.2 times as long. Prints the ratio.
//
//   bench_postingstore [store directory]

#include "benchsupport.h"
#include "exchange/postingrun.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/innserver.h"
#include "tests/support/scratchstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kMessages = 50;
constexpr int kGroups = 10;
constexpr int kRounds = 3;

QString groupName(int i)
{
    return QStringLiteral("quorbic.bench.g%1").arg(i);
}

// Server 1, the account, the groups of category 1 and the Outbox.
QString needed(const InnServer &inn)
{
    QString sql = fill::server(1, inn.host(), inn.port())
        + fill::account(1, QStringLiteral("Bench"), QStringLiteral("bench@test.invalid"), {})
        + fill::category(1, 0, true, QStringLiteral("Bench"));
    for (int g = 1; g <= kGroups; ++g)
        sql += fill::group(g, groupName(g)) + fill::carries(1, g) + fill::groupCategory(g, 1);
    for (int m = 1; m <= kMessages; ++m)
        sql += fill::question(m, 1, 1, QStringLiteral("Bench question %1").arg(m), QStringLiteral("Body %1").arg(m), 1);
    return sql;
}

// Everything else a store collected over years: groups on two other servers
// and the records of earlier posts and answers.
QString bulk()
{
    return fill::server(2, QStringLiteral("other.invalid"), 119) + fill::server(3, QStringLiteral("third.invalid"), 119)
        + QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 100000) "
                         "INSERT INTO Groups (Code, GroupName) SELECT 1000 + i, 'quorbic.other.' || i FROM n;"
                         "INSERT INTO GroupServer (Newsgroup, Server) SELECT Code, 2 FROM Groups WHERE Code > 1000;"
                         "INSERT INTO GroupServer (Newsgroup, Server) SELECT Code, 3 FROM Groups WHERE Code > 1000;"
                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 50000) "
                         "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                         "SELECT 100000 + i, '<old' || i || '@bench.invalid>', '', 1000 + (i * 7) % 100000 FROM n;");
}

qint64 post(const QString &templatePath, const QString &directory)
{
    const StoreCopy store(templatePath, directory);
    Tdm dm(store.path());
    dm.DataModuleCreate();
    RecordingUi ui;
    RecordingPostingView view;
    RecordingFolders folders{0};
    PostingRun run(dm, ui, view, folders);
    run.setDialUpCheck([] { return true; });
    QElapsedTimer timer;
    timer.start();
    run.run();
    const qint64 elapsed = timer.elapsed();
    const int posted = int(view.lines().filter(QStringLiteral("| ok | Successful")).size());
    if (posted != kMessages * kGroups || run.errorCount() != 0)
        fail(QStringLiteral("%1 copies posted, %2 errors: %3")
                 .arg(posted)
                 .arg(run.errorCount())
                 .arg(ui.boxTexts().join(QLatin1Char(';'))));
    return elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();

    InnServer::Options options;
    for (int g = 1; g <= kGroups; ++g)
        options.groups << groupName(g);
    InnServer inn(options);
    if (!inn.start())
        fail(inn.errorString());

    ScratchStore small;
    small.exec(needed(inn));
    ScratchStore big;
    big.exec(needed(inn) + bulk());
    std::printf("big store: %s groups, %s GroupServer rows, %s SentArticles rows\n",
                qPrintable(big.rows(QStringLiteral("SELECT COUNT(*) FROM Groups")).value(0)),
                qPrintable(big.rows(QStringLiteral("SELECT COUNT(*) FROM GroupServer")).value(0)),
                qPrintable(big.rows(QStringLiteral("SELECT COUNT(*) FROM SentArticles")).value(0)));

    QList<qint64> smallTimes, bigTimes;
    for (int round = 0; round < kRounds; ++round) {
        smallTimes << post(small.path(), directory);
        bigTimes << post(big.path(), directory);
        std::printf("round %d: small store %lld ms, big store %lld ms (%d copies each)\n", round + 1, smallTimes.last(),
                    bigTimes.last(), kMessages * kGroups);
    }
    const qint64 bestSmall = *std::min_element(smallTimes.begin(), smallTimes.end());
    const qint64 bestBig = *std::min_element(bigTimes.begin(), bigTimes.end());
    std::printf("best: small store %lld ms, big store %lld ms, ratio %.2f (limit 1.20)\n", bestSmall, bestBig,
                double(bestBig) / double(bestSmall));
    // For bench/run-all.sh.
    std::printf("RESULT postingstore.ratio=%.2f\n", double(bestBig) / double(bestSmall));
    return 0;
}
