// quorbic-cli post killed with SIGKILL in the middle of a run. Two questions
// wait in the Outbox, each for the same three newsgroups; a server in this
// test answers the first few posts with 240 and holds back its answer to the
// next, so the kill lands while the tool waits at a known point. Every copy
// the server confirmed, and that the tool could read the confirmation of, is
// recorded exactly once and the store is sound; the next post posts only the
// rest. The copy on its way at the kill was recorded as pending before it was
// sent, so the next run sends it with the same Message-ID; the server, which
// took it (its confirmation held back, or sent while the tool was frozen and
// never read), refuses it as a duplicate, and it is recorded then: no copy is
// posted twice.

#include "tests/cli/clirunner.h"
#include "tests/support/posttaker.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/types.h>

namespace {

const QStringList kGroups{QStringLiteral("quorbic.kill.1"), QStringLiteral("quorbic.kill.2"),
                          QStringLiteral("quorbic.kill.3")};
const QString kAllGroups = kGroups.join(QLatin1Char(','));
constexpr int kCopies = 6; // two questions, three groups each
constexpr int kWaitMs = 60000;

// The state letter of /proc/<pid>/stat: 'T' once a SIGSTOP has taken hold.
char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '?';
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() ? line.at(end + 2) : '?';
}

} // namespace

class tst_CliKill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWhilePosting_data();
    void killedWhilePosting();

private:
    // Runs the tool to its end while the test's server answers.
    CliRunner::Result post(const CliRunner &cli);
};

CliRunner::Result tst_CliKill::post(const CliRunner &cli)
{
    std::unique_ptr<QProcess> process = cli.start({QStringLiteral("post")});
    QSignalSpy finished(process.get(), &QProcess::finished);
    if (!QTest::qWaitFor([&] { return !finished.isEmpty(); }, kWaitMs)) {
        process->kill();
        process->waitForFinished();
    }
    return CliRunner::resultOf(*process);
}

void tst_CliKill::killedWhilePosting_data()
{
    QTest::addColumn<int>("confirmed"); // posts answered with 240 before one is held
    QTest::addColumn<bool>("frozenConfirm"); // the held post is confirmed while the tool is frozen
    QTest::addColumn<QStringList>("folders"); // Code|Folder|Source of the two messages after the kill

    const QStringList bothQueued{QStringLiteral("10|1|NULL"), QStringLiteral("11|1|NULL")};
    const QStringList firstMoved{QStringLiteral("10|0|") + kAllGroups, QStringLiteral("11|1|NULL")};
    QTest::newRow("while the first copy waits for its answer") << 0 << false << bothQueued;
    QTest::newRow("after two copies, while the third waits") << 2 << false << bothQueued;
    QTest::newRow("after the first message went to the Inbox") << 3 << false << firstMoved;
    QTest::newRow("after the second message's first copy") << 4 << false << firstMoved;
    QTest::newRow("right after a 240 the tool never read") << 2 << true << bothQueued;
}

