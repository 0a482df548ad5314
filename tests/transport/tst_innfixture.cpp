// Checks the real-peer fixtures themselves, so that a broken INN or proxy set-up
// shows here rather than as puzzling failures of the client tests.

#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/socksproxy.h"

#include <QTcpSocket>
#include <QtTest>

class TestInnFixture : public QObject
{
    Q_OBJECT

private slots:
    void postingServerGreets200AndKeepsArticles();
    void readOnlyServerGreets201();
    void loginServerDemandsAuthInfo();
    void proxyReachesServer();
};

void TestInnFixture::postingServerGreets200AndKeepsArticles()
{
    InnServer::Options options;
    options.groups = {QStringLiteral("quorbic.fixture")};
    options.generatedGroups = 500;
    InnServer server(options);
    QVERIFY2(server.start(), qPrintable(server.errorString()));

    NntpProbe probe;
    QVERIFY2(probe.open(server.host(), server.port()), qPrintable(probe.errorString()));
    QVERIFY2(probe.greeting().startsWith("200 "), probe.greeting().constData());
    QCOMPARE(probe.command("GROUP quorbic.many.g000499"), QByteArray("211 0 1 0 quorbic.many.g000499"));

    const QByteArray article = "From: fixture@test.invalid\nNewsgroups: quorbic.fixture\n"
                               "Subject: fixture\nMessage-ID: <fixture.1@test.invalid>\n\n"
                               ".leading dot\nlast line\n";
    const QByteArray posted = server.post(article);
    QVERIFY2(posted.startsWith("240 "), qPrintable(posted + server.errorString().toUtf8()));
    QByteArray status;
    QCOMPARE(server.fetch("BODY <fixture.1@test.invalid>", &status), QByteArray(".leading dot\r\nlast line\r\n"));
    QVERIFY(server.fetch("BODY <absent@test.invalid>", &status).isNull());
    QVERIFY2(status.startsWith("430"), status.constData());

    // Standalone readers on the same spool, each with its own access rules.
    struct Case
    {
        const char *name;
        InnServer::ReaderOptions reader;
        QByteArray greeting;
        QByteArray group; // reply to GROUP quorbic.fixture ("" when closed)
    };
    InnServer::ReaderOptions readOnly, login, rejecting, refusing;
    readOnly.postingAllowed = false;
    login.user = QStringLiteral("reader");
    login.password = QStringLiteral("secret");
    rejecting.rejectReason = QStringLiteral("Paused for the test");
    refusing.refuseAll = true;
    const Case cases[] = {
        {"posting", {}, "200 ", "211 1 1 1 quorbic.fixture"},
        {"read-only", readOnly, "201 ", "211 1 1 1 quorbic.fixture"},
        {"login", login, "200 ", "480 "},
        {"paused", rejecting, "400 Paused for the test", ""},
        {"refused", refusing, "502 ", ""},
    };
    for (const Case &c : cases) {
        const quint16 port = server.startReader(c.reader);
        QVERIFY2(port != 0, qPrintable(server.errorString()));
        NntpProbe reader;
        QVERIFY2(reader.open(server.host(), port), qPrintable(reader.errorString()));
        QVERIFY2(reader.greeting().startsWith(c.greeting), qPrintable(c.name + (": " + reader.greeting())));
        if (!c.group.isEmpty()) {
            const QByteArray reply = reader.command("GROUP quorbic.fixture");
            QVERIFY2(reply.startsWith(c.group), qPrintable(c.name + (": " + reply)));
        }
    }
}

void TestInnFixture::readOnlyServerGreets201()
{
    InnServer::Options options;
    options.postingAllowed = false;
    InnServer server(options);
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    NntpProbe probe;
    QVERIFY2(probe.open(server.host(), server.port()), qPrintable(probe.errorString()));
    QVERIFY2(probe.greeting().startsWith("201 "), probe.greeting().constData());
    QVERIFY2(server.post("From: a@test.invalid\nNewsgroups: quorbic.test\nSubject: x\n\nx\n").startsWith("440"),
             "a read-only server accepted POST");
}

void TestInnFixture::loginServerDemandsAuthInfo()
{
    InnServer::Options options;
    options.user = QStringLiteral("reader");
    options.password = QStringLiteral("se cret");
    InnServer server(options);
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    NntpProbe probe;
    QVERIFY2(probe.open(server.host(), server.port()), qPrintable(probe.errorString()));
    QVERIFY2(probe.command("GROUP quorbic.test").startsWith("480"), "GROUP without login was not refused");
    QVERIFY(probe.command("AUTHINFO USER reader").startsWith("381"));
    QVERIFY(probe.command("AUTHINFO PASS wrong").startsWith("481"));

    // The fixture's own helpers log in with the configured password.
    QByteArray status;
    server.fetch("BODY <absent@test.invalid>", &status);
    QVERIFY2(status.startsWith("430"), qPrintable(status + server.errorString().toUtf8()));
}

void TestInnFixture::proxyReachesServer()
{
    InnServer server;
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    SocksProxy proxy(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
    QVERIFY2(proxy.start(), qPrintable(proxy.errorString()));

    // A hand-made RFC 1928/1929 exchange, independent of the client's.
    QTcpSocket socket;
    socket.connectToHost(proxy.host(), proxy.port());
    QVERIFY(socket.waitForConnected(5000));
    auto exchange = [&socket](const QByteArray &request, int answerSize) {
        socket.write(request);
        while (socket.bytesAvailable() < answerSize && socket.waitForReadyRead(5000)) {}
        return socket.read(answerSize);
    };
    QCOMPARE(exchange(QByteArray("\x05\x01\x02", 3), 2), QByteArray("\x05\x02", 2));
    QCOMPARE(exchange("\x01\x09proxyuser\x09proxypass", 2), QByteArray("\x01\x00", 2));
    const QByteArray target = "localhost";
    QByteArray connect("\x05\x01\x00\x03", 4);
    connect += char(target.size()) + target + char(server.port() >> 8) + char(server.port() & 0xff);
    QCOMPARE(exchange(connect, 10).left(2), QByteArray("\x05\x00", 2));
    while (!socket.canReadLine() && socket.waitForReadyRead(5000)) {}
    const QByteArray greeting = socket.readLine();
    QVERIFY2(greeting.startsWith("200 "), greeting.constData());
}

QTEST_GUILESS_MAIN(TestInnFixture)
#include "tst_innfixture.moc"
