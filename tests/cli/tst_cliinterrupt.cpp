// Ctrl+C (SIGINT) while quorbic-cli works. update-lists keeps a load as a
// whole: a load that ends is committed, one stopped by Ctrl+C keeps nothing,
// not even the list of a server that was loaded completely before (the first
// server is a real INN; the second a server in this test that answers LIST
// with lines dribbling in, without end or up to a given count, so the
// interrupt falls in the middle of a list). post stops after the newsgroup it
// is posting to, as Abort does, and keeps the record of what it posted (a
// server in this test holds back its answer to POST until the interrupt has
// been sent).

#include "tests/cli/clirunner.h"
#include "tests/support/innserver.h"

#include <QtTest>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>
#include <memory>

namespace {

// Lines sent per tick while dribbling.
constexpr int kLinesPerTick = 25;

class ListDribbler
{
public:
    // listLines < 0: the list never ends.
    explicit ListDribbler(int listLines)
        : m_listLines(listLines)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
        QObject::connect(&m_timer, &QTimer::timeout, [this] { dribble(); });
        m_timer.setInterval(5);
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    bool listRequested() const { return m_listRequested; }
    bool clientGone() const { return m_clientGone; }

private:
    void accept()
    {
        m_client = m_server.nextPendingConnection();
        QObject::connect(m_client, &QTcpSocket::readyRead, [this] {
            while (m_client->canReadLine())
                answer(m_client->readLine().trimmed().toUpper());
        });
        QObject::connect(m_client, &QTcpSocket::disconnected, [this] {
            m_clientGone = true;
            m_timer.stop();
        });
        m_client->write("200 dribbler ready (posting ok)\r\n");
    }

    void answer(const QByteArray &command)
    {
        if (command == "CAPABILITIES") {
            m_client->write("101 Capability list:\r\nVERSION 2\r\nREADER\r\nLIST ACTIVE\r\n.\r\n");
        } else if (command == "MODE READER") {
            m_client->write("200 reader mode\r\n");
        } else if (command == "LIST") {
            m_client->write("215 list follows\r\n");
            m_listRequested = true;
            m_timer.start();
        } else if (command == "QUIT") {
            m_timer.stop();
            m_client->write("205 bye\r\n");
            m_client->disconnectFromHost();
        } else {
            m_client->write("500 what?\r\n");
        }
    }

    void dribble()
    {
        for (int i = 0; i < kLinesPerTick; ++i) {
            if (m_listLines >= 0 && m_sent == m_listLines) {
                m_client->write(".\r\n");
                m_timer.stop();
                return;
            }
            m_client->write(QByteArray("quorbic.dribble.g") + QByteArray::number(m_sent).rightJustified(6, '0')
                            + " 0000000010 0000000001 y\r\n");
            ++m_sent;
        }
    }

    int m_listLines;
    QTcpServer m_server;
    QTcpSocket *m_client = nullptr;
    QTimer m_timer;
    int m_sent = 0;
    bool m_listRequested = false;
    bool m_clientGone = false;
};

// Takes posts, but answers each one only when released.
class PostHolder
{
public:
    PostHolder()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    // Articles received in full (answered or not).
    int articles() const { return m_articles; }
    // Answers the article that waits.
    void release()
    {
        if (m_waiting) {
            m_waiting->write("240 article posted ok\r\n");
            m_waiting = nullptr;
        }
    }

private:
    void accept()
    {
        QTcpSocket *client = m_server.nextPendingConnection();
        auto inArticle = std::make_shared<bool>(false);
        QObject::connect(client, &QTcpSocket::readyRead, [this, client, inArticle] {
            while (client->canReadLine()) {
                const QByteArray line = client->readLine().trimmed();
                if (*inArticle) {
                    if (line == ".") {
                        *inArticle = false;
                        ++m_articles;
                        m_waiting = client;
                    }
                    continue;
                }
                const QByteArray command = line.toUpper();
                if (command == "MODE READER") {
                    client->write("200 reader mode\r\n");
                } else if (command == "POST") {
                    *inArticle = true;
                    client->write("340 send article\r\n");
                } else if (command == "QUIT") {
                    client->write("205 bye\r\n");
                    client->disconnectFromHost();
                } else {
                    client->write("500 what?\r\n");
                }
            }
        });
        client->write("200 holder ready (posting ok)\r\n");
    }

    QTcpServer m_server;
    QTcpSocket *m_waiting = nullptr;
    int m_articles = 0;
};

} // namespace

class tst_CliInterrupt : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void keptWholeOrNotAtAll_data();
    void keptWholeOrNotAtAll();
    void postStopsAfterTheGroupInProgress();

private:
    std::unique_ptr<InnServer> m_inn;
};

void tst_CliInterrupt::initTestCase()
{
    InnServer::Options options;
    options.groups = {QStringLiteral("quorbic.lists.a"), QStringLiteral("quorbic.lists.b")};
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
}

void tst_CliInterrupt::keptWholeOrNotAtAll_data()
{
    QTest::addColumn<bool>("interrupt");
    QTest::addColumn<int>("listLines");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("links"); // server|count of its GroupServer rows

    QTest::newRow("Ctrl+C in the second server's list keeps nothing of the load")
        << true << -1 << 1 << QStringList{"quorbic.lists.old"} << QStringList{"1|1"};
    QTest::newRow("a load that ends is kept")
        << false << 150 << 0 << QStringList{"quorbic.lists.a", "quorbic.lists.b", "quorbic.lists.old"}
        << QStringList{"1|3", "2|150"};
}

