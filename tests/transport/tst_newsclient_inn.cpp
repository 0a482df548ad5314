// The news client against real peers: one INN (with standalone readers for the
// read-only, login, paused and refusing variants) and one microsocks proxy,
// started once for the whole class.

#include "tests/support/clientfailure.h"
#include "tests/support/freeport.h"
#include "tests/support/innserver.h"
#include "tests/support/socksproxy.h"

#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

const QString loginUser = QStringLiteral("quorbic");
const QString loginPassword = QStringLiteral("s3cret!");
const QString proxyUser = QStringLiteral("proxyuser");
const QString proxyPassword = QStringLiteral("proxy pass");
const QString seededGroup = QStringLiteral("quorbic.test");
const QString emptyGroup = QStringLiteral("quorbic.empty");
const QString postGroup = QStringLiteral("quorbic.post");
const QString rawGroup = QStringLiteral("quorbic.raw");
constexpr int generatedGroups = 1000;

// A Message-ID of its own for each data row.
QString rowMessageId(const char *prefix)
{
    QString tag = QString::fromLatin1(QTest::currentDataTag());
    tag.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    return QStringLiteral("<%1.%2@quorbic.test>").arg(QLatin1String(prefix), tag);
}

// Two articles in quorbic.test, numbered 1 and 2 in this order.
const QByteArray seededQuestion = "From: \"Ann Asker\" <asker@test.invalid>\n"
                                  "Newsgroups: quorbic.test\n"
                                  "Subject: Seeded question\n"
                                  "Message-ID: <seed.1@quorbic.test>\n"
                                  "Date: Tue, 5 Nov 2002 14:03:00 -0800\n"
                                  "\n"
                                  "Line one\n"
                                  "Line two\n";
// Dot-stuffing, blank lines, a trailing blank, a TAB and an 8-bit byte: the
// body must come back exactly as stored.
const QByteArray seededAnswerBody = ".\r\n"
                                    "..two dots\r\n"
                                    ".one dot\r\n"
                                    "\r\n"
                                    "trailing blank \r\n"
                                    "\tstarts with a tab\r\n"
                                    "caf\xe9 in Latin-1\r\n";
const QByteArray seededAnswer = "From: answerer@test.invalid\n"
                                "Newsgroups: quorbic.test\n"
                                "Subject: Re: Seeded question\n"
                                "Message-ID: <seed.2@quorbic.test>\n"
                                "References: <seed.1@quorbic.test>\n"
                                "Date: 06 Nov 02 09:15 +0000\n"
                                "\n"
    + seededAnswerBody;

// Unencoded 8-bit header text, as many newsreaders send it (INN takes it
// only as valid UTF-8).
const QByteArray rawHeaders = "From: J\xc3\xbcrgen <juergen@test.invalid>\n"
                              "Newsgroups: quorbic.raw\n"
                              "Subject: Gr\xc3\xbc\xc3\x9f"
                              "e\n"
                              "Message-ID: <raw.1@quorbic.test>\n"
                              "\n"
                              "body\n";

} // namespace

class TestNewsClientInn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void greeting_data();
    void greeting();
    void authInfoOnDemand_data();
    void authInfoOnDemand();
    void selectGroup_data();
    void selectGroup();
    void stat_data();
    void stat();
    void overviewLinesParse();
    void overviewPastTheEnd();
    void overviewRawEightBitHeaders();
    void body_data();
    void body();
    void newsgroupList_data();
    void newsgroupList();
    void newsgroupListWithoutHandler();
    void postRefused_data();
    void postRefused();
    void sessionThroughProxy_data();
    void sessionThroughProxy();
    void connectFailures_data();
    void connectFailures();

private:
    enum Listener { Main, ReadOnly, Login, Paused, Refusing };
    NewsClientSettings direct(Listener listener) const;
    NewsClientSettings viaProxy(const QString &host, quint16 port) const;

    std::unique_ptr<InnServer> m_inn;
    std::unique_ptr<SocksProxy> m_proxy;
    QHash<int, quint16> m_ports;
};

