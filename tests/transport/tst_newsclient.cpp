// The news client's session against a scripted server: greeting and its
// states, "mode reader", login on demand, how connections end and fail, the
// time and size limits, the SOCKS 5 proxy on a real socket, and the trace.

#include "newsclienttesting.h"

#include "tests/support/freeport.h"
#include "transport/listlines.h"
#include "transport/nntpmessage.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace NewsClientTesting;

class tst_NewsClient : public QObject
{
    Q_OBJECT

private slots:
    void initialState();
    void greeting_data();
    void greeting();
    void greetingStateKeptAcrossConnections_data();
    void greetingStateKeptAcrossConnections();
    void greetingStateTexts();
    void multiLineGreetingReadWhole();
    void workWhileTheServerGreets();
    void loginOnDemand_data();
    void loginOnDemand();
    void disconnect();
    void alreadyConnected();
    void commandWithoutConnection();
    void connectFailures_data();
    void connectFailures();
    void silentServer_data();
    void silentServer();
    void longListThenShortReply();
    void connectTimeLimit();
    void overlongLine();
    void socksSession();
    void socksFailureClosesTheConnection();
    void socksVersion4Refused();
    void silentProxy();
    void traceReplaysAsScript();
};

void tst_NewsClient::initialState()
{
    NewsClient client;
    QCOMPARE(client.settings().Host, QString());
    QCOMPARE(client.settings().Port, 119);
    QCOMPARE(client.settings().NewsAgent, QStringLiteral("Quorbic 1.0"));
    QCOMPARE(client.settings().Mode, ModeType::mtReader);
    QCOMPARE(client.settings().SocksInfo.Version, SocksVersion::svSocks5);
    QCOMPARE(client.greetingState(), GreetingState::CanPost);
    QCOMPARE(client.msgNo(), 0u);
    QVERIFY(!client.connected());
    QCOMPARE(client.limits().connectTimeoutMs, 30000);
    QCOMPARE(client.limits().idleTimeoutMs, 60000);
    QCOMPARE(client.limits().maxLineLength, 1024 * 1024);
}

void tst_NewsClient::greeting_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<GreetingState>("state");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("connected");

    const QString modeReader = QStringLiteral("C: mode reader\nS: 200 ok\n");
    QTest::newRow("200 may post") << "S: 200 hi\n" + modeReader + Closing << GreetingState::CanPost << QString()
                                  << true;
    QTest::newRow("201 read only") << "S: 201 hi\n" + modeReader + Closing << GreetingState::NoPost << QString()
                                   << true;
    QTest::newRow("400 unavailable, mode reader still sent") << "S: 400 busy\nC: mode reader\nS: 400 busy\n" + Closing
                                                             << GreetingState::TempUnavailable << QString() << true;
    QTest::newRow("no code: refused, nothing sent")
        << "S: welcome\n* closed" << GreetingState::CanPost << "ConnectionRefused 0: welcome" << false;
    QTest::newRow("205: refused, nothing sent")
        << "S: 205 bye\n* closed" << GreetingState::CanPost << "ConnectionRefused 205: 205 bye" << false;
    QTest::newRow("leafnode 503: refused with its own text")
        << "S: 503 Unable to determine fully qualified domain name\n* closed" << GreetingState::CanPost
        << "ConnectionRefused 503: 503 Unable to determine fully qualified domain name" << false;
    QTest::newRow("mode reader reply of any code accepted")
        << "S: 200 hi\nC: mode reader\nS: 500 what?\n" + Closing << GreetingState::CanPost << QString() << true;
    QTest::newRow("502 refused, closed without mode reader")
        << "S: 502 go away\n* closed" << GreetingState::CanPost
        << "ConnectionRefused 502: Connection explicitly refused by NNTP server." << false;
    QTest::newRow("400 and the server closes") << "S: 400 busy\n* close" << GreetingState::TempUnavailable
                                               << "ConnectionClosed: Connection Closed Gracefully." << false;
    QTest::newRow("closed before the greeting")
        << "* close" << GreetingState::CanPost << "ConnectionClosed: Connection Closed Gracefully." << false;
}

