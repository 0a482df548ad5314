// quorbic-cli's command line and exit statuses: --help of every command,
// wrong command lines, a missing store; post, retrieve and update-lists
// against a real INN and a server that is down (0 only when the run met no
// error); and the question about a certificate that cannot be trusted, which
// the tool answers No unless --trust-once is given; and the one about a login
// in plain text after a refused STARTTLS, answered No unless
// --allow-plain-login is given.

#include "tests/cli/clirunner.h"
#include "tests/support/freeport.h"
#include "tests/support/innserver.h"
#include "tests/support/testcertificates.h"
#include "transport/clienterrors.h"

#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

const QString kDownHost = QStringLiteral("127.0.0.2");
const QString kUntrusted = QStringLiteral("Warning: The certificate of 127.0.0.1 cannot be trusted: ");

QString account()
{
    return QStringLiteral("INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\", DefaultAccount) "
                          "VALUES (1, 'Ann', 'Ann Asker', 'ann@test.invalid', -1);");
}

QString server(int code, const QString &host, int port)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (%1, '%2', '%2', %3);")
        .arg(code)
        .arg(host)
        .arg(port);
}

QString group(int code, const QString &name)
{
    return QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (%1, '%2');").arg(code).arg(name);
}

QString carries(int serverCode, int groupCode)
{
    return QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) VALUES (%1, %2);")
        .arg(groupCode)
        .arg(serverCode);
}

// A question queued in the Outbox for category 1, whose groups are groupCodes.
QString queuedQuestion(const QString &subject, const QList<int> &groupCodes)
{
    QString sql = QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'C');");
    for (int code : groupCodes)
        sql += QStringLiteral("INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, 1);").arg(code);
    return sql
        + QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, \"From\", Body, "
                         "Category, CategoryPath, Account) VALUES (10, 0, 1, -1, -1, '%1', "
                         "'Ann Asker <ann@test.invalid>', 'Body', 1, '\\All\\C', 1);")
              .arg(subject);
}

// A posted question in the Inbox, recorded in group groupCode.
QString postedQuestion(const QString &groupName, int groupCode)
{
    return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Source, Account) "
                          "VALUES (20, 0, 0, -1, -1, 'Asked', '%1', 1);"
                          "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                          "VALUES (20, '<asked.cmd@test.invalid>', '', %2);")
        .arg(groupName)
        .arg(groupCode);
}

QString refusedText()
{
    QString text = SocketError(ECONNREFUSED).text();
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

class tst_CliCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void helpAndCommandLine_data();
    void helpAndCommandLine();
    void exitStatus_data();
    void exitStatus();
    void untrustedCertificate_data();
    void untrustedCertificate();
    void plainLoginAfterRefusedStartTls_data();
    void plainLoginAfterRefusedStartTls();

private:
    std::unique_ptr<InnServer> m_inn;
    quint16 m_downPort = 0;
    TestCertificates m_certificates;
    std::unique_ptr<InnServer> m_tlsInn;
    std::unique_ptr<InnServer> m_loginInn; // Debian's default: STARTTLS listed, answered 580
};

void tst_CliCommands::initTestCase()
{
    InnServer::Options options;
    options.groups = {QStringLiteral("quorbic.cmd.a"), QStringLiteral("quorbic.cmd.b")};
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    m_downPort = pickFreePort();

    // A certificate for 127.0.0.1 from a CA the system does not know.
    QVERIFY2(m_certificates.create(), qPrintable(m_certificates.errorString()));
    const TestCertificates::Issued issued
        = m_certificates.issue(QStringLiteral("Quorbic cli test"), {QStringLiteral("IP:127.0.0.1")});
    QVERIFY2(!issued.isNull(), qPrintable(m_certificates.errorString()));
    QVERIFY2(m_certificates.giveKeyToNews(issued), qPrintable(m_certificates.errorString()));
    InnServer::Options tls;
    tls.groups = {QStringLiteral("quorbic.cmd.tls1"), QStringLiteral("quorbic.cmd.tls2")};
    tls.extraInnConf = m_certificates.innConf(issued);
    m_tlsInn = std::make_unique<InnServer>(tls);
    QVERIFY2(m_tlsInn->start(), qPrintable(m_tlsInn->errorString()));
    InnServer::Options login;
    login.groups = {QStringLiteral("comp.security.misc")};
    login.user = QStringLiteral("ann");
    login.password = QStringLiteral("s3cret");
    m_loginInn = std::make_unique<InnServer>(login);
    QVERIFY2(m_loginInn->start(), qPrintable(m_loginInn->errorString()));
}