void TestNewsClientInn::initTestCase()
{
    InnServer::Options options;
    options.groups = {seededGroup, emptyGroup, postGroup, rawGroup};
    options.generatedGroups = generatedGroups;
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    m_ports[Main] = m_inn->port();

    InnServer::ReaderOptions readOnly, login, paused, refusing;
    readOnly.postingAllowed = false;
    login.user = loginUser;
    login.password = loginPassword;
    paused.rejectReason = QStringLiteral("Paused for maintenance");
    refusing.refuseAll = true;
    const QList<QPair<Listener, InnServer::ReaderOptions>> readers{{ReadOnly, readOnly},
                                                                   {Login, login},
                                                                   {Paused, paused},
                                                                   {Refusing, refusing}};
    for (const auto &[listener, reader] : readers) {
        m_ports[listener] = m_inn->startReader(reader);
        QVERIFY2(m_ports[listener] != 0, qPrintable(m_inn->errorString()));
    }

    for (const QByteArray &article : {seededQuestion, seededAnswer, rawHeaders}) {
        const QByteArray status = m_inn->post(article);
        QVERIFY2(status.startsWith("240"), qPrintable("seeding failed: " + status + m_inn->errorString().toUtf8()));
    }

    m_proxy = std::make_unique<SocksProxy>(proxyUser, proxyPassword);
    QVERIFY2(m_proxy->start(), qPrintable(m_proxy->errorString()));
}

void TestNewsClientInn::cleanupTestCase()
{
    m_proxy.reset();
    m_inn.reset();
}

NewsClientSettings TestNewsClientInn::direct(Listener listener) const
{
    NewsClientSettings settings;
    settings.Host = m_inn->host();
    settings.Port = m_ports.value(listener);
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    settings.SocksInfo.Authentication = SocksAuthentication::saNoAuthentication;
    return settings;
}

NewsClientSettings TestNewsClientInn::viaProxy(const QString &host, quint16 port) const
{
    NewsClientSettings settings;
    settings.Host = host;
    settings.Port = port;
    settings.SocksInfo.Version = SocksVersion::svSocks5;
    settings.SocksInfo.Authentication = SocksAuthentication::saUsernamePassword;
    settings.SocksInfo.Host = m_proxy->host();
    settings.SocksInfo.Port = m_proxy->port();
    settings.SocksInfo.UserID = proxyUser;
    settings.SocksInfo.Password = proxyPassword;
    return settings;
}

void TestNewsClientInn::greeting_data()
{
    QTest::addColumn<int>("listener");
    QTest::addColumn<GreetingState>("state");
    QTest::addColumn<bool>("stays"); // connected afterwards
    QTest::addColumn<QStringList>("kinds"); // failure kinds accepted ("none" when it connects)
    QTest::addColumn<QString>("text");

    QTest::newRow("200 posting allowed") << int(Main) << GreetingState::CanPost << true << QStringList{"none"} << "";
    QTest::newRow("201 read-only") << int(ReadOnly) << GreetingState::NoPost << true << QStringList{"none"} << "";
    // The server closes after its 400, so "mode reader" finds the connection gone.
    QTest::newRow("400 paused") << int(Paused) << GreetingState::TempUnavailable << false
                                << QStringList{"ConnectionClosed", "SocketError"} << "";
    QTest::newRow("502 refused") << int(Refusing) << GreetingState::CanPost << false << QStringList{"ConnectionRefused"}
                                 << "Connection explicitly refused by NNTP server.";
}

void TestNewsClientInn::greeting()
{
    QFETCH(int, listener);
    QFETCH(GreetingState, state);
    QFETCH(bool, stays);
    QFETCH(QStringList, kinds);
    QFETCH(QString, text);

    NewsClient client;
    client.setSettings(direct(Listener(listener)));
    const ClientFailure failure = failureOf([&] { client.connect(); });
    QVERIFY2(kinds.contains(failure.kind), qPrintable(failure.describe()));
    if (!text.isEmpty())
        QCOMPARE(failure.text, text);
    if (failure.kind == "ConnectionRefused")
        QCOMPARE(failure.number, 502);
    QCOMPARE(client.greetingState(), state);
    QCOMPARE(client.connected(), stays);
    if (stays) {
        // The session is usable after "mode reader".
        const ClientFailure group = failureOf([&] { client.selectGroup(seededGroup); });
        QVERIFY2(group.kind == "none", qPrintable(group.describe()));
        QCOMPARE(client.groupFigures().high, 2u);
    }
    client.disconnect();
    QVERIFY(!client.connected());
}

