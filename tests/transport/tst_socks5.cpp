// The SOCKS 5 exchange byte for byte, against proxy answers held in a buffer.

#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/replyreader.h"
#include "transport/socks5.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

SocksSettings withLogin(const QString &user, const QString &password)
{
    SocksSettings socks;
    socks.Authentication = SocksAuthentication::saUsernamePassword;
    socks.UserID = user;
    socks.Password = password;
    return socks;
}

SocksSettings withoutLogin()
{
    SocksSettings socks;
    socks.Authentication = SocksAuthentication::saNoAuthentication;
    return socks;
}

// Plays one exchange: the proxy's answers come from proxyBytes, what the
// client sends is collected. The text of a failure, empty on success.
struct Run
{
    QByteArray sent;
    QString failure;
    bool secretSeen = false;
    QByteArray leftOver; // what the next reader of the stream gets
};

Run play(const SocksSettings &socks, const QString &host, int port, QByteArray proxyBytes)
{
    Run run;
    QBuffer buffer(&proxyBytes);
    buffer.open(QIODevice::ReadOnly);
    ReplyReader reader(&buffer);
    Socks5Exchange exchange(reader, [&run](const QByteArray &b, bool secret) {
        run.sent += b;
        run.secretSeen |= secret;
    });
    try {
        exchange.connectThrough(socks, host, port);
        run.leftOver = reader.readLine();
    } catch (const ClientError &e) {
        run.failure = e.text();
    }
    return run;
}

const QByteArray SuccessIPv4 = bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x04, 0x38});

} // namespace

class tst_Socks5 : public QObject
{
    Q_OBJECT

private slots:
    void requestBytes_data();
    void requestBytes();
    void connectReply_data();
    void connectReply();
    void boundAddress_data();
    void boundAddress();
    void refusals_data();
    void refusals();
    void overlongFieldsRefusedBeforeSending_data();
    void overlongFieldsRefusedBeforeSending();
};

void tst_Socks5::requestBytes_data()
{
    QTest::addColumn<SocksSettings>("socks");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("proxyBytes");
    QTest::addColumn<QByteArray>("expectedSent");

    QTest::newRow("no authentication, port 119")
        << withoutLogin() << "news.example.com" << 119 << bytes({5, 0}) + SuccessIPv4
        << bytes({5, 1, 0}) + bytes({5, 1, 0, 3, 16}) + "news.example.com" + bytes({0, 119});
    QTest::newRow("user name and password, port above 255")
        << withLogin("joe", "secret") << "h" << 0x1234 << bytes({5, 2, 1, 0}) + SuccessIPv4
        << bytes({5, 1, 2}) + bytes({1, 3}) + "joe" + char(6) + "secret" + bytes({5, 1, 0, 3, 1}) + "h"
            + bytes({0x12, 0x34});
    QTest::newRow("empty proxy login still offers method 2")
        << withLogin("", "") << "h" << 119 << bytes({5, 2, 1, 0}) + SuccessIPv4
        << bytes({5, 1, 2}) + bytes({1, 0, 0}) + bytes({5, 1, 0, 3, 1}) + "h" + bytes({0, 119});
    QTest::newRow("an address is sent as a name too")
        << withoutLogin() << "192.0.2.7" << 65535 << bytes({5, 0}) + SuccessIPv4
        << bytes({5, 1, 0}) + bytes({5, 1, 0, 3, 9}) + "192.0.2.7" + bytes({0xff, 0xff});
}

void tst_Socks5::requestBytes()
{
    QFETCH(SocksSettings, socks);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QByteArray, proxyBytes);
    QFETCH(QByteArray, expectedSent);

    const Run run = play(socks, host, port, proxyBytes + "200 news\r\n");
    QCOMPARE(run.failure, QString());
    QCOMPARE(run.sent.toHex(' '), expectedSent.toHex(' '));
    QCOMPARE(run.secretSeen, socks.Authentication == SocksAuthentication::saUsernamePassword);
    QCOMPARE(run.leftOver, QByteArray("200 news"));
}

void tst_Socks5::connectReply_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("failure");

    QTest::newRow("0 success") << 0 << QString();
    QTest::newRow("1 general failure") << 1 << "General SOCKS server failure.";
    QTest::newRow("2 ruleset") << 2 << "Connection not allowed by ruleset.";
    QTest::newRow("3 network unreachable") << 3 << "Network unreachable.";
    QTest::newRow("4 host unreachable") << 4 << "Host unreachable.";
    QTest::newRow("5 connection refused") << 5 << "Connection refused.";
    QTest::newRow("6 TTL expired") << 6 << "TTL expired.";
    QTest::newRow("7 command not supported") << 7 << "Command not supported.";
    QTest::newRow("8 address type not supported") << 8 << "Address type not supported.";
    QTest::newRow("9 unknown") << 9 << "Unknown socks error.";
    QTest::newRow("255 unknown") << 255 << "Unknown socks error.";
}