void tst_NewsClient::greeting()
{
    QFETCH(QString, script);
    QFETCH(GreetingState, state);
    QFETCH(QString, failure);
    QFETCH(bool, connected);

    FakeNewsServer server;
    server.addScript(script);
    NewsClient client;
    pointAt(client, server);
    QCOMPARE(failureOf([&] { client.connect(); }), failure);
    QCOMPARE(client.greetingState(), state);
    QCOMPARE(client.connected(), connected);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::greetingStateKeptAcrossConnections_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<GreetingState>("state");

    QTest::newRow("201 then 205") << "201 read only"
                                  << "205 closing" << GreetingState::NoPost;
    QTest::newRow("400 then 503") << "400 busy"
                                  << "503 not fully qualified" << GreetingState::TempUnavailable;
    QTest::newRow("201 then 200") << "201 read only"
                                  << "200 post away" << GreetingState::CanPost;
    QTest::newRow("201 then 502") << "201 read only"
                                  << "502 refused" << GreetingState::NoPost;
}

void tst_NewsClient::greetingStateKeptAcrossConnections()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(GreetingState, state);

    FakeNewsServer server;
    for (const QString &greeting : {first, second}) {
        if ((!greeting.startsWith(QLatin1String("20")) && !greeting.startsWith(QLatin1String("400")))
            || greeting.startsWith(QLatin1String("205")))
            server.addScript("S: " + greeting + "\n* closed");
        else
            server.addScript("S: " + greeting + "\nC: mode reader\nS: 200 ok\n" + Closing);
    }
    NewsClient client;
    pointAt(client, server);
    for (int i = 0; i < 2; ++i) {
        failureOf([&] { client.connect(); });
        client.disconnect();
    }
    QCOMPARE(client.greetingState(), state);
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
    QCOMPARE(server.connectionCount(), 2);
}

void tst_NewsClient::greetingStateTexts()
{
    QCOMPARE(greetingStateText(GreetingState::CanPost),
             QStringLiteral(" Connected successfully. You are permitted to post."));
    QCOMPARE(greetingStateText(GreetingState::NoPost),
             QStringLiteral(" Connected successfully. You only have read-only access. No posting is permitted."));
    QCOMPARE(greetingStateText(GreetingState::AuthRequired), QStringLiteral(" Authentication is required."));
    QCOMPARE(greetingStateText(GreetingState::TempUnavailable),
             QStringLiteral(" The news service is temporarily unavailable."));
}