void TestNewsClientInn::authInfoOnDemand_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("posting"); // the first command is POST rather than GROUP
    QTest::addColumn<int>("code"); // 0: succeeds

    QTest::newRow("right password, GROUP retried") << loginUser << loginPassword << false << 0;
    QTest::newRow("right password, POST retried") << loginUser << loginPassword << true << 0;
    QTest::newRow("wrong password") << loginUser << QStringLiteral("wrong") << false << 481;
    QTest::newRow("wrong password on POST") << loginUser << QStringLiteral("wrong") << true << 481;
    QTest::newRow("unknown user") << QStringLiteral("nobody") << loginPassword << false << 481;
    // No login configured: "AuthInfo User " with nothing after the blank.
    // INN takes the bare "AuthInfo User " for a syntax error.
    QTest::newRow("no login configured") << QString() << QString() << false << 501;
}

void TestNewsClientInn::authInfoOnDemand()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, posting);
    QFETCH(int, code);

    NewsClient client;
    NewsClientSettings settings = direct(Login);
    settings.UserId = user;
    settings.Password = password;
    client.setSettings(settings);
    ClientFailure failure = failureOf([&] { client.connect(); });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));

    NntpMessage message;
    message.subject = QStringLiteral("Posted after logging in");
    message.from = {QStringLiteral("Poster"), QStringLiteral("poster@test.invalid")};
    message.newsGroups = {postGroup};
    message.msgId = rowMessageId("auth");
    message.body = {QStringLiteral("body")};
    failure = posting ? failureOf([&] { client.post(message); }) : failureOf([&] { client.selectGroup(seededGroup); });

    if (code == 0) {
        QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
        if (posting) {
            QCOMPARE(client.lastReplyCode(), 240);
            QByteArray status;
            m_inn->fetch("HEAD " + message.msgId.toUtf8(), &status);
            QVERIFY2(status.startsWith("221"), status.constData());
        } else {
            QCOMPARE(client.lastReplyCode(), 211);
            QCOMPARE(client.groupFigures().count, 2u);
        }
    } else {
        QCOMPARE(failure.kind, QStringLiteral("ReplyError"));
        QCOMPARE(failure.number, code);
        QCOMPARE(failure.text, client.replyLine());
        QVERIFY2(failure.text.startsWith(QString::number(code) + ' '), qPrintable(failure.text));
        // A failed command leaves the connection to the caller.
        QVERIFY(client.connected());
    }
}

void TestNewsClientInn::selectGroup_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("code"); // 0: selected
    QTest::addColumn<quint32>("count");
    QTest::addColumn<quint32>("low");
    QTest::addColumn<quint32>("high");

    QTest::newRow("seeded group") << seededGroup << 0 << 2u << 1u << 2u;
    QTest::newRow("empty group") << emptyGroup << 0 << 0u << 1u << 0u;
    // Figures of the previous GROUP stay when the next one fails.
    QTest::newRow("unknown group") << QStringLiteral("quorbic.nosuch") << 411 << 2u << 1u << 2u;
}

void TestNewsClientInn::selectGroup()
{
    QFETCH(QString, group);
    QFETCH(int, code);
    QFETCH(quint32, count);
    QFETCH(quint32, low);
    QFETCH(quint32, high);

    NewsClient client;
    client.setSettings(direct(Main));
    ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
        client.selectGroup(group);
    });
    if (code == 0) {
        QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    } else {
        QCOMPARE(failure.kind, QStringLiteral("ReplyError"));
        QCOMPARE(failure.number, code);
        QCOMPARE(failure.text, client.replyLine());
    }
    QCOMPARE(client.groupFigures().count, count);
    QCOMPARE(client.groupFigures().low, low);
    QCOMPARE(client.groupFigures().high, high);
}

void TestNewsClientInn::stat_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("found");
    QTest::addColumn<quint32>("msgNo");
    QTest::addColumn<QString>("statId");

    // INN answers STAT by Message-ID with "223 0 <id>" (RFC 3977), even when the
    // article is in the selected group; the retrieval then starts below the
    // group's highest number.
    QTest::newRow("first article") << "seed.1@quorbic.test" << true << 0u << "<seed.1@quorbic.test>";
    QTest::newRow("second article") << "seed.2@quorbic.test" << true << 0u << "<seed.2@quorbic.test>";
    // A miss keeps the id of the last hit (article 2, asked for first).
    QTest::newRow("unknown id") << "nosuch@quorbic.test" << false << 0u << "<seed.2@quorbic.test>";
}

