// The news client's TLS against the scripted server: STARTTLS and what the
// client does when a server lists it, refuses it or knows no CAPABILITIES;
// TLS from the first byte, on port 563 inside the SOCKS tunnel; certificates
// that fail verification, the question they raise and how long its answer
// holds; the traffic trace of an encrypted session.

#include "newsclienttesting.h"

#include "tests/support/fakenewsserver.h"
#include "tests/support/testcertificates.h"

#include "transport/newsclient.h"

#include <QtTest>

#include <cerrno>

using namespace NewsClientTesting;

namespace {

const QString capabilitiesWithStartTls = QStringLiteral("C: CAPABILITIES\nS: 101 Capability list:\nS: VERSION 2\n"
                                                        "S: READER\nS: STARTTLS\nS: AUTHINFO USER\nS: .\n");
const QString capabilitiesAfterTls = QStringLiteral("C: CAPABILITIES\nS: 101 Capability list:\nS: VERSION 2\n"
                                                    "S: READER\nS: AUTHINFO USER\nS: .\n");
const QString startTls = QStringLiteral("C: STARTTLS\nS: 382 Begin TLS negotiation now\n* tls\n");
const QString login = QStringLiteral("C: AuthInfo User joe\nS: 381 more\nC: AuthInfo Pass s3cret\nS: 281 ok\n");
const QString readerMode = QStringLiteral("C: mode reader\nS: 200 reader mode\n");
QString notSent(const QString &reply)
{
    return QStringLiteral("ReplyError %1: The news server 127.0.0.1 offered encryption but then refused it (%2); "
                          "the user name and password were not sent.")
        .arg(reply.left(3), reply);
}
const QString hostMismatch = QStringLiteral("The host name did not match any of the valid hosts for this certificate");

// The SOCKS 5 exchange without login that asks for 127.0.0.1 on port 563.
const QString socksTo563 = QStringLiteral("C> 05 01 00\nS> 05 00\n"
                                          "C> 05 01 00 03 09 31 32 37 2e 30 2e 30 2e 31 02 33\n"
                                          "S> 05 00 00 01 7f 00 00 01 00 00\n");

} // namespace

class tst_NewsClientTls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startTlsNegotiation_data();
    void startTlsNegotiation();
    void tlsFromTheFirstByte_data();
    void tlsFromTheFirstByte();
    void plainServerOnTheTlsPort();
    void untrustedCertificate_data();
    void untrustedCertificate();
    void answerKeptPerHost_data();
    void answerKeptPerHost();
    void traceMarksTheHandshake();
    void plainLoginAfterRefusedStartTls_data();
    void plainLoginAfterRefusedStartTls();

private:
    enum Certificate { Trusted, OtherName, OtherNameAgain };
    void serve(FakeNewsServer &server, Certificate certificate) const;
    void prepare(NewsClient &client, const FakeNewsServer &server, TlsUse tls, const QString &user = {}) const;

    TestCertificates m_certificates;
    QHash<int, TestCertificates::Issued> m_issued;
};

void tst_NewsClientTls::initTestCase()
{
    QVERIFY2(m_certificates.create(), qPrintable(m_certificates.errorString()));
    m_issued[Trusted] = m_certificates.issue(QStringLiteral("Quorbic test news server"),
                                             {QStringLiteral("IP:127.0.0.1"), QStringLiteral("DNS:localhost")});
    // Two certificates for the same other name: same complaint, different keys.
    for (Certificate c : {OtherName, OtherNameAgain})
        m_issued[c]
            = m_certificates.issue(QStringLiteral("news.other.invalid"), {QStringLiteral("DNS:news.other.invalid")});
    for (const TestCertificates::Issued &issued : std::as_const(m_issued))
        QVERIFY2(!issued.isNull(), qPrintable(m_certificates.errorString()));
}

void tst_NewsClientTls::serve(FakeNewsServer &server, Certificate certificate) const
{
    const TestCertificates::Issued issued = m_issued.value(certificate);
    server.setTlsCertificate(issued.certificatePem, issued.keyPem);
}