void tst_Socks5::connectReply()
{
    QFETCH(int, reply);
    QFETCH(QString, failure);

    // A failing proxy may send only the five bytes the client reads first.
    QByteArray answer = bytes({5, 0}) + bytes({5, reply, 0, 1, 0});
    if (reply == 0)
        answer += bytes({0, 0, 1, 0, 119}) + "200 news\r\n";
    const Run run = play(withoutLogin(), "news", 119, answer);
    QCOMPARE(run.failure, failure);
}

void tst_Socks5::boundAddress_data()
{
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("type 1, IPv4") << bytes({5, 0, 0, 1, 10, 0, 0, 1, 0x1f, 0x90});
    QTest::newRow("type 3, name") << bytes({5, 0, 0, 3, 11}) + "proxy.local" + bytes({0, 80});
    QTest::newRow("type 3, empty name") << bytes({5, 0, 0, 3, 0, 0, 80});
    QTest::newRow("type 4, IPv6") << bytes(
        {5, 0, 0, 4, 0x20, 1, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 80});
}

// The bound address is read to its last byte and no further: the greeting
// that follows must reach the client whole.
void tst_Socks5::boundAddress()
{
    QFETCH(QByteArray, reply);
    const Run run = play(withoutLogin(), "news", 119, bytes({5, 0}) + reply + "200 news\r\n");
    QCOMPARE(run.failure, QString());
    QCOMPARE(run.leftOver, QByteArray("200 news"));
}

void tst_Socks5::refusals_data()
{
    QTest::addColumn<SocksSettings>("socks");
    QTest::addColumn<QByteArray>("proxyBytes");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("bytesSent");

    const QString invalidMethod = QStringLiteral("Invalid socks authentication method.");
    const QString noResponse = QStringLiteral("Socks server did not respond.");
    const int greeting = 3;
    const int login = 1 + 1 + 1 + 1 + 2; // version, "u", "pw" with their lengths
    const int request = 5 + 4 + 2; // "news", port

    QTest::newRow("no acceptable method (255)") << withLogin("u", "pw") << bytes({5, 255}) << invalidMethod << greeting;
    QTest::newRow("other method than offered") << withoutLogin() << bytes({5, 2}) << invalidMethod << greeting;
    QTest::newRow("login refused") << withLogin("u", "pw") << bytes({5, 2, 1, 1})
                                   << "Authentication error to socks server." << greeting + login;
    QTest::newRow("closed before the method") << withoutLogin() << QByteArray() << noResponse << greeting;
    QTest::newRow("closed inside the method answer") << withoutLogin() << bytes({5}) << noResponse << greeting;
    QTest::newRow("closed before the login answer")
        << withLogin("u", "pw") << bytes({5, 2}) << noResponse << greeting + login;
    QTest::newRow("closed inside the connect reply")
        << withoutLogin() << bytes({5, 0, 5, 0, 0}) << noResponse << greeting + request;
    QTest::newRow("closed inside the bound address")
        << withoutLogin() << bytes({5, 0, 5, 0, 0, 1, 127, 0}) << noResponse << greeting + request;
    QTest::newRow("unknown bound address type")
        << withoutLogin() << bytes({5, 0, 5, 0, 0, 9, 0}) << "Unknown socks error." << greeting + request;
}

void tst_Socks5::refusals()
{
    QFETCH(SocksSettings, socks);
    QFETCH(QByteArray, proxyBytes);
    QFETCH(QString, failure);
    QFETCH(int, bytesSent);

    const Run run = play(socks, "news", 119, proxyBytes);
    QCOMPARE(run.failure, failure);
    // Nothing is sent after the step that failed.
    QCOMPARE(run.sent.size(), bytesSent);
}

void tst_Socks5::overlongFieldsRefusedBeforeSending_data()
{
    QTest::addColumn<SocksSettings>("socks");
    QTest::addColumn<QString>("host");
    const QString longText(256, QLatin1Char('a'));
    QTest::newRow("host name") << withoutLogin() << longText;
    QTest::newRow("user name") << withLogin(longText, "pw") << "news";
    QTest::newRow("password") << withLogin("u", longText) << "news";
    QTest::newRow("255 bytes in UTF-8 are 128 characters") << withLogin(QString(128, QChar(0xe9)), "pw") << "news";
}

// A length byte cannot count past 255: a longer field would spill over into
// the next one.
void tst_Socks5::overlongFieldsRefusedBeforeSending()
{
    QFETCH(SocksSettings, socks);
    QFETCH(QString, host);
    const Run run = play(socks, host, 119, bytes({5, 2, 1, 0}) + SuccessIPv4);
    QVERIFY2(run.failure.contains(QLatin1String("longer than 255 bytes")), qPrintable(run.failure));
    QCOMPARE(run.sent, QByteArray());
}

QTEST_GUILESS_MAIN(tst_Socks5)
#include "tst_socks5.moc"
