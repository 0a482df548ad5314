// The news client's TLS against real peers: INN with a certificate made by the
// test (signed by a test CA that only the client is told of), offering
// STARTTLS on its ordinary port and TLS from the first byte on a standalone
// nnrpd, directly and through microsocks. Posting and retrieving over each
// form; a certificate for another name, or from an unknown issuer, asks and,
// answered No, posts nothing. A second INN without a certificate lists
// STARTTLS and refuses it with 580.

#include "tests/support/clientfailure.h"
#include "tests/support/innserver.h"
#include "tests/support/socksproxy.h"
#include "tests/support/testcertificates.h"

#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QtTest>

#include <memory>

namespace {

const QString tlsGroup = QStringLiteral("quorbic.tls");
const QString loginUser = QStringLiteral("quorbic");
const QString loginPassword = QStringLiteral("tls s3cret");
const QString proxyUser = QStringLiteral("proxyuser");
const QString proxyPassword = QStringLiteral("proxy pass");
// More than the client's 64 KiB socket buffer: LIST runs through it many times.
constexpr int generatedGroups = 3000;
// The certificate names 127.0.0.1 only: "localhost" reaches the same server
// under a name the certificate does not hold.
const QString certifiedHost = QStringLiteral("127.0.0.1");
const QString otherName = QStringLiteral("localhost");

QString rowMessageId(const char *prefix)
{
    QString tag = QString::fromLatin1(QTest::currentDataTag());
    tag.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    return QStringLiteral("<%1.%2@quorbic.test>").arg(QLatin1String(prefix), tag);
}

} // namespace

class TestNewsClientTlsInn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void postAndRetrieve_data();
    void postAndRetrieve();
    void untrustedCertificate_data();
    void untrustedCertificate();
    void longListOverTls();
    void startTlsRefused_data();
    void startTlsRefused();

private:
    enum Listener { StartTlsPort, StartTlsLoginPort, NntpsPort, NntpsLoginPort };
    NewsClientSettings settingsFor(Listener listener, const QString &host, bool throughProxy) const;

    TestCertificates m_certificates;
    std::unique_ptr<InnServer> m_inn;
    std::unique_ptr<InnServer> m_innWithoutCertificate;
    quint16 m_loginWithoutCertificatePort = 0;
    std::unique_ptr<SocksProxy> m_proxy;
    QHash<int, quint16> m_ports;
};

Q_DECLARE_METATYPE(NewsClientSettings)

void TestNewsClientTlsInn::initTestCase()
{
    QVERIFY2(m_certificates.create(), qPrintable(m_certificates.errorString()));
    const TestCertificates::Issued server
        = m_certificates.issue(QStringLiteral("Quorbic test news server"), {QStringLiteral("IP:") + certifiedHost});
    QVERIFY2(!server.isNull(), qPrintable(m_certificates.errorString()));
    QVERIFY2(m_certificates.giveKeyToNews(server), qPrintable(m_certificates.errorString()));

    InnServer::Options options;
    options.groups = {tlsGroup};
    options.generatedGroups = generatedGroups;
    options.extraInnConf = m_certificates.innConf(server);
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    m_ports[StartTlsPort] = m_inn->port();

    InnServer::ReaderOptions startTlsLogin, nntps, nntpsLogin;
    startTlsLogin.user = nntpsLogin.user = loginUser;
    startTlsLogin.password = nntpsLogin.password = loginPassword;
    nntps.implicitTls = nntpsLogin.implicitTls = true;
    const QList<QPair<Listener, InnServer::ReaderOptions>> readers{{StartTlsLoginPort, startTlsLogin},
                                                                   {NntpsPort, nntps},
                                                                   {NntpsLoginPort, nntpsLogin}};
    for (const auto &[listener, reader] : readers) {
        m_ports[listener] = m_inn->startReader(reader);
        QVERIFY2(m_ports[listener] != 0, qPrintable(m_inn->errorString()));
    }

    m_proxy = std::make_unique<SocksProxy>(proxyUser, proxyPassword);
    QVERIFY2(m_proxy->start(), qPrintable(m_proxy->errorString()));

    InnServer::Options plain;
    plain.groups = {tlsGroup};
    m_innWithoutCertificate = std::make_unique<InnServer>(plain);
    QVERIFY2(m_innWithoutCertificate->start(), qPrintable(m_innWithoutCertificate->errorString()));
    InnServer::ReaderOptions login;
    login.user = loginUser;
    login.password = loginPassword;
    m_loginWithoutCertificatePort = m_innWithoutCertificate->startReader(login);
    QVERIFY2(m_loginWithoutCertificatePort != 0, qPrintable(m_innWithoutCertificate->errorString()));
}

void TestNewsClientTlsInn::cleanupTestCase()
{
    m_proxy.reset();
    m_innWithoutCertificate.reset();
    m_inn.reset();
}