// The caller's work runs once the connection is open and before the greeting
// is read; what it throws ends the connection before anything is sent.
void tst_NewsClient::workWhileTheServerGreets()
{
    FakeNewsServer server;
    server.addScript(Opening + Closing);
    server.addScript(QStringLiteral("S: 200 fake news ready\n* closed"));
    NewsClient client;
    pointAt(client, server);
    QList<int> seen; // the last reply's code, each time the work ran
    client.connect([&] {
        QVERIFY(client.connected());
        seen << client.lastReplyCode();
    });
    QCOMPARE(seen, QList<int>{0});
    QCOMPARE(client.lastReplyCode(), 200);
    client.disconnect();

    QCOMPARE(failureOf([&] { client.connect([] { throw ClientError(QStringLiteral("store gone")); }); }),
             QStringLiteral("ClientError: store gone"));
    QVERIFY(!client.connected());

    client.setSettings([&] {
        NewsClientSettings settings = client.settings();
        settings.Port = pickFreePort();
        return settings;
    }());
    bool ran = false;
    QVERIFY(!failureOf([&] { client.connect([&] { ran = true; }); }).isEmpty());
    QVERIFY(!ran);
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::multiLineGreetingReadWhole()
{
    FakeNewsServer server;
    server.addScript("S: 201-Welcome\nS: 201-to the\nS:\nS: 201 test server\n"
                     "C: mode reader\nS: 200-reader\nS: 200 mode\n"
                     + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QCOMPARE(client.greetingState(), GreetingState::NoPost);
    QCOMPARE(client.lastReplyLines(), (QList<QByteArray>{"200-reader", "200 mode"}));
    QCOMPARE(client.replyLine(), QStringLiteral("200 mode"));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::loginOnDemand_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("failure");

    const QString login = QStringLiteral("C: AuthInfo User joe\nS: 381 password\nC: AuthInfo Pass pw\nS: 281 ok\n");
    QTest::newRow("480 on mode reader, then mode reader again") << "joe"
                                                                << "pw"
                                                                << "S: 200 hi\nC: mode reader\nS: 480 login first\n"
            + login
            + "C: mode reader\nS: 200 ok\n"
              "C: Group a\nS: 211 1 1 1 a\n"
            + Closing << QString();
    QTest::newRow("450 on a command, then the command again")
        << "joe"
        << "pw"
        << Opening + "C: Group a\nS: 450 authorization required\n" + login + "C: Group a\nS: 211 1 1 1 a\n" + Closing
        << QString();
    QTest::newRow("no login configured sends empty values") << ""
                                                            << ""
                                                            << Opening
            + "C: Group a\nS: 480 login\nC: AuthInfo User \nS: 381 pass\nC: AuthInfo Pass \nS: 481 no\n" + Closing
                                                            << "ReplyError 481: 481 no";
    QTest::newRow("user name refused") << "joe"
                                       << "pw"
                                       << Opening + "C: Group a\nS: 480 login\nC: AuthInfo User joe\nS: 482 sequence\n"
            + Closing << "ReplyError 482: 482 sequence";
    QTest::newRow("password refused") << "joe"
                                      << "bad"
                                      << Opening
            + "C: Group a\nS: 480 login\nC: AuthInfo User joe\nS: 381 pass\n"
              "C: AuthInfo Pass bad\nS: 481 Authentication failed\n"
            + Closing << "ReplyError 481: 481 Authentication failed";
    QTest::newRow("user name alone accepted") << "joe"
                                              << "pw"
                                              << Opening
            + "C: Group a\nS: 480 login\nC: AuthInfo User joe\nS: 281 welcome\n"
              "C: Group a\nS: 211 1 1 1 a\n"
            + Closing << QString();
    QTest::newRow("480 again after logging in is the command's failure")
        << "joe"
        << "pw" << Opening + "C: Group a\nS: 480 login\n" + login + "C: Group a\nS: 480 still no\n" + Closing
        << "ReplyError 480: 480 still no";
}

void tst_NewsClient::loginOnDemand()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, script);
    QFETCH(QString, failure);

    FakeNewsServer server;
    server.addScript(script);
    NewsClient client;
    pointAt(client, server, user, password);
    QCOMPARE(failureOf([&] {
                 client.connect();
                 client.selectGroup(QStringLiteral("a"));
             }),
             failure);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::disconnect()
{
    FakeNewsServer server;
    server.addScript(Opening + Closing);
    NewsClient client;
    pointAt(client, server);
    client.disconnect(); // not connected: nothing happens
    client.connect();
    QVERIFY(client.connected());
    client.disconnect();
    QVERIFY(!client.connected());
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
    QCOMPARE(server.connectionCount(), 1);
}

void tst_NewsClient::alreadyConnected()
{
    FakeNewsServer server;
    server.addScript(Opening + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QCOMPARE(failureOf([&] { client.connect(); }), QStringLiteral("ClientError: Already connected."));
    QVERIFY(client.connected());
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::commandWithoutConnection()
{
    NewsClient client;
    QVERIFY(failureOf([&] { client.selectGroup(QStringLiteral("a")); }).startsWith(QLatin1String("ClientError: ")));
}

void tst_NewsClient::connectFailures_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("failure");

    QTest::newRow("closed port")
        << "127.0.0.1" << QStringLiteral("SocketError %1: Socket Error # %1\nConnection refused").arg(ECONNREFUSED);
    QTest::newRow("host name that does not resolve")
        << "no-such-host.invalid"
        << QStringLiteral("SocketError %1: Socket Error # %1\nName or service not known").arg(HostNotFoundErrorNumber);
    QTest::newRow("empty host")
        << ""
        << QStringLiteral("SocketError %1: Socket Error # %1\nName or service not known").arg(HostNotFoundErrorNumber);
}

void tst_NewsClient::connectFailures()
{
    QFETCH(QString, host);
    QFETCH(QString, failure);

    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = host;
    settings.Port = closedPort;
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    client.setSettings(settings);
    QCOMPARE(failureOf([&] { client.connect(); }), failure);
    QVERIFY(!client.connected());
}

void tst_NewsClient::silentServer_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("no greeting") << "* stall";
    QTest::newRow("greeting half sent") << "S> 32 30 30 20 68 69\n* stall";
    QTest::newRow("no reply to mode reader") << "S: 200 hi\nC: mode reader\n* stall";
    QTest::newRow("list stops in the middle") << Opening + "C: List\nS: 215 list\nS: a 2 1 y\n* stall";
}

void tst_NewsClient::silentServer()
{
    QFETCH(QString, script);

    FakeNewsServer server;
    server.addScript(script);
    NewsClient client;
    pointAt(client, server);
    NewsClientLimits limits = client.limits();
    limits.idleTimeoutMs = 200;
    client.setLimits(limits);
    client.setOnNewsgroupList([](const QString &, quint32, quint32, const QString &, bool &) {});
    QCOMPARE(failureOf([&] {
                 client.connect();
                 client.newsgroupList();
             }),
             QStringLiteral("SocketError %1: Socket Error # %1\nConnection timed out").arg(ETIMEDOUT));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

// A list far longer than what the client lets gather before it wakes, sent a
// line at a time: every line arrives, the end of the list (shorter than that)
// is read, and the next command's short reply is waited for as before, all
// within an idle limit a held-back reply would run out.
void tst_NewsClient::longListThenShortReply()
{
    QString script = Opening + "C: List\nS: 215 list follows\n";
    for (int i = 0; i < 3000; ++i)
        script += QStringLiteral("S: sci.physics.g%1 0000000002 0000000001 y\n").arg(i, 5, 10, QLatin1Char('0'));
    script += "S: .\nC: Group sci.physics.g02999\nS: 211 1 1 2 sci.physics.g02999\n" + Closing;
    FakeNewsServer server;
    server.addScript(script);
    NewsClient client;
    pointAt(client, server);
    NewsClientLimits limits = client.limits();
    limits.idleTimeoutMs = 1000;
    client.setLimits(limits);
    client.connect();
    QStringList seen;
    client.readNewsgroupList([&seen](const ListLine &line, bool &) { seen << QString::fromLatin1(line.name); },
                             [&seen] { seen << QStringLiteral("(meanwhile)"); });
    QCOMPARE(seen.size(), 3001);
    QCOMPARE(seen.first(), QStringLiteral("(meanwhile)"));
    QCOMPARE(seen.last(), QStringLiteral("sci.physics.g02999"));
    client.selectGroup(QStringLiteral("sci.physics.g02999"));
    QCOMPARE(client.groupFigures().high, 2u);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

// A listening socket whose queue is full and that never accepts: the
// handshake of a further connection never completes.
void tst_NewsClient::connectTimeLimit()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), length) == 0);
    QVERIFY(::listen(listener, 0) == 0);
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0);
    QList<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr *>(&address), sizeof address);
        fillers.append(filler);
    }

    NewsClient client;
    NewsClientSettings settings;
    settings.Host = QStringLiteral("127.0.0.1");
    settings.Port = ntohs(address.sin_port);
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    client.setSettings(settings);
    NewsClientLimits limits;
    limits.connectTimeoutMs = 300;
    client.setLimits(limits);
    const QString failure = failureOf([&] { client.connect(); });

    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
    QCOMPARE(failure, QStringLiteral("SocketError %1: Socket Error # %1\nConnection timed out").arg(ETIMEDOUT));
}