void tst_CliKill::killedWhilePosting()
{
    QFETCH(int, confirmed);
    QFETCH(bool, frozenConfirm);
    QFETCH(QStringList, folders);

    PostTaker server;
    QVERIFY(server.listen());
    server.setConfirmLimit(confirmed);
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    QString sql
        = QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'Taker', '%1', %2);"
                         "INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\") "
                         "VALUES (1, 'Ann', 'Ann Asker', 'ann@test.invalid');"
                         "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'Kill');")
              .arg(server.host())
              .arg(server.port());
    for (int n = 1; n <= kGroups.size(); ++n) {
        sql += QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (%1, '%2');"
                              "INSERT INTO GroupServer (Newsgroup, Server) VALUES (%1, 1);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, 1);")
                   .arg(n)
                   .arg(kGroups.at(n - 1));
    }
    for (int code : {10, 11}) {
        sql += QStringLiteral(
                   "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                   "Account) VALUES (%1, 0, 1, -1, -1, 'Question %1', 'Body', 1, 1);")
                   .arg(code);
    }
    cli.exec(sql);

    std::unique_ptr<QProcess> process = cli.start({QStringLiteral("post")});
    QSignalSpy finished(process.get(), &QProcess::finished);
    QTRY_VERIFY_WITH_TIMEOUT(server.holding() || !finished.isEmpty(), kWaitMs);
    QVERIFY2(finished.isEmpty(), qPrintable(CliRunner::resultOf(*process).describe()));
    QCOMPARE(server.articles().size(), confirmed + 1);
    const qint64 pid = process->processId();
    if (frozenConfirm) {
        QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
        QTRY_COMPARE_WITH_TIMEOUT(processState(pid), 'T', kWaitMs);
        QVERIFY(server.confirmHeld());
    }
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWaitMs);
    QCOMPARE(process->exitStatus(), QProcess::CrashExit);

    // Every confirmation the tool read is recorded once, under the copy's own
    // group; the one it never read is not.
    const QStringList records = cli.rows(QStringLiteral("SELECT s.ArticleId, s.MessageId, g.GroupName FROM "
                                                        "SentArticles s, Groups g WHERE g.Code=s.GroupId "
                                                        "ORDER BY s.Code"));
    QStringList confirmedCopies;
    for (const PostTaker::Article &article : server.articles()) {
        if (article.confirmed)
            confirmedCopies << article.subject.mid(9) + QLatin1Char('|') + article.messageId + QLatin1Char('|')
                    + article.newsgroups;
    }
    QCOMPARE(records, frozenConfirm ? confirmedCopies.mid(0, confirmed) : confirmedCopies);
    QCOMPARE(cli.rows(QStringLiteral("SELECT Code, Folder, Source FROM Article ORDER BY Code")), folders);
    QCOMPARE(cli.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});

    // The next run posts what is missing; a message still in the Outbox counts
    // its recorded copies as posted.
    server.setConfirmLimit(-1);
    const qsizetype postedBefore = server.articles().size();
    const int recordedInOutbox = cli.value(QStringLiteral("SELECT count(*) FROM SentArticles s, Article a "
                                                          "WHERE a.Code=s.ArticleId AND a.Folder=1 AND s.GroupId > 0"))
                                     .toInt();
    const CliRunner::Result r = post(cli);
    QVERIFY2(!r.crashed && r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.out.count(QStringLiteral("\tok\tSuccessful (posted in an earlier run)")), recordedInOutbox);
    // The copy on its way when the tool was killed was recorded as pending
    // before it was sent: it goes again with its Message-ID, which the server
    // refuses as one it has, and is then recorded. It is not posted twice.
    QCOMPARE(server.articles().size() - postedBefore, qsizetype(kCopies - records.size() - 1));

    QCOMPARE(cli.rows(QStringLiteral("SELECT Code, Folder, Source FROM Article ORDER BY Code")),
             (QStringList{QStringLiteral("10|0|") + kAllGroups, QStringLiteral("11|0|") + kAllGroups}));
    QCOMPARE(cli.value(QStringLiteral("SELECT count(DISTINCT ArticleId || ' ' || GroupId) || '|' || count(*) "
                                      "FROM SentArticles")),
             QStringLiteral("%1|%1").arg(kCopies));
    // Every copy the server took is recorded, once, and no other.
    QStringList taken;
    for (const PostTaker::Article &article : server.articles())
        taken << article.messageId;
    QStringList recorded = cli.rows(QStringLiteral("SELECT MessageId FROM SentArticles"));
    taken.sort();
    recorded.sort();
    QCOMPARE(recorded, taken);
    QCOMPARE(taken.size(), kCopies);
    QCOMPARE(cli.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
}

QTEST_GUILESS_MAIN(tst_CliKill)
#include "tst_clikill.moc"