void tst_CliCommands::helpAndCommandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outStart");
    QTest::addColumn<QString>("errContains");

    QTest::newRow("program help") << QStringList{"--help"} << 0 << "Usage: quorbic-cli COMMAND"
                                  << "";
    for (const char *command : {"init", "post", "retrieve", "update-lists", "show"}) {
        QTest::addRow("%s help", command) << QStringList{command, "--help"} << 0
                                          << QStringLiteral("Usage: quorbic-cli %1").arg(QLatin1String(command)) << "";
    }
    QTest::newRow("no command") << QStringList{} << 2 << ""
                                << "Usage: quorbic-cli COMMAND";
    QTest::newRow("unknown command") << QStringList{"fetch"} << 2 << ""
                                     << "unknown command fetch";
    QTest::newRow("unknown option") << QStringList{"post", "--force"} << 2 << ""
                                    << "post: unknown option --force";
    QTest::newRow("show without a folder") << QStringList{"show"} << 2 << ""
                                           << "name the folder to show";
    QTest::newRow("show a folder that is none") << QStringList{"show", "4"} << 2 << ""
                                                << "no folder 4";
    QTest::newRow("retrieve without a store") << QStringList{"retrieve"} << 1 << ""
                                              << "there is no store qa.mdb in this directory";
    QTest::newRow("show without a store") << QStringList{"show", "Inbox"} << 1 << ""
                                          << "make one with quorbic-cli init";
}

void tst_CliCommands::helpAndCommandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, outStart);
    QFETCH(QString, errContains);

    CliRunner cli;
    const CliRunner::Result r = cli.run(args);
    QVERIFY2(!r.crashed && r.exitCode == exitCode, qPrintable(r.describe()));
    if (outStart.isEmpty())
        QVERIFY2(r.out.isEmpty(), qPrintable(r.describe()));
    else
        QVERIFY2(r.out.startsWith(outStart), qPrintable(r.describe()));
    if (errContains.isEmpty())
        QVERIFY2(r.err.isEmpty(), qPrintable(r.describe()));
    else
        QVERIFY2(r.err.contains(errContains), qPrintable(r.describe()));
    // Help and refused command lines touch nothing: not even an empty store appears.
    QVERIFY(!QFileInfo::exists(cli.storePath()));
}