// The client trusts the test CA (beside the system's store) unless told otherwise.
void tst_NewsClientTls::prepare(NewsClient &client, const FakeNewsServer &server, TlsUse tls, const QString &user) const
{
    pointAt(client, server, user, user.isEmpty() ? QString() : QStringLiteral("s3cret"));
    NewsClientSettings settings = client.settings();
    settings.tls = tls;
    settings.extraCaCertificates = m_certificates.caPem();
    client.setSettings(settings);
}

void tst_NewsClientTls::startTlsNegotiation_data()
{
    QTest::addColumn<int>("tls");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("idleMs");

    const int startTlsUse = int(TlsUse::StartTls);
    const QString greeting = QStringLiteral("S: 200 news ready\n");
    QTest::newRow("listed: TLS, CAPABILITIES again, then mode reader and the login inside") << startTlsUse
                                                                                            << greeting
            + capabilitiesWithStartTls + startTls + capabilitiesAfterTls + "C: mode reader\nS: 480 login first\n"
            + login + readerMode + Closing << "joe" << true << QString() << 10000;
    QTest::newRow("listed in lower case") << startTlsUse
                                          << greeting + "C: CAPABILITIES\nS: 101 list\nS: reader\nS: starttls\nS: .\n"
            + startTls + capabilitiesAfterTls + readerMode + Closing
                                          << "" << true << QString() << 10000;
    QTest::newRow("no CAPABILITIES (500): plain text, login on demand as before") << startTlsUse
                                                                                  << greeting
            + "C: CAPABILITIES\nS: 500 What?\nC: mode reader\nS: 480 login first\n" + login + readerMode
            + Closing << "joe" << false << QString() << 10000;
    QTest::newRow("STARTTLS not listed: plain text")
        << startTlsUse
        << greeting + "C: CAPABILITIES\nS: 101 list\nS: VERSION 2\nS: READER\nS: .\n" + readerMode + Closing << "joe"
        << false << QString() << 10000;
    // Nothing may log in before the encryption is settled.
    QTest::newRow("CAPABILITIES answered 480: plain text, no login for it")
        << startTlsUse << greeting + "C: CAPABILITIES\nS: 480 login first\n" + readerMode + Closing << "joe" << false
        << QString() << 10000;
    QTest::newRow("refused (580) without a login: plain text") << startTlsUse
                                                               << greeting + capabilitiesWithStartTls
            + "C: STARTTLS\nS: 580 Can not initiate TLS negotiation\n" + readerMode + Closing
                                                               << "" << false << QString() << 10000;
    QTest::newRow("refused (580) with a login: the password is not sent")
        << startTlsUse
        << greeting + capabilitiesWithStartTls + "C: STARTTLS\nS: 580 Can not initiate TLS negotiation\n* closed"
        << "joe" << false << notSent(QStringLiteral("580 Can not initiate TLS negotiation")) << 10000;
    QTest::newRow("refused otherwise (502) with a login: the password is not sent")
        << startTlsUse << greeting + capabilitiesWithStartTls + "C: STARTTLS\nS: 502 already encrypted\n* closed"
        << "joe" << false << notSent(QStringLiteral("502 already encrypted")) << 10000;
    // A line sent after the 382 in plain text would otherwise be read as the
    // first words of the encrypted session.
    QTest::newRow("bytes after the 382, before the handshake")
        << startTlsUse
        << greeting + capabilitiesWithStartTls + "C: STARTTLS\n"
            + FakeNewsServer::sendBytesLine("382 go ahead\r\n281 injected\r\n") + "\n* closed"
        << "joe" << false << "ClientError: The server sent data before the TLS negotiation." << 10000;
    QTest::newRow("closed instead of the handshake")
        << startTlsUse << greeting + capabilitiesWithStartTls + "C: STARTTLS\nS: 382 go ahead\n* close"
        << "" << false << "ConnectionClosed: Connection Closed Gracefully." << 10000;
    QTest::newRow("silent instead of the handshake: the time limit")
        << startTlsUse << greeting + capabilitiesWithStartTls + "C: STARTTLS\nS: 382 go ahead\n* stall"
        << "" << false << QStringLiteral("SocketError %1: Socket Error # %1\nConnection timed out").arg(ETIMEDOUT)
        << 300;
    QTest::newRow("STARTTLS not asked for: mode reader straight after the greeting")
        << int(TlsUse::PortOnly) << greeting + readerMode + Closing << "joe" << false << QString() << 10000;
}