void tst_NewsClient::overlongLine()
{
    FakeNewsServer server;
    // 1.5 MiB without a line end, then more: the client gives up at 1 MiB.
    server.addScript(Opening + "C: Group big\nS: 211 " + QString(1536 * 1024, QLatin1Char('9'))
                     + "\nC: Quit\n* closed");
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QCOMPARE(failureOf([&] { client.selectGroup(QStringLiteral("big")); }),
             QStringLiteral("ClientError: The server sent a line longer than 1048576 bytes."));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClient::socksSession()
{
    FakeNewsServer proxy;
    // The fake plays the proxy and, once the proxy has "connected", the
    // news server behind it on the same connection.
    proxy.addScript(QStringLiteral("C> 05 01 02\n"
                                   "S> 05 02\n"
                                   "C> 01 03 6a 6f 65 02 70 77\n"
                                   "S> 01 00\n"
                                   "C> 05 01 00 03 10 6e 65 77 73 2e 65 78 61 6d 70 6c 65 2e 63 6f 6d 02 2b\n"
                                   "S> 05 00 00 03 05 70 72 6f 78 79 04 38\n")
                    + "S: 201 through the proxy\nC: mode reader\nS: 201 ok\n" + Closing);
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = QStringLiteral("news.example.com");
    settings.Port = 555;
    settings.SocksInfo.Version = SocksVersion::svSocks5;
    settings.SocksInfo.Authentication = SocksAuthentication::saUsernamePassword;
    settings.SocksInfo.Host = proxy.host();
    settings.SocksInfo.Port = proxy.port();
    settings.SocksInfo.UserID = QStringLiteral("joe");
    settings.SocksInfo.Password = QStringLiteral("pw");
    client.setSettings(settings);
    client.connect();
    QCOMPARE(client.greetingState(), GreetingState::NoPost);
    client.disconnect();
    QVERIFY2(proxy.waitForScripts(), qPrintable(proxy.failure()));
}

void tst_NewsClient::socksFailureClosesTheConnection()
{
    FakeNewsServer proxy;
    proxy.addScript(QStringLiteral("C> 05 01 00\nS> 05 00\nC> 05 01 00 03 01 68 00 77\nS> 05 02 00 01 00\n* closed"));
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = QStringLiteral("h");
    settings.SocksInfo.Version = SocksVersion::svSocks5;
    settings.SocksInfo.Authentication = SocksAuthentication::saNoAuthentication;
    settings.SocksInfo.Host = proxy.host();
    settings.SocksInfo.Port = proxy.port();
    client.setSettings(settings);
    QCOMPARE(failureOf([&] { client.connect(); }), QStringLiteral("ClientError: Connection not allowed by ruleset."));
    QVERIFY(!client.connected());
    QVERIFY2(proxy.waitForScripts(), qPrintable(proxy.failure()));
}

void tst_NewsClient::socksVersion4Refused()
{
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = QStringLiteral("h");
    settings.SocksInfo.Version = SocksVersion::svSocks4;
    settings.SocksInfo.Host = QStringLiteral("127.0.0.1");
    client.setSettings(settings);
    QCOMPARE(failureOf([&] { client.connect(); }), QStringLiteral("ClientError: Only SOCKS version 5 is supported."));
    QVERIFY(!client.connected());
}

void tst_NewsClient::silentProxy()
{
    FakeNewsServer proxy;
    proxy.addScript(QStringLiteral("C> 05 01 00\n* stall"));
    NewsClient client;
    NewsClientSettings settings;
    settings.Host = QStringLiteral("h");
    settings.SocksInfo.Version = SocksVersion::svSocks5;
    settings.SocksInfo.Authentication = SocksAuthentication::saNoAuthentication;
    settings.SocksInfo.Host = proxy.host();
    settings.SocksInfo.Port = proxy.port();
    client.setSettings(settings);
    NewsClientLimits limits;
    limits.idleTimeoutMs = 200;
    client.setLimits(limits);
    QCOMPARE(failureOf([&] { client.connect(); }),
             QStringLiteral("SocketError %1: Socket Error # %1\nConnection timed out").arg(ETIMEDOUT));
    QVERIFY(!client.connected());
    QVERIFY2(proxy.waitForScripts(), qPrintable(proxy.failure()));
}

// The trace of a session is a script the fake server can play again; the
// password never appears in it.
void tst_NewsClient::traceReplaysAsScript()
{
    QTemporaryDir dir;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    const QString script = Opening
        + "C: Group g\nS: 480 login\nC: AuthInfo User joe\nS: 381 more\n"
          "C: AuthInfo Pass s3cret\nS: 281 ok\nC: Group g\nS: 211 2 1 2 g\n"
          "C: xover 1-\nS: 224 follows\nS: 1\tsubject\nS: ..dotted\nS: .\n"
          "C: Quit";
    FakeNewsServer server;
    server.addScript(script);
    qputenv("QUORBIC_NNTP_TRACE", QFile::encodeName(tracePath));
    {
        NewsClient client;
        pointAt(client, server, QStringLiteral("joe"), QStringLiteral("s3cret"));
        client.connect();
        client.selectGroup(QStringLiteral("g"));
        client.overview(QStringLiteral("1-"));
        client.disconnect();
    }
    qunsetenv("QUORBIC_NNTP_TRACE");
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));

    QFile file(tracePath);
    // The trace holds logins and articles: its owner's alone.
    QCOMPARE(file.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString trace = QString::fromUtf8(file.readAll());
    QVERIFY2(!trace.contains(QLatin1String("s3cret")), qPrintable(trace));
    QVERIFY2(trace.startsWith(QLatin1String("# connection to 127.0.0.1:")), qPrintable(trace));

    // Apart from the masked password, the trace is the script that was played.
    QString expected = script;
    expected.replace(QLatin1String("s3cret"), QLatin1String("********"));
    QStringList traced = trace.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    traced.removeFirst();
    QCOMPARE(traced, expected.split(QLatin1Char('\n')));

    // And it plays: the client accepts it from the fake server as before.
    FakeNewsServer replay;
    replay.addScript(traced.join(QLatin1Char('\n')).replace(QLatin1String("********"), QLatin1String("s3cret")));
    NewsClient client;
    pointAt(client, replay, QStringLiteral("joe"), QStringLiteral("s3cret"));
    client.connect();
    client.selectGroup(QStringLiteral("g"));
    QCOMPARE(client.overview(QStringLiteral("1-")), (QList<QByteArray>{"1\tsubject", ".dotted"}));
    client.disconnect();
    QVERIFY2(replay.waitForScripts(), qPrintable(replay.failure()));
}

QTEST_GUILESS_MAIN(tst_NewsClient)
#include "tst_newsclient.moc"