void TestNewsClientInn::stat()
{
    QFETCH(QString, id);
    QFETCH(bool, found);
    QFETCH(quint32, msgNo);
    QFETCH(QString, statId);

    NewsClient client;
    client.setSettings(direct(Main));
    bool first = false;
    bool result = !found;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
        first = client.stat(QStringLiteral("seed.2@quorbic.test"));
        result = client.stat(id);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QVERIFY(first);
    QCOMPARE(result, found);
    QCOMPARE(client.msgNo(), msgNo);
    QCOMPARE(client.statMessageId(), statId);
}

void TestNewsClientInn::overviewLinesParse()
{
    NewsClient client;
    client.setSettings(direct(Main));
    QList<QByteArray> lines;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
        lines = client.overview(QStringLiteral("1-"));
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(lines.size(), 2);

    const OverviewLine question = ParseOverviewLine(lines.at(0));
    QCOMPARE(question.articleNumber, 1u);
    QCOMPARE(question.subject, QStringLiteral("Seeded question"));
    QCOMPARE(question.from, QStringLiteral("\"Ann Asker\" <asker@test.invalid>"));
    // The zone is not applied: the time as written.
    QCOMPARE(question.date, QDateTime(QDate(2002, 11, 5), QTime(14, 3, 0)));
    QCOMPARE(question.messageId, QStringLiteral("<seed.1@quorbic.test>"));
    QCOMPARE(question.references, QString());
    QCOMPARE(question.lineCount, 2u);
    QVERIFY(question.byteCount > 0);
    QVERIFY2(question.extra.startsWith(QLatin1String("Xref: ")), qPrintable(question.extra));

    const OverviewLine answer = ParseOverviewLine(lines.at(1));
    QCOMPARE(answer.articleNumber, 2u);
    QCOMPARE(answer.subject, QStringLiteral("Re: Seeded question"));
    QCOMPARE(answer.from, QStringLiteral("answerer@test.invalid"));
    // No day name, a two-digit year and a time without seconds.
    QCOMPARE(answer.date, QDateTime(QDate(2002, 11, 6), QTime(9, 15, 0)));
    QCOMPARE(answer.messageId, QStringLiteral("<seed.2@quorbic.test>"));
    QCOMPARE(answer.references, QStringLiteral("<seed.1@quorbic.test>"));
    QCOMPARE(answer.lineCount, 7u);
}

void TestNewsClientInn::overviewPastTheEnd()
{
    NewsClient client;
    client.setSettings(direct(Main));
    QList<QByteArray> lines{"not replaced"};
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
        lines = client.overview(QStringLiteral("3-"));
    });
    // INN answers an empty range with "224 No articles in 3-" and an empty
    // data block, whose "." must be consumed.
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(client.lastReplyCode(), 224);
    QCOMPARE(lines, QList<QByteArray>());
    // The connection is still in step: the next command gets its own reply.
    const ClientFailure next = failureOf([&] { lines = client.overview(QStringLiteral("2-")); });
    QVERIFY2(next.kind == "none", qPrintable(next.describe()));
    QCOMPARE(lines.size(), 1);
}

void TestNewsClientInn::overviewRawEightBitHeaders()
{
    NewsClient client;
    client.setSettings(direct(Main));
    QList<QByteArray> lines;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(rawGroup);
        lines = client.overview(QStringLiteral("1-"));
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(lines.size(), 1);
    const OverviewLine line = ParseOverviewLine(lines.first());
    QCOMPARE(line.subject, QStringLiteral("Gr\u00fc\u00dfe"));
    QCOMPARE(line.from, QStringLiteral("J\u00fcrgen <juergen@test.invalid>"));
    // No Date header given: the server's own, in its usual form.
    QVERIFY2(line.date.isValid(), qPrintable(QString::fromLatin1(lines.first())));
}

void TestNewsClientInn::body_data()
{
    QTest::addColumn<quint32>("number");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("plain body") << 1u << true << QByteArray("Line one\r\nLine two\r\n");
    QTest::newRow("dots, blanks, tab and 8-bit byte") << 2u << true << seededAnswerBody;
    // A miss leaves the message as it was.
    QTest::newRow("missing number") << 99u << false << QByteArray("earlier text\r\n");
}

void TestNewsClientInn::body()
{
    QFETCH(quint32, number);
    QFETCH(bool, found);
    QFETCH(QByteArray, text);

    NewsClient client;
    client.setSettings(direct(Main));
    NntpMessage message;
    message.setFetchedBody({"earlier text"});
    bool result = !found;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
        result = client.body(number, message);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(result, found);
    QCOMPARE(message.fetchedText(), text);
    if (found) {
        // What the server itself holds, read without the client.
        QCOMPARE(m_inn->fetch(QByteArray("BODY <seed.") + QByteArray::number(number) + "@quorbic.test>"), text);
    }
}