void tst_NewsClientTls::startTlsNegotiation()
{
    QFETCH(int, tls);
    QFETCH(QString, script);
    QFETCH(QString, user);
    QFETCH(bool, encrypted);
    QFETCH(QString, failure);
    QFETCH(int, idleMs);

    FakeNewsServer server;
    serve(server, Trusted);
    server.addScript(script);
    NewsClient client;
    prepare(client, server, TlsUse(tls), user);
    NewsClientLimits limits = client.limits();
    limits.idleTimeoutMs = idleMs;
    client.setLimits(limits);
    int questions = 0;
    client.setOnUntrustedCertificate([&](const QString &, const QString &) { return ++questions, false; });

    QCOMPARE(failureOf([&] { client.connect(); }), failure);
    QCOMPARE(questions, 0);
    QCOMPARE(client.connected(), failure.isEmpty());
    QCOMPARE(client.encrypted(), encrypted);
    if (client.connected())
        QCOMPARE(client.greetingState(), GreetingState::CanPost);
    client.disconnect();
    QVERIFY(!client.encrypted());
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientTls::plainLoginAfterRefusedStartTls_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: the login in plain text, not asked again") << true;
    QTest::newRow("No: nothing sent, asked again next time") << false;
}

void tst_NewsClientTls::plainLoginAfterRefusedStartTls()
{
    QFETCH(bool, yes);
    const QString refusal = QStringLiteral("580 Can not initiate TLS negotiation");
    const QString opening
        = QStringLiteral("S: 200 news ready\n") + capabilitiesWithStartTls + "C: STARTTLS\nS: " + refusal + "\n";
    const QString session = "C: mode reader\nS: 480 login first\n" + login + readerMode + Closing;
    FakeNewsServer server;
    serve(server, Trusted);
    for (int i = 0; i < 2; ++i)
        server.addScript(opening + (yes ? session : QStringLiteral("* closed")));
    NewsClient client;
    prepare(client, server, TlsUse::StartTls, QStringLiteral("joe"));
    QStringList questions;
    client.setOnPlainLogin([&](const QString &host, const QString &reply) {
        questions << plainLoginQuestion(host, reply);
        return yes;
    });
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(failureOf([&] { client.connect(); }), yes ? QString() : notSent(refusal));
        QCOMPARE(client.connected(), yes);
        client.disconnect();
    }
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
    const QString question = QStringLiteral("The news server 127.0.0.1 offered encryption but then refused it (")
        + refusal + QStringLiteral("). Send your user name and password unencrypted?");
    QCOMPARE(questions, QStringList(yes ? 1 : 2, question));
}

void tst_NewsClientTls::tlsFromTheFirstByte_data()
{
    QTest::addColumn<int>("tls");
    QTest::addColumn<bool>("throughProxy");
    QTest::addColumn<QString>("script");

    const QString session = QStringLiteral("S: 201 secure news\n") + readerMode + Closing;
    QTest::newRow("asked for on any port") << int(TlsUse::Implicit) << false << "* tls\n" + session;
    // The row's port alone decides: the proxy's tunnel carries TLS from its first byte.
    QTest::newRow("port 563 through the SOCKS proxy")
        << int(TlsUse::PortOnly) << true << socksTo563 + "* tls\n" + session;
    QTest::newRow("port 563 with STARTTLS asked for: no STARTTLS inside TLS")
        << int(TlsUse::StartTls) << true << socksTo563 + "* tls\n" + session;
}