void tst_CliCommands::exitStatus_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("outLines");
    QTest::addColumn<QString>("errContains"); // empty: nothing on standard error
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("rows");

    const QString inn = server(1, m_inn->host(), m_inn->port());
    const QString down = server(2, kDownHost, m_downPort);
    const QString groupA = group(1, QStringLiteral("quorbic.cmd.a"));
    const QString socketError = SocketError(ECONNREFUSED).text().section(QLatin1Char('\n'), 0, 0);
    const QString downBox = QStringLiteral("News Server 127.0.0.2: Connection Error: ") + socketError;
    // Posting and loading lists name the server they could not reach, with its port.
    const QString downNamed = QStringLiteral("News Server %1:%2: ").arg(kDownHost).arg(m_downPort);
    const QString downPostBox = QStringLiteral("News Server 127.0.0.2: Connection Error: ") + downNamed + socketError;
    const QString folder = QStringLiteral("SELECT Folder FROM Article WHERE Code=10");
    const QString cmdGroups = QStringLiteral("SELECT GroupName FROM Groups WHERE GroupName LIKE 'quorbic.cmd.%' "
                                             "ORDER BY GroupName");

    QTest::newRow("post reaching its group")
        << inn + groupA + carries(1, 1) + queuedQuestion(QStringLiteral("Fine"), {1}) << QStringList{"post"} << 0
        << QStringList{"Fine", "  quorbic.cmd.a\tok\tSuccessful"} << "" << folder << QStringList{"0"};
    QTest::newRow("post to a server that is down")
        << down + groupA + carries(2, 1) + queuedQuestion(QStringLiteral("Down"), {1}) << QStringList{"post"} << 1
        << QStringList{"Down", "  quorbic.cmd.a\tfailed\t Connection Error: " + downNamed + refusedText()}
        << downPostBox << folder << QStringList{"1"};
    QTest::newRow("post to a server that is down, then the next")
        << down + inn + groupA + carries(2, 1) + carries(1, 1) + queuedQuestion(QStringLiteral("Second"), {1})
        << QStringList{"post"} << 1 << QStringList{"Second", "  quorbic.cmd.a\tok\tSuccessful"} << downPostBox << folder
        << QStringList{"0"};
    // The run counts no error for it, but the message did not reach the group:
    // standard error says so.
    QTest::newRow("post to a group no server carries")
        << inn + group(3, QStringLiteral("quorbic.cmd.nowhere")) + queuedQuestion(QStringLiteral("Nowhere"), {3})
        << QStringList{"post"} << 1
        << QStringList{"Nowhere", "  quorbic.cmd.nowhere\tfailed\tError: The group is not found"}
        << "Not posted to quorbic.cmd.nowhere: Error: The group is not found\n\"Nowhere\" stays in the Outbox" << folder
        << QStringList{"1"};
    QTest::newRow("post with an empty Outbox")
        << inn << QStringList{"post"} << 0 << QStringList{} << "The Outbox is empty" << folder << QStringList{};
    QTest::newRow("retrieve from a working server")
        << inn + groupA + carries(1, 1) + postedQuestion(QStringLiteral("quorbic.cmd.a"), 1) << QStringList{"retrieve"}
        << 0 << QStringList{"0 new messages"} << "Loading articles from quorbic.cmd.a"
        << QStringLiteral("SELECT COUNT(*) FROM Article") << QStringList{"1"};
    QTest::newRow("retrieve from a server that is down")
        << down + groupA + carries(2, 1) + postedQuestion(QStringLiteral("quorbic.cmd.a"), 1) << QStringList{"retrieve"}
        << 1
        << QStringList{QStringLiteral("Retrieval failed: News Server 127.0.0.2:%1: %2")
                           .arg(m_downPort)
                           .arg(SocketError::describe(ECONNREFUSED))}
        << downBox << QStringLiteral("SELECT COUNT(*) FROM Article") << QStringList{"1"};
    QTest::newRow("update-lists from a working server")
        << inn << QStringList{"update-lists"} << 0 << QStringList{} << "Loading Newsgroups from 127.0.0.1... "
        << cmdGroups << QStringList{"quorbic.cmd.a", "quorbic.cmd.b"};
    QTest::newRow("update-lists from a server that is down")
        << down << QStringList{"update-lists"} << 1 << QStringList{} << "Connecting to 127.0.0.2... not loaded"
        << QStringLiteral("SELECT COUNT(*) FROM Groups") << QStringList{"0"};
    // The load ran to its end: what the working server listed is kept.
    QTest::newRow("update-lists with one server down keeps the other's list")
        << down + inn << QStringList{"update-lists"} << 1 << QStringList{}
        << "Connection Error: " + downNamed + socketError << cmdGroups << QStringList{"quorbic.cmd.a", "quorbic.cmd.b"};
    QTest::newRow("update-lists without servers")
        << QString() << QStringList{"update-lists"} << 1 << QStringList{}
        << "Server list is empty: Please, select menu Tools>News Server and add a server"
        << QStringLiteral("SELECT COUNT(*) FROM Groups") << QStringList{"0"};
}

void tst_CliCommands::exitStatus()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, outLines);
    QFETCH(QString, errContains);
    QFETCH(QString, query);
    QFETCH(QStringList, rows);

    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(account() + sql);
    const CliRunner::Result r = cli.run(args);
    QVERIFY2(!r.crashed && r.exitCode == exitCode, qPrintable(r.describe()));
    QCOMPARE(r.outLines(), outLines);
    if (errContains.isEmpty())
        QVERIFY2(r.err.isEmpty(), qPrintable(r.describe()));
    else
        QVERIFY2(r.err.contains(errContains), qPrintable(r.describe()));
    QCOMPARE(cli.rows(query), rows);
}