// The settings a server row gives, with the choice of encryption the row's
// port makes (a standalone nnrpd cannot listen on 563 in a test) and the test CA.
NewsClientSettings TestNewsClientTlsInn::settingsFor(Listener listener, const QString &host, bool throughProxy) const
{
    NewsClientSettings settings;
    settings.Host = host;
    settings.Port = m_ports.value(listener);
    const bool implicit = listener == NntpsPort || listener == NntpsLoginPort;
    settings.tls = implicit ? TlsUse::Implicit : TlsUse::StartTls;
    settings.extraCaCertificates = m_certificates.caPem();
    if (listener == StartTlsLoginPort || listener == NntpsLoginPort) {
        settings.UserId = loginUser;
        settings.Password = loginPassword;
    }
    if (throughProxy) {
        settings.SocksInfo.Version = SocksVersion::svSocks5;
        settings.SocksInfo.Authentication = SocksAuthentication::saUsernamePassword;
        settings.SocksInfo.Host = m_proxy->host();
        settings.SocksInfo.Port = m_proxy->port();
        settings.SocksInfo.UserID = proxyUser;
        settings.SocksInfo.Password = proxyPassword;
    } else {
        settings.SocksInfo.Version = SocksVersion::svNoSocks;
        settings.SocksInfo.Authentication = SocksAuthentication::saNoAuthentication;
    }
    return settings;
}

void TestNewsClientTlsInn::postAndRetrieve_data()
{
    QTest::addColumn<int>("listener");
    QTest::addColumn<bool>("throughProxy");

    QTest::newRow("STARTTLS on the ordinary port") << int(StartTlsPort) << false;
    QTest::newRow("STARTTLS, then the login") << int(StartTlsLoginPort) << false;
    QTest::newRow("STARTTLS through the proxy") << int(StartTlsPort) << true;
    QTest::newRow("TLS from the first byte") << int(NntpsPort) << false;
    QTest::newRow("TLS from the first byte, with the login") << int(NntpsLoginPort) << false;
    QTest::newRow("TLS from the first byte through the proxy") << int(NntpsPort) << true;
}

void TestNewsClientTlsInn::postAndRetrieve()
{
    QFETCH(int, listener);
    QFETCH(bool, throughProxy);

    NewsClient client;
    client.setSettings(settingsFor(Listener(listener), certifiedHost, throughProxy));
    int questions = 0;
    client.setOnUntrustedCertificate([&](const QString &, const QString &) { return ++questions, false; });
    NntpMessage message;
    message.subject = QStringLiteral("Over TLS");
    message.from = {QStringLiteral("TLS Poster"), QStringLiteral("poster@test.invalid")};
    message.newsGroups = {tlsGroup};
    message.msgId = rowMessageId("tls");
    message.body = {QStringLiteral("sent encrypted"), QStringLiteral(".with a dot")};

    bool encrypted = false;
    bool found = false;
    QList<QByteArray> overview;
    NntpMessage fetched;
    bool fetchedBody = false;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        encrypted = client.encrypted();
        client.post(message);
        client.selectGroup(tlsGroup);
        found = client.stat(message.msgId.mid(1, message.msgId.size() - 2));
        // The article just posted is the group's last.
        overview = client.overview(QString::number(client.groupFigures().high) + '-');
        fetchedBody = client.body(client.groupFigures().high, fetched);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(questions, 0);
    QVERIFY(encrypted);
    QCOMPARE(client.greetingState(), GreetingState::CanPost);
    QVERIFY(found);
    QCOMPARE(overview.size(), 1);
    QCOMPARE(ParseOverviewLine(overview.first()).messageId, message.msgId);
    QVERIFY(fetchedBody);
    QCOMPARE(fetched.fetchedText(), QByteArray("sent encrypted\r\n.with a dot\r\n"));
    client.disconnect();
    QVERIFY(!client.encrypted());
}

void TestNewsClientTlsInn::untrustedCertificate_data()
{
    QTest::addColumn<NewsClientSettings>("settings");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("reason");

    const QString mismatch = QStringLiteral("The host name did not match any of the valid hosts for this certificate");
    QTest::newRow("STARTTLS, another name, No") << settingsFor(StartTlsPort, otherName, false) << false << mismatch;
    QTest::newRow("STARTTLS with a login, another name, No")
        << settingsFor(StartTlsLoginPort, otherName, false) << false << mismatch;
    QTest::newRow("TLS from the first byte, another name, No")
        << settingsFor(NntpsPort, otherName, false) << false << mismatch;
    QTest::newRow("through the proxy, another name, No")
        << settingsFor(NntpsPort, otherName, true) << false << mismatch;
    NewsClientSettings withoutCa = settingsFor(StartTlsPort, certifiedHost, false);
    withoutCa.extraCaCertificates.clear();
    // INN sends the test CA along with its certificate.
    QTest::newRow("issuer unknown, No")
        << withoutCa << false << "The root certificate of the certificate chain is self-signed, and untrusted";
    QTest::newRow("another name, Yes: posted") << settingsFor(StartTlsLoginPort, otherName, false) << true << mismatch;
}