void tst_NewsClientTls::tlsFromTheFirstByte()
{
    QFETCH(int, tls);
    QFETCH(bool, throughProxy);
    QFETCH(QString, script);

    FakeNewsServer server;
    serve(server, Trusted);
    server.addScript(script);
    NewsClient client;
    prepare(client, server, TlsUse(tls));
    if (throughProxy) {
        // The fake plays the proxy, then the news server inside its tunnel.
        NewsClientSettings settings = client.settings();
        settings.Port = NntpsPort;
        settings.SocksInfo.Version = SocksVersion::svSocks5;
        settings.SocksInfo.Authentication = SocksAuthentication::saNoAuthentication;
        settings.SocksInfo.Host = server.host();
        settings.SocksInfo.Port = server.port();
        client.setSettings(settings);
    }
    client.connect();
    QVERIFY(client.encrypted());
    QCOMPARE(client.greetingState(), GreetingState::NoPost);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

// A server that greets in plain text where TLS is due is not used in plain text.
void tst_NewsClientTls::plainServerOnTheTlsPort()
{
    FakeNewsServer server;
    server.addScript(QStringLiteral("S: 200 plain news\n* stall"));
    NewsClient client;
    prepare(client, server, TlsUse::Implicit);
    const QString failure = failureOf([&] { client.connect(); });
    QVERIFY2(failure.startsWith(QLatin1String("ClientError: The TLS negotiation failed: ")), qPrintable(failure));
    QVERIFY(!client.connected());
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientTls::untrustedCertificate_data()
{
    QTest::addColumn<int>("tls");
    QTest::addColumn<int>("certificate");
    QTest::addColumn<bool>("giveCa");
    QTest::addColumn<bool>("withHandler");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("reason"); // empty: no question expected

    const int startTlsUse = int(TlsUse::StartTls);
    const QString greeting = QStringLiteral("S: 200 news ready\n");
    const QString beforeHandshake = greeting + capabilitiesWithStartTls + startTls;
    // After a No nothing at all goes through the connection: no login, no post.
    QTest::newRow("another name, No: nothing sent after the handshake")
        << startTlsUse << int(OtherName) << true << true << false << beforeHandshake + "* closed" << hostMismatch;
    QTest::newRow("another name, Yes: the session goes on encrypted")
        << startTlsUse << int(OtherName) << true << true << true
        << beforeHandshake + capabilitiesAfterTls + readerMode + Closing << hostMismatch;
    QTest::newRow("another name, no handler: refused without a question")
        << startTlsUse << int(OtherName) << true << false << false << beforeHandshake + "* closed" << hostMismatch;
    QTest::newRow("TLS from the first byte, another name, No: the greeting is not read")
        << int(TlsUse::Implicit) << int(OtherName) << true << true << false << "* tls\nS: 200 hi\n* closed"
        << hostMismatch;
    // Without the test CA only the system's store is left, which does not know it.
    QTest::newRow("issuer unknown, No")
        << startTlsUse << int(Trusted) << false << true << false << beforeHandshake + "* closed"
        << "The issuer certificate of a locally looked up certificate could not be found; "
           "No certificates could be verified";
    QTest::newRow("trusted: no question") << startTlsUse << int(Trusted) << true << true << false
                                          << beforeHandshake + capabilitiesAfterTls + readerMode + Closing << QString();
}

void tst_NewsClientTls::untrustedCertificate()
{
    QFETCH(int, tls);
    QFETCH(int, certificate);
    QFETCH(bool, giveCa);
    QFETCH(bool, withHandler);
    QFETCH(bool, answer);
    QFETCH(QString, script);
    QFETCH(QString, reason);

    FakeNewsServer server;
    serve(server, Certificate(certificate));
    server.addScript(script);
    NewsClient client;
    prepare(client, server, TlsUse(tls), QStringLiteral("joe"));
    if (!giveCa) {
        NewsClientSettings settings = client.settings();
        settings.extraCaCertificates.clear();
        client.setSettings(settings);
    }
    QStringList questions;
    if (withHandler) {
        client.setOnUntrustedCertificate([&](const QString &host, const QString &why) {
            questions.append(untrustedCertificateQuestion(host, why));
            return answer;
        });
    }

    const QString failure = failureOf([&] { client.connect(); });
    const bool connects = reason.isEmpty() || (withHandler && answer);
    if (connects) {
        QCOMPARE(failure, QString());
        QVERIFY(client.encrypted());
    } else {
        QCOMPARE(failure,
                 QStringLiteral("ClientError: The certificate of 127.0.0.1 cannot be trusted: %1.").arg(reason));
        QVERIFY(!client.connected());
    }
    const QStringList expected = reason.isEmpty() || !withHandler
        ? QStringList()
        : QStringList{QStringLiteral("The certificate of 127.0.0.1 cannot be trusted: ") + reason
                      + QStringLiteral(". Connect anyway?")};
    QCOMPARE(questions, expected);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientTls::answerKeptPerHost_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("secondCertificate");
    QTest::addColumn<bool>("forgetBetween");
    QTest::addColumn<int>("questions");

    QTest::newRow("No holds for the host") << false << int(OtherName) << false << 1;
    QTest::newRow("No holds for the host's other certificates too") << false << int(OtherNameAgain) << false << 1;
    QTest::newRow("Yes holds for the same certificate") << true << int(OtherName) << false << 1;
    QTest::newRow("Yes does not cover another certificate") << true << int(OtherNameAgain) << false << 2;
    QTest::newRow("forgotten at the start of a run: asked again") << false << int(OtherName) << true << 2;
}

// Two connections to one host with a certificate for another name.
void tst_NewsClientTls::answerKeptPerHost()
{
    QFETCH(bool, answer);
    QFETCH(int, secondCertificate);
    QFETCH(bool, forgetBetween);
    QFETCH(int, questions);

    const QString accepted = QStringLiteral("* tls\nS: 200 hi\n") + readerMode + Closing;
    const QString refused = QStringLiteral("* tls\nS: 200 hi\n* closed");
    FakeNewsServer server;
    NewsClient client;
    prepare(client, server, TlsUse::Implicit);
    int asked = 0;
    client.setOnUntrustedCertificate([&](const QString &, const QString &) { return ++asked, answer; });

    for (int certificate : {int(OtherName), secondCertificate}) {
        serve(server, Certificate(certificate));
        server.addScript(answer ? accepted : refused);
        const QString failure = failureOf([&] { client.connect(); });
        QCOMPARE(failure.isEmpty(), answer);
        client.disconnect();
        QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
        if (forgetBetween)
            client.forgetCertificateAnswers();
    }
    QCOMPARE(asked, questions);
}

// The trace of an encrypted session is the script that was played, "* tls"
// where the handshake came, and it plays again.
void tst_NewsClientTls::traceMarksTheHandshake()
{
    QTemporaryDir dir;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    const QString script = QStringLiteral("S: 200 news ready\n") + capabilitiesWithStartTls + startTls
        + capabilitiesAfterTls + "C: mode reader\nS: 480 login first\n" + login + readerMode + "C: Quit";
    FakeNewsServer server;
    serve(server, Trusted);
    server.addScript(script);
    qputenv("QUORBIC_NNTP_TRACE", QFile::encodeName(tracePath));
    {
        NewsClient client;
        prepare(client, server, TlsUse::StartTls, QStringLiteral("joe"));
        client.connect();
        client.disconnect();
    }
    qunsetenv("QUORBIC_NNTP_TRACE");
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));

    QFile file(tracePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList traced = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!traced.isEmpty());
    traced.removeFirst(); // "# connection to ..."
    QString expected = script;
    expected.replace(QLatin1String("s3cret"), QLatin1String("********"));
    QCOMPARE(traced, expected.split(QLatin1Char('\n')));

    FakeNewsServer replay;
    serve(replay, Trusted);
    replay.addScript(traced.join(QLatin1Char('\n')).replace(QLatin1String("********"), QLatin1String("s3cret")));
    NewsClient client;
    prepare(client, replay, TlsUse::StartTls, QStringLiteral("joe"));
    client.connect();
    QVERIFY(client.encrypted());
    client.disconnect();
    QVERIFY2(replay.waitForScripts(), qPrintable(replay.failure()));
}

QTEST_GUILESS_MAIN(tst_NewsClientTls)
#include "tst_newsclienttls.moc"
