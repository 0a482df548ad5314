// Retrieval over a big group on a local INN: 20,000 overview lines, 5,000
// recorded Message-IDs, 500 of the lines answers. The oldest record is the
// group's first article, so the first run reads the whole group; it is timed
// against a bare client of ours that downloads the same XOVER range and the
// same 500 bodies over one connection (ratio at most 1.5). Then 100 new lines,
// 4 of them answers: the second run, which starts after where the first
// ended, against the bare client fetching those 100 lines and 4 bodies after
// connecting and GROUP (ratio at most 1.2).
//
//   bench_retrievalscan [store directory]
// The store lives in a temporary directory of the system's (or the given
// one), on the disk an installed program would use.

#include "benchsupport.h"
#include "exchange/retrievalrun.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/scratchstore.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kLines = 20000;
constexpr int kRecorded = 5000;
constexpr int kAnswers = 500;
constexpr int kNewLines = 100;
constexpr int kRounds = 5;
// The second run takes a few milliseconds: more rounds, for a steadier best.
constexpr int kSecondRounds = 9;
const QByteArray kGroup = "quorbic.bench.scan";

QByteArray questionId(int i)
{
    return "<q" + QByteArray::number(i) + "@bench.invalid>";
}

// Articles 1..5000 are the user's questions (recorded); of the rest every
// 30th is an answer to one of them (up to most), the others carry foreign
// References. Posts articles from to to-1; returns the answers' numbers.
QList<quint32> fillGroup(InnServer &inn, int from, int to, qsizetype most)
{
    NntpProbe probe;
    if (!probe.open(inn.host(), inn.port()))
        fail(probe.errorString());
    QList<quint32> answers;
    for (int i = from; i < to; ++i) {
        QByteArray id;
        QByteArray references;
        if (i < kRecorded) {
            id = questionId(i);
        } else if ((i - kRecorded) % 30 == 0 && answers.size() < most) {
            id = "<a" + QByteArray::number(i) + "@expert.invalid>";
            references
                = "<thread" + QByteArray::number(i) + "@elsewhere.invalid> " + questionId((i * 7919) % kRecorded);
            answers << quint32(i + 1);
        } else {
            id = "<f" + QByteArray::number(i) + "@elsewhere.invalid>";
            references = "<t" + QByteArray::number(i % 97) + "@elsewhere.invalid> <u" + QByteArray::number(i)
                + "@elsewhere.invalid>";
        }
        QByteArray article = "From: Someone <someone@test.invalid>\nNewsgroups: " + kGroup + "\nSubject: Article "
            + QByteArray::number(i) + "\nMessage-ID: " + id + "\n";
        if (!references.isEmpty())
            article += "References: " + references + "\n";
        article += "\nA short body of article " + QByteArray::number(i) + ".\nSecond line.\n";
        if (!probe.command("POST").startsWith("340"))
            fail(QStringLiteral("POST refused at article %1").arg(i));
        const QByteArray posted = probe.sendText(article);
        if (!posted.startsWith("240"))
            fail(QStringLiteral("article %1: %2").arg(i).arg(QString::fromUtf8(posted)));
    }
    return answers;
}

void makeTemplate(const ScratchStore &store, const InnServer &inn)
{
    store.exec(fill::server(1, inn.host(), inn.port()) + fill::group(1, QString::fromLatin1(kGroup))
               + fill::carries(1, 1)
               + QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                                "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Source) "
                                "SELECT 1000 + i, 0, 0, -1, -1, 'Question ' || i, '%2' FROM n;")
                     .arg(kRecorded - 1)
                     .arg(QString::fromLatin1(kGroup))
               + QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                                "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                                "SELECT 1000 + i, '<q' || i || '@bench.invalid>', '', 1 FROM n;")
                     .arg(kRecorded - 1));
}

// Connects, selects the group, fetches the overview from first on and the
// bodies of the answers. In microseconds, as is the run: the second run takes
// a few milliseconds.
qint64 bareClient(const InnServer &inn, quint32 first, qsizetype lineCount, const QList<quint32> &answers)
{
    QElapsedTimer timer;
    timer.start();
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = inn.host();
    settings.Port = inn.port();
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    client.setSettings(settings);
    client.connect();
    client.selectGroup(QString::fromLatin1(kGroup));
    const QList<QByteArray> lines = client.overview(QString::number(first) + QLatin1Char('-'));
    if (lines.size() != lineCount)
        fail(QStringLiteral("XOVER gave %1 lines").arg(lines.size()));
    NntpMessage message;
    for (quint32 number : answers) {
        if (!client.article(number, message))
            fail(QStringLiteral("no article %1").arg(number));
    }
    client.disconnect();
    return timer.nsecsElapsed() / 1000;
}