void TestNewsClientTlsInn::untrustedCertificate()
{
    QFETCH(NewsClientSettings, settings);
    QFETCH(bool, answer);
    QFETCH(QString, reason);

    NewsClient client;
    client.setSettings(settings);
    QStringList questions;
    client.setOnUntrustedCertificate([&](const QString &host, const QString &why) {
        questions.append(untrustedCertificateQuestion(host, why));
        return answer;
    });
    NntpMessage message;
    message.subject = QStringLiteral("Untrusted");
    message.from = {QStringLiteral("TLS Poster"), QStringLiteral("poster@test.invalid")};
    message.newsGroups = {tlsGroup};
    message.msgId = rowMessageId("untrusted");
    message.body = {QStringLiteral("only after a Yes")};

    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.post(message);
    });
    client.disconnect();

    QCOMPARE(questions,
             QStringList{QStringLiteral("The certificate of %1 cannot be trusted: %2. Connect anyway?")
                             .arg(settings.Host, reason)});
    QByteArray status;
    const QByteArray stored = m_inn->fetch("HEAD " + message.msgId.toUtf8(), &status);
    if (answer) {
        QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
        QVERIFY2(!stored.isNull(), status.constData());
    } else {
        QCOMPARE(failure.kind, QStringLiteral("ClientError"));
        QCOMPARE(failure.text,
                 QStringLiteral("The certificate of %1 cannot be trusted: %2.").arg(settings.Host, reason));
        QVERIFY2(stored.isNull() && status.startsWith("430"), status.constData());
    }
}

// LIST of a few thousand groups over TLS arrives whole, through the client's
// bounded socket buffer.
void TestNewsClientTlsInn::longListOverTls()
{
    NewsClient client;
    client.setSettings(settingsFor(NntpsPort, certifiedHost, false));
    QSet<QString> names;
    client.setOnNewsgroupList(
        [&](const QString &name, quint32, quint32, const QString &, bool &) { names.insert(name); });
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.newsgroupList();
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QVERIFY(client.encrypted());
    QVERIFY(names.contains(tlsGroup));
    QVERIFY(names.contains(QStringLiteral("quorbic.many.g%1").arg(generatedGroups - 1, 6, 10, QLatin1Char('0'))));
    QCOMPARE(names.size(), generatedGroups + 1);
    client.disconnect();
}

void TestNewsClientTlsInn::startTlsRefused_data()
{
    QTest::addColumn<bool>("login");
    QTest::addColumn<bool>("yes"); // the answer to the plain-login question
    QTest::addColumn<bool>("reads");

    QTest::newRow("no login: reading goes on in plain text, nobody asked") << false << false << true;
    QTest::newRow("with a login, No: the password is not sent") << true << false << false;
    QTest::newRow("with a login, Yes: logged in in plain text") << true << true << true;
}

// Debian's INN lists STARTTLS and answers it 580 when it has no certificate.
void TestNewsClientTlsInn::startTlsRefused()
{
    QFETCH(bool, login);
    QFETCH(bool, yes);
    QFETCH(bool, reads);

    NewsClientSettings settings;
    settings.Host = certifiedHost;
    settings.Port = login ? m_loginWithoutCertificatePort : m_innWithoutCertificate->port();
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    settings.tls = TlsUse::StartTls;
    if (login) {
        settings.UserId = loginUser;
        settings.Password = loginPassword;
    }
    NewsClient client;
    client.setSettings(settings);
    QStringList questions;
    client.setOnPlainLogin([&](const QString &host, const QString &reply) {
        questions << plainLoginQuestion(host, reply);
        return yes;
    });
    const ClientFailure result = failureOf([&] {
        client.connect();
        client.selectGroup(tlsGroup);
    });
    const QString question
        = QStringLiteral("The news server %1 offered encryption but then refused it (580 ").arg(certifiedHost);
    QCOMPARE(questions.size(), login ? 1 : 0);
    if (login)
        QVERIFY2(questions.first().startsWith(question)
                     && questions.first().endsWith(QStringLiteral("). Send your user name and password unencrypted?")),
                 qPrintable(questions.first()));
    if (reads) {
        QVERIFY2(result.kind == "none", qPrintable(result.describe()));
        QVERIFY(!client.encrypted());
        QCOMPARE(client.lastReplyCode(), 211);
    } else {
        QCOMPARE(result.kind, QStringLiteral("ReplyError"));
        QVERIFY2(result.text.endsWith(QStringLiteral("; the user name and password were not sent.")),
                 qPrintable(result.text));
        QVERIFY(!client.connected());
    }
    client.disconnect();
}

QTEST_GUILESS_MAIN(TestNewsClientTlsInn)
#include "tst_newsclienttls_inn.moc"