void tst_CliInterrupt::keptWholeOrNotAtAll()
{
    QFETCH(bool, interrupt);
    QFETCH(int, listLines);
    QFETCH(int, exitCode);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, links);

    ListDribbler dribbler(listLines);
    QVERIFY(dribbler.listen());
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    // A group known from an earlier load stays whatever happens.
    cli.exec(QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'INN', '%1', %2);"
                            "INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (2, 'Dribbler', "
                            "'127.0.0.1', %3);"
                            "INSERT INTO Groups (Code, GroupName) VALUES (1, 'quorbic.lists.old');"
                            "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);")
                 .arg(m_inn->host())
                 .arg(m_inn->port())
                 .arg(dribbler.port()));

    std::unique_ptr<QProcess> process = cli.start({QStringLiteral("update-lists")});
    QSignalSpy finished(process.get(), &QProcess::finished);
    QTRY_VERIFY_WITH_TIMEOUT(dribbler.listRequested() || !finished.isEmpty(), 60000);
    if (interrupt) {
        QVERIFY2(finished.isEmpty(), "quorbic-cli ended before it could be interrupted");
        QCOMPARE(::kill(pid_t(process->processId()), SIGINT), 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 60000);
    const CliRunner::Result r = CliRunner::resultOf(*process);
    QVERIFY2(!r.crashed && r.exitCode == exitCode, qPrintable(r.describe()));
    const QStringList progress = r.errLines();
    QVERIFY2(progress.value(0) == QStringLiteral("Loading Newsgroups from 127.0.0.1... 2 newsgroups"),
             qPrintable(r.describe()));
    if (interrupt) {
        // The list without end was given up by the tool itself.
        QVERIFY(dribbler.clientGone());
        QVERIFY2(progress.value(1).endsWith(QStringLiteral(" newsgroups, interrupted"))
                     && progress.value(2) == QStringLiteral("Interrupted: nothing of this load was kept."),
                 qPrintable(r.describe()));
    } else {
        QCOMPARE(progress.value(1), QStringLiteral("Loading Newsgroups from 127.0.0.1... 150 newsgroups"));
    }
    QCOMPARE(cli.rows(QStringLiteral("SELECT GroupName FROM Groups WHERE GroupName LIKE 'quorbic.lists.%' "
                                     "ORDER BY GroupName")),
             groups);
    QCOMPARE(cli.value(QStringLiteral("SELECT COUNT(*) FROM Groups WHERE GroupName LIKE 'quorbic.dribble.%'")),
             QString::number(interrupt ? 0 : listLines));
    QCOMPARE(cli.rows(QStringLiteral("SELECT Server, COUNT(*) FROM GroupServer GROUP BY Server ORDER BY Server")),
             links);
}

void tst_CliInterrupt::postStopsAfterTheGroupInProgress()
{
    PostHolder holder;
    QVERIFY(holder.listen());
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'Holder', "
                            "'127.0.0.1', %1);"
                            "INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\") "
                            "VALUES (1, 'Ann', 'Ann Asker', 'ann@test.invalid');"
                            "INSERT INTO Groups (Code, GroupName) VALUES (1, 'quorbic.hold.1');"
                            "INSERT INTO Groups (Code, GroupName) VALUES (2, 'quorbic.hold.2');"
                            "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);"
                            "INSERT INTO GroupServer (Newsgroup, Server) VALUES (2, 1);"
                            "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'Held');"
                            "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (1, 1);"
                            "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (2, 1);"
                            "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                            "Account) VALUES (10, 0, 1, -1, -1, 'First', 'Body', 1, 1);"
                            "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                            "Account) VALUES (11, 0, 1, -1, -1, 'Second', 'Body', 1, 1);")
                 .arg(holder.port()));

    std::unique_ptr<QProcess> process = cli.start({QStringLiteral("post")});
    QSignalSpy finished(process.get(), &QProcess::finished);
    QTRY_VERIFY_WITH_TIMEOUT(holder.articles() == 1 || !finished.isEmpty(), 60000);
    QVERIFY2(finished.isEmpty(), "quorbic-cli ended before it could be interrupted");
    QCOMPARE(::kill(pid_t(process->processId()), SIGINT), 0);
    holder.release();
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 60000);
    const CliRunner::Result r = CliRunner::resultOf(*process);
    QVERIFY2(!r.crashed && r.exitCode == 1, qPrintable(r.describe()));
    QCOMPARE(r.outLines(),
             (QStringList{QStringLiteral("First"), QStringLiteral("  quorbic.hold.1\tok\tSuccessful"),
                          QStringLiteral("  quorbic.hold.2\t-\t")}));
    QVERIFY2(r.err.contains(QStringLiteral("Interrupted")), qPrintable(r.describe()));
    QCOMPARE(holder.articles(), 1);
    // The first message reached one group and went to the Inbox; the second was not started.
    QCOMPARE(cli.rows(QStringLiteral("SELECT Code, Folder, Source FROM Article ORDER BY Code")),
             (QStringList{QStringLiteral("10|0|quorbic.hold.1"), QStringLiteral("11|1|NULL")}));
    QCOMPARE(cli.rows(QStringLiteral("SELECT ArticleId, GroupId FROM SentArticles")),
             QStringList{QStringLiteral("10|1")});
}

QTEST_GUILESS_MAIN(tst_CliInterrupt)
#include "tst_cliinterrupt.moc"