void TestNewsClientInn::newsgroupList_data()
{
    QTest::addColumn<int>("stopAfter"); // -1: read to the end
    QTest::addColumn<int>("calls");

    // control, control.cancel and junk are hidden from readers.
    QTest::newRow("whole list") << -1 << 4 + generatedGroups;
    QTest::newRow("stopped after the first line") << 1 << 1;
    QTest::newRow("stopped after 500 lines") << 500 << 500;
}

void TestNewsClientInn::newsgroupList()
{
    QFETCH(int, stopAfter);
    QFETCH(int, calls);

    struct Entry
    {
        quint32 low, high;
        QString status;
    };
    QHash<QString, Entry> seen;
    int count = 0;
    NewsClient client;
    client.setSettings(direct(Main));
    client.setOnNewsgroupList(
        [&](const QString &name, quint32 low, quint32 high, const QString &status, bool &continueListing) {
            seen.insert(name, {low, high, status});
            if (++count == stopAfter)
                continueListing = false;
        });
    ClientFailure failure = failureOf([&] {
        client.connect();
        client.newsgroupList();
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(count, calls);
    QCOMPARE(seen.size(), calls);
    if (stopAfter < 0) {
        QVERIFY(seen.contains(seededGroup));
        QCOMPARE(seen.value(seededGroup).low, 1u);
        QCOMPARE(seen.value(seededGroup).high, 2u);
        QCOMPARE(seen.value(seededGroup).status, QStringLiteral("y"));
        QVERIFY(seen.contains(QStringLiteral("quorbic.many.g000999")));
        QVERIFY(!seen.contains(QStringLiteral("junk")));
    }

    // The unread rest of a stopped list does not spoil the next connection.
    client.disconnect();
    QVERIFY(!client.connected());
    failure = failureOf([&] {
        client.connect();
        client.selectGroup(seededGroup);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(client.groupFigures().high, 2u);
}

void TestNewsClientInn::newsgroupListWithoutHandler()
{
    NewsClient client;
    client.setSettings(direct(Main));
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.newsgroupList();
    });
    QCOMPARE(failure.kind, QStringLiteral("ClientError"));
    QCOMPARE(failure.text, QStringLiteral("No OnNewsgroupList event has been defined."));
}

void TestNewsClientInn::postRefused_data()
{
    QTest::addColumn<int>("listener");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("msgId");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("replyStart");

    QTest::newRow("read-only server") << int(ReadOnly) << postGroup << "a@test.invalid"
                                      << "<refused.1@quorbic.test>" << 440 << "440 ";
    QTest::newRow("unknown group") << int(Main) << "quorbic.nosuch"
                                   << "a@test.invalid"
                                   << "<refused.2@quorbic.test>" << 441 << "441 No valid newsgroups";
    QTest::newRow("duplicate Message-ID") << int(Main) << seededGroup << "a@test.invalid"
                                          << "<seed.1@quorbic.test>" << 441 << "441 435 Duplicate";
    // An account that no longer exists: no From line at all.
    QTest::newRow("missing From") << int(Main) << postGroup << ""
                                  << "<refused.3@quorbic.test>" << 441 << "441 Missing required";
}

void TestNewsClientInn::postRefused()
{
    QFETCH(int, listener);
    QFETCH(QString, group);
    QFETCH(QString, address);
    QFETCH(QString, msgId);
    QFETCH(int, code);
    QFETCH(QString, replyStart);

    NntpMessage message;
    message.subject = QStringLiteral("Refused");
    message.from.address = address;
    message.newsGroups = {group};
    message.msgId = msgId;
    message.body = {QStringLiteral("text")};
    NewsClient client;
    client.setSettings(direct(Listener(listener)));
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.post(message);
    });
    QCOMPARE(failure.kind, QStringLiteral("ReplyError"));
    QCOMPARE(failure.number, code);
    QVERIFY2(failure.text.startsWith(replyStart), qPrintable(failure.text));
    QCOMPARE(failure.text, client.replyLine());
    QVERIFY(client.connected());
}

void TestNewsClientInn::sessionThroughProxy_data()
{
    QTest::addColumn<QString>("host");
    // The name goes to the proxy unresolved.
    QTest::newRow("server by name") << QStringLiteral("localhost");
    QTest::newRow("server by address") << QStringLiteral("127.0.0.1");
}