void tst_CliCommands::untrustedCertificate_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("posted");

    QTest::newRow("no flag: the server is not used")
        << QStringList{"post"} << 1 << "-> No (--trust-once connects anyway)" << false;
    QTest::newRow("--yes does not answer for certificates")
        << QStringList{"post", "--yes"} << 1 << "-> No (--trust-once connects anyway)" << false;
    QTest::newRow("--trust-once: posted") << QStringList{"post", "--trust-once"} << 0 << "-> Yes" << true;
}

void tst_CliCommands::untrustedCertificate()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, answer);
    QFETCH(bool, posted);

    // Two groups on the one server: the question comes once per host and run.
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(account() + server(1, m_tlsInn->host(), m_tlsInn->port()) + group(1, QStringLiteral("quorbic.cmd.tls1"))
             + group(2, QStringLiteral("quorbic.cmd.tls2")) + carries(1, 1) + carries(1, 2)
             + queuedQuestion(QStringLiteral("Over TLS"), {1, 2}));
    CliRunner::Result r = cli.run(args);
    QVERIFY2(!r.crashed && r.exitCode == exitCode, qPrintable(r.describe()));
    QStringList questions = r.errLines().filter(kUntrusted);
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions.first().endsWith(QStringLiteral(". Connect anyway? ") + answer), qPrintable(r.describe()));

    const QStringList copies = cli.rows(QStringLiteral("SELECT MessageId FROM SentArticles"));
    if (!posted) {
        QCOMPARE(copies, QStringList{});
        QCOMPARE(cli.value(QStringLiteral("SELECT Folder FROM Article")), QStringLiteral("1"));
        QCOMPARE(r.outLines().filter(QStringLiteral("\tfailed\t")).size(), 2);
        return;
    }
    QCOMPARE(copies.size(), 2);
    for (const QString &id : copies)
        QVERIFY2(!m_tlsInn->fetch("HEAD " + id.toUtf8()).isNull(), qPrintable(id));
    // Trusted for that run only: the next run asks again and, unanswered, reads nothing.
    r = cli.run({QStringLiteral("retrieve")});
    QVERIFY2(r.exitCode == 1, qPrintable(r.describe()));
    QCOMPARE(r.errLines().filter(kUntrusted).size(), 1);
}

void tst_CliCommands::plainLoginAfterRefusedStartTls_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answer");

    QTest::newRow("no flag: the login is not sent")
        << QStringList{"retrieve"} << 1 << "-> No (--allow-plain-login sends them)";
    QTest::newRow("--yes does not answer it")
        << QStringList{"retrieve", "--yes"} << 1 << "-> No (--allow-plain-login sends them)";
    QTest::newRow("--allow-plain-login: read in plain text")
        << QStringList{"retrieve", "--allow-plain-login"} << 0 << "-> Yes";
}

void tst_CliCommands::plainLoginAfterRefusedStartTls()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, answer);

    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(
        account()
        + QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port, RequiresLogin, Login, Password) "
                         "VALUES (1, '%1', '%1', %2, -1, 'ann', 's3cret');")
              .arg(m_loginInn->host())
              .arg(m_loginInn->port())
        + group(1, QStringLiteral("comp.security.misc")) + carries(1, 1)
        + postedQuestion(QStringLiteral("comp.security.misc"), 1));
    const CliRunner::Result r = cli.run(args);
    QVERIFY2(!r.crashed && r.exitCode == exitCode, qPrintable(r.describe()));
    const QString question = QStringLiteral("Warning: The news server %1 offered encryption but then refused it (580 ")
                                 .arg(m_loginInn->host());
    const QStringList asked = r.errLines().filter(question);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().endsWith(QStringLiteral("). Send your user name and password unencrypted? ") + answer),
             qPrintable(r.describe()));
    if (exitCode != 0)
        QVERIFY2(!r.errLines().filter(QStringLiteral("the user name and password were not sent.")).isEmpty(),
                 qPrintable(r.describe()));
    else
        QCOMPARE(r.outLines(), QStringList{QStringLiteral("0 new messages")});
}

QTEST_GUILESS_MAIN(tst_CliCommands)
#include "tst_clicommands.moc"
