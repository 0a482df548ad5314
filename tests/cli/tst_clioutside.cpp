// What quorbic-cli does with what others could read or write: a store it
// makes is private whatever the umask, an older store with a password that
// others can read is reported on standard error and left as it is, and no
// control character from a server or the store reaches the terminal.

#include "tests/cli/clirunner.h"
#include "tests/support/fakenewsserver.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

int modeOf(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// The characters a terminal acts on: C0 but tab and line feed, DEL, C1.
QString controlsIn(const QString &text)
{
    QString found;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n') || (u >= 0x7F && u <= 0x9F))
            found += QStringLiteral("U+%1 ").arg(int(u), 4, 16, QLatin1Char('0'));
    }
    return found;
}

// A title change, a screen clear, a bell, a C1 CSI and a carriage return that
// would overwrite the line.
const QByteArray kEscapes = "\x1b]0;owned\x07\x1b[2J\xc2\x9b"
                            "31m\rX";
const QString kShown = QStringLiteral("?]0;owned??[2J?31m?X");

const QString kOpening = QStringLiteral("S: 200 news.example.org ready\nC: CAPABILITIES\nS: 500 what?\n"
                                        "C: mode reader\nS: 200 ok\n");

} // namespace

class tst_CliOutside : public QObject
{
    Q_OBJECT
private slots:
    void newStoreIsPrivate()
    {
        CliRunner cli;
        const mode_t old = ::umask(022);
        const CliRunner::Result made = cli.run({QStringLiteral("init")});
        ::umask(old);
        QVERIFY2(made.exitCode == 0, qPrintable(made.describe()));
        QCOMPARE(modeOf(cli.storePath()), 0600);
    }

    void readableStoreWithPasswordIsReportedNotChanged()
    {
        CliRunner cli;
        QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
        cli.exec(QStringLiteral("INSERT INTO Servers (Code, ServerName, RequiresLogin, Login, Password) "
                                "VALUES (1, 'news.example.org', -1, 'ann', 'secret')"));
        QVERIFY(::chmod(QFile::encodeName(cli.storePath()).constData(), 0644) == 0);
        const CliRunner::Result shown = cli.run({QStringLiteral("show"), QStringLiteral("Inbox")});
        QVERIFY2(shown.exitCode == 0, qPrintable(shown.describe()));
        QCOMPARE(shown.errLines(),
                 QStringList{QStringLiteral("quorbic-cli: qa.mdb holds passwords and other users can read it; make "
                                            "it private with: chmod 600 qa.mdb")});
        QCOMPARE(modeOf(cli.storePath()), 0644);
    }

    void controlCharactersNeverReachTheTerminal_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("setup"); // SQL; %1 is the fake server's port
        QTest::addColumn<QString>("script"); // after the opening; empty: no server
        QTest::addColumn<QString>("expected"); // a line of the output, escapes made harmless

        const QString server = QStringLiteral(
            "INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'f', '127.0.0.1', %1);");
        QTest::newRow("a LIST reply on standard error")
            << "update-lists" << server
            << "C: List\n" + FakeNewsServer::sendBytesLine("503 " + kEscapes + " fault\r\n") + "\nC: Quit\n* closed"
            << "Quorbic: 503 " + kShown + " fault.";
        QTest::newRow("a GROUP reply on standard error") << "retrieve"
                                                         << server
                + QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (1, 'comp.lang.c');"
                                 "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);"
                                 "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Source) "
                                 "VALUES (10, 0, 0, -1, -1, 'Q', 'comp.lang.c');"
                                 "INSERT INTO SentArticles (ArticleId, MessageId, GroupId) VALUES (10, '<q@x>', 1);")
                                                         << "C: Group comp.lang.c\n"
                + FakeNewsServer::sendBytesLine("411 " + kEscapes + " no such group\r\n") + "\nC: Quit\n* closed"
                                                         << "News Server 127.0.0.1: 411 " + kShown + " no such group";
        QTest::newRow("a subject and a body from the store on standard output")
            << "show"
            << QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body) "
                              "VALUES (1, 0, 0, 0, -1, X'%1', X'%1');")
                   .arg(QString::fromLatin1(("Re: " + kEscapes).toHex()))
            << QString() << QString();
    }
    void controlCharactersNeverReachTheTerminal()
    {
        QFETCH(QString, command);
        QFETCH(QString, setup);
        QFETCH(QString, script);
        QFETCH(QString, expected);

        CliRunner cli;
        QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
        FakeNewsServer fake;
        if (!script.isEmpty())
            fake.addScript(kOpening + script);
        cli.exec(setup.contains(QLatin1String("%1")) ? setup.arg(fake.port()) : setup);
        QStringList args{command};
        if (command == QLatin1String("show"))
            args << QStringLiteral("Inbox") << QStringLiteral("--bodies");
        const CliRunner::Result result = cli.run(args);
        if (!script.isEmpty())
            QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
        QVERIFY2(!result.crashed, qPrintable(result.describe()));
        QVERIFY2(controlsIn(result.out + result.err).isEmpty(),
                 qPrintable(controlsIn(result.out + result.err) + result.describe()));
        if (!expected.isEmpty())
            QVERIFY2(result.errLines().contains(expected), qPrintable(result.describe()));
        else
            QVERIFY2(result.out.contains(QLatin1String("owned")), qPrintable(result.describe()));
    }
};

QTEST_GUILESS_MAIN(tst_CliOutside)
#include "tst_clioutside.moc"