void TestNewsClientInn::sessionThroughProxy()
{
    QFETCH(QString, host);

    NewsClient client;
    client.setSettings(viaProxy(host, m_inn->port()));
    int listed = 0;
    client.setOnNewsgroupList([&](const QString &, quint32, quint32, const QString &, bool &continueListing) {
        continueListing = ++listed < 10;
    });
    NntpMessage message;
    message.subject = QStringLiteral("Through the proxy");
    message.from = {QStringLiteral("Proxy Poster"), QStringLiteral("poster@test.invalid")};
    message.newsGroups = {postGroup};
    message.msgId = rowMessageId("proxy");
    message.body = {QStringLiteral("sent through SOCKS 5")};

    bool found = false;
    QList<QByteArray> overview;
    NntpMessage fetched;
    bool fetchedBody = false;
    const ClientFailure failure = failureOf([&] {
        client.connect();
        client.post(message);
        client.selectGroup(postGroup);
        found = client.stat(message.msgId.mid(1, message.msgId.size() - 2));
        // The article just posted is the group's last.
        overview = client.overview(QString::number(client.groupFigures().high) + '-');
        fetchedBody = client.body(client.groupFigures().high, fetched);
        client.newsgroupList();
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(client.greetingState(), GreetingState::CanPost);
    QVERIFY(found);
    QCOMPARE(client.statMessageId(), message.msgId);
    QCOMPARE(overview.size(), 1);
    QCOMPARE(ParseOverviewLine(overview.first()).messageId, message.msgId);
    QVERIFY(fetchedBody);
    QCOMPARE(fetched.fetchedText(), QByteArray("sent through SOCKS 5\r\n"));
    QCOMPARE(listed, 10);
    client.disconnect();
    QVERIFY(!client.connected());
}

void TestNewsClientInn::connectFailures_data()
{
    QTest::addColumn<NewsClientSettings>("settings");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number"); // the socket error number, for SocketError
    QTest::addColumn<QString>("text");

    const quint16 closedPort = pickFreePort();
    NewsClientSettings wrongPassword = viaProxy(m_inn->host(), m_inn->port());
    wrongPassword.SocksInfo.Password = QStringLiteral("wrong");
    NewsClientSettings unknownUser = viaProxy(m_inn->host(), m_inn->port());
    unknownUser.SocksInfo.UserID = QStringLiteral("nobody");
    NewsClientSettings proxyDown = viaProxy(m_inn->host(), m_inn->port());
    proxyDown.SocksInfo.Port = closedPort;
    NewsClientSettings unresolvable = direct(Main);
    unresolvable.Host = QStringLiteral("nosuchhost.invalid");
    NewsClientSettings closed = direct(Main);
    closed.Port = closedPort;

    QTest::newRow("proxy refuses the password")
        << wrongPassword << "ClientError" << 0 << "Authentication error to socks server.";
    QTest::newRow("proxy refuses the user")
        << unknownUser << "ClientError" << 0 << "Authentication error to socks server.";
    QTest::newRow("proxy cannot reach the news port")
        << viaProxy(m_inn->host(), closedPort) << "ClientError" << 0 << "Connection refused.";
    QTest::newRow("proxy cannot resolve the news host")
        << viaProxy(QStringLiteral("nosuchhost.invalid"), 119) << "ClientError" << 0 << "General SOCKS server failure.";
    QTest::newRow("proxy not listening") << proxyDown << "SocketError" << ECONNREFUSED << "";
    QTest::newRow("host name that does not resolve") << unresolvable << "SocketError" << HostNotFoundErrorNumber << "";
    QTest::newRow("news port closed") << closed << "SocketError" << ECONNREFUSED << "";
}

void TestNewsClientInn::connectFailures()
{
    QFETCH(NewsClientSettings, settings);
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, text);

    NewsClient client;
    client.setSettings(settings);
    const ClientFailure failure = failureOf([&] { client.connect(); });
    QCOMPARE(failure.kind, kind);
    if (kind == QLatin1String("SocketError")) {
        QCOMPARE(failure.number, number);
        const QString head = QStringLiteral("Socket Error # %1\n").arg(number);
        QVERIFY2(failure.text.startsWith(head) && failure.text.size() > head.size(), qPrintable(failure.text));
    } else {
        QCOMPARE(failure.text, text);
    }
    QVERIFY(!client.connected());
}

QTEST_GUILESS_MAIN(TestNewsClientInn)
#include "tst_newsclient_inn.moc"