// A run on a copy of the template store; keepAs, when given, receives the
// store as the run left it.
qint64 retrieval(const QString &templatePath, const QString &directory, qsizetype lineCount, qsizetype answers,
                 const QString &keepAs = {})
{
    const StoreCopy store(templatePath, directory);
    qint64 elapsed = 0;
    {
        Tdm dm(store.path());
        dm.DataModuleCreate();
        RecordingUi ui;
        RecordingFolders folders{0};
        RetrievalRun run(dm, ui, folders);
        run.setDialUpCheck([] { return true; });
        QElapsedTimer timer;
        timer.start();
        run.RetrieveAnswers();
        elapsed = timer.nsecsElapsed() / 1000;
        if (run.newAnswers() != answers || !ui.boxes.isEmpty())
            fail(QStringLiteral("the run stored %1 answers: %2")
                     .arg(run.newAnswers())
                     .arg(ui.boxTexts().join(QLatin1Char(';'))));
        if (ui.status1.size() != lineCount)
            fail(QStringLiteral("the run examined %1 lines").arg(ui.status1.size()));
    }
    if (!keepAs.isEmpty() && !QFile::copy(store.path(), keepAs))
        fail(QStringLiteral("cannot keep the store as %1").arg(keepAs));
    return elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();

    InnServer::Options options;
    options.groups = {QString::fromLatin1(kGroup)};
    InnServer inn(options);
    if (!inn.start())
        fail(inn.errorString());
    QElapsedTimer filling;
    filling.start();
    const QList<quint32> answers = fillGroup(inn, 0, kLines, kAnswers);
    std::printf("group filled with %d articles in %.1f s\n", kLines, filling.elapsed() / 1000.0);

    ScratchStore store;
    makeTemplate(store, inn);

    QList<qint64> bare, run;
    for (int round = 0; round < kRounds; ++round) {
        bare << bareClient(inn, 1, kLines, answers);
        run << retrieval(store.path(), directory, kLines, kAnswers);
        std::printf("round %d: bare client %.1f ms, retrieval %.1f ms\n", round + 1, bare.last() / 1000.0,
                    run.last() / 1000.0);
    }
    const qint64 bestBare = *std::min_element(bare.begin(), bare.end());
    const qint64 bestRun = *std::min_element(run.begin(), run.end());
    std::printf("best: bare client %.1f ms, retrieval %.1f ms, ratio %.2f (limit 1.50)\n", bestBare / 1000.0,
                bestRun / 1000.0, double(bestRun) / double(bestBare));

    // The second run: a store as the first run left it, 100 lines more.
    const QString marked = QDir(store.dir()).filePath(QStringLiteral("marked.mdb"));
    retrieval(store.path(), directory, kLines, kAnswers, marked);
    const QList<quint32> newAnswers = fillGroup(inn, kLines, kLines + kNewLines, 4);
    QList<qint64> bareNew, runNew;
    for (int round = 0; round < kSecondRounds; ++round) {
        bareNew << bareClient(inn, kLines + 1, kNewLines, newAnswers);
        runNew << retrieval(marked, directory, kNewLines, newAnswers.size());
        std::printf("second run, round %d: bare client %.2f ms, retrieval %.2f ms\n", round + 1,
                    bareNew.last() / 1000.0, runNew.last() / 1000.0);
    }
    const qint64 bestBareNew = *std::min_element(bareNew.begin(), bareNew.end());
    const qint64 bestRunNew = *std::min_element(runNew.begin(), runNew.end());
    std::printf("best second run: bare client %.2f ms, retrieval %.2f ms, ratio %.2f (limit 1.20)\n",
                bestBareNew / 1000.0, bestRunNew / 1000.0,
                double(bestRunNew) / double(std::max<qint64>(1, bestBareNew)));
    // The waits for the disk a run on a freshly opened store makes (a bare
    // client keeps nothing): the first commit starts the write-ahead log,
    // whose header must be on the disk before it is used; the end of the run
    // flushes the log.
    QList<qint64> flushes, firstCommits;
    for (int round = 0; round < kRounds; ++round) {
        const StoreCopy copy(marked, directory);
        Tdm dm(copy.path());
        dm.DataModuleCreate();
        dm.deferDiskFlush(true);
        SqlCommand(dm.MainConnection(), QStringLiteral("UPDATE Groups SET GroupName = GroupName")).exec();
        QElapsedTimer timer;
        timer.start();
        dm.checkpoint();
        firstCommits << timer.nsecsElapsed() / 1000;
        timer.start();
        dm.deferDiskFlush(false);
        flushes << timer.nsecsElapsed() / 1000;
    }
    const qint64 bestFlush = *std::min_element(flushes.begin(), flushes.end());
    const qint64 bestFirstCommit = *std::min_element(firstCommits.begin(), firstCommits.end());
    std::printf("the run's waits for the disk: first commit %.1f ms, final flush %.1f ms (best of %d)\n",
                bestFirstCommit / 1000.0, bestFlush / 1000.0, kRounds);
    // For bench/run-all.sh.
    std::printf("RESULT retrievalscan.ratio=%.2f\n", double(bestRun) / double(bestBare));
    std::printf("RESULT retrievalscan.second_ratio=%.2f\n",
                double(bestRunNew) / double(std::max<qint64>(1, bestBareNew)));
    std::printf("RESULT retrievalscan.disk_flush_ms=%.1f\n", bestFlush / 1000.0);
    std::printf("RESULT retrievalscan.first_commit_ms=%.1f\n", bestFirstCommit / 1000.0);
    return 0;
}
