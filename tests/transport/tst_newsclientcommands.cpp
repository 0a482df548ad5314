// The news client's commands against a scripted server: each command exactly
// as sent, the replies it accepts, what it takes from them, and data blocks
// that arrive whole, cut short or not at all.

#include "newsclienttesting.h"

#include "transport/nntpmessage.h"

#include <QTest>

using namespace NewsClientTesting;

namespace {

struct ListCall
{
    QString name;
    quint64 low;
    quint64 high;
    QString status;
    bool operator==(const ListCall &) const = default;
};

NntpMessage question()
{
    NntpMessage message;
    message.subject = QStringLiteral("Which newsreader?");
    message.from = {QStringLiteral("Joe User"), QStringLiteral("joe@example.com")};
    message.newsGroups = {QStringLiteral("quorbic.test")};
    message.msgId = QStringLiteral("<0A1B2C3D.4E5F.6A7B@8C9D.0E1F2A3B4C5D>");
    message.date = QDateTime(QDate(2024, 3, 5), QTime(14, 3, 0));
    message.body
        = {QStringLiteral("First line"), QStringLiteral(".starts with a dot"), QString(), QStringLiteral("last")};
    return message;
}

// The script lines that expect the article of message, as POST sends it.
QString articleExpected(const NntpMessage &message)
{
    QString script;
    for (const QByteArray &line : message.postLines(QStringLiteral("Quorbic 1.0")))
        script += QStringLiteral("C: ") + QString::fromUtf8(line) + QLatin1Char('\n');
    return script + QStringLiteral("C: .\n");
}

} // namespace

Q_DECLARE_METATYPE(QList<ListCall>)

class tst_NewsClientCommands : public QObject
{
    Q_OBJECT

private slots:
    void selectGroup_data();
    void selectGroup();
    void stat_data();
    void stat();
    void overview_data();
    void overview();
    void xref_data();
    void xref();
    void newsgroupDescriptions_data();
    void newsgroupDescriptions();
    void body_data();
    void body();
    void requestedBody_data();
    void requestedBody();
    void newsgroupList_data();
    void newsgroupList();
    void newsgroupListWithoutHandler();
    void sizeLimits_data();
    void sizeLimits();
    void post_data();
    void post();
    void lineBreaksRefusedBeforeSending_data();
    void lineBreaksRefusedBeforeSending();
};

void tst_NewsClientCommands::selectGroup_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<quint64>("count");
    QTest::addColumn<quint64>("low");
    QTest::addColumn<quint64>("high");
    using N = quint64;

    const QString unreadable = QStringLiteral("ClientError: The server sent an article number that cannot be read: ");
    QTest::newRow("figures") << "211 1234 3000000000 4000000000 misc.test" << QString() << N(1234) << N(3000000000)
                             << N(4000000000);
    QTest::newRow("runs of blanks") << "211  5   1    5 misc.test" << QString() << N(5) << N(1) << N(5);
    QTest::newRow("empty group") << "211 0 1 0 misc.test" << QString() << N(0) << N(1) << N(0);
    QTest::newRow("beyond 32 bits") << "211 4294967296 4294967297 9000000000000 misc.test" << QString() << N(4294967296)
                                    << N(4294967297) << N(9000000000000);
    // A figure that cannot be read fails the reply; the figures before stay.
    QTest::newRow("a field that is not a number")
        << "211 many 1 5 misc.test" << unreadable + "211 many 1 5 misc.test" << N(7) << N(8) << N(9);
    QTest::newRow("a signed number") << "211 5 -1 5 misc.test" << unreadable + "211 5 -1 5 misc.test" << N(7) << N(8)
                                     << N(9);
    QTest::newRow("beyond 64 bits") << "211 5 1 18446744073709551616 misc.test"
                                    << unreadable + "211 5 1 18446744073709551616 misc.test" << N(7) << N(8) << N(9);
    QTest::newRow("no figures") << "211" << unreadable + "211" << N(7) << N(8) << N(9);
    QTest::newRow("no such group") << "411 no such group"
                                   << "ReplyError 411: 411 no such group" << N(7) << N(8) << N(9);
}

void tst_NewsClientCommands::selectGroup()
{
    QFETCH(QString, reply);
    QFETCH(QString, failure);
    QFETCH(quint64, count);
    QFETCH(quint64, low);
    QFETCH(quint64, high);

    FakeNewsServer server;
    server.addScript(Opening + "C: Group earlier\nS: 211 7 8 9 earlier\nC: Group misc.test\nS: " + reply + "\n"
                     + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    client.selectGroup(QStringLiteral("earlier"));
    QCOMPARE(failureOf([&] { client.selectGroup(QStringLiteral("misc.test")); }), failure);
    QCOMPARE(client.groupFigures().count, count);
    QCOMPARE(client.groupFigures().low, low);
    QCOMPARE(client.groupFigures().high, high);
    QCOMPARE(client.replyLine(), reply);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::stat_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<quint64>("msgNo");
    QTest::addColumn<QString>("messageId");
    using N = quint64;

    // Before each row an earlier STAT has set 11 and <old@x>.
    QTest::newRow("223 found") << "223 4711 <q@x> status" << true << QString() << N(4711) << "<q@x>";
    QTest::newRow("220 found") << "220 12 <q@x>" << true << QString() << N(12) << "<q@x>";
    QTest::newRow("found beyond 32 bits") << "223 4294967296 <q@x>" << true << QString() << N(4294967296) << "<q@x>";
    QTest::newRow("found, number unreadable")
        << "223 abc <q@x>" << false
        << "ClientError: The server sent an article number that cannot be read: 223 abc <q@x>" << N(11) << "<old@x>";
    QTest::newRow("430 no such article") << "430 no such article" << false << QString() << N(11) << "<old@x>";
    QTest::newRow("423 not in group") << "423 no" << false << QString() << N(11) << "<old@x>";
    QTest::newRow("421 no next") << "421 no" << false << QString() << N(11) << "<old@x>";
    QTest::newRow("422 no previous") << "422 no" << false << QString() << N(11) << "<old@x>";
    QTest::newRow("412 no group selected")
        << "412 no group" << false << "ClientError: 412 no group" << N(11) << "<old@x>";
    QTest::newRow("500 unknown command") << "500 what" << false << "ClientError: 500 what" << N(11) << "<old@x>";
}

void tst_NewsClientCommands::stat()
{
    QFETCH(QString, reply);
    QFETCH(bool, found);
    QFETCH(QString, failure);
    QFETCH(quint64, msgNo);
    QFETCH(QString, messageId);

    FakeNewsServer server;
    server.addScript(Opening + "C: Stat <old@x>\nS: 223 11 <old@x>\nC: Stat <q@x>\nS: " + reply + "\n" + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QVERIFY(client.stat(QStringLiteral("old@x")));
    bool result = !found;
    QCOMPARE(failureOf([&] { result = client.stat(QStringLiteral("q@x")); }), failure);
    if (failure.isEmpty())
        QCOMPARE(result, found);
    QCOMPARE(client.msgNo(), msgNo);
    QCOMPARE(client.statMessageId(), messageId);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::overview_data()
{
    QTest::addColumn<QString>("replies");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("failure");

    QTest::newRow("lines, dot-unstuffed")
        << "S: 224 overview follows\nS: 10\tHello\tjoe\t\t<a@b>\t\t5\t1\nS: ..hidden\nS: .\n" + Closing
        << QList<QByteArray>{"10\tHello\tjoe\t\t<a@b>\t\t5\t1", ".hidden"} << QString();
    QTest::newRow("no articles") << "S: 224 overview follows\nS: .\n" + Closing << QList<QByteArray>{} << QString();
    QTest::newRow("leafnode past the end: 420 is empty")
        << "S: 420 No articles in specified range.\n" + Closing << QList<QByteArray>{} << QString();
    QTest::newRow("RFC 3977 past the end: 423 is empty")
        << "S: 423 No articles in that range\n" + Closing << QList<QByteArray>{} << QString();
    QTest::newRow("no group selected") << "S: 412 no newsgroup selected\n" + Closing << QList<QByteArray>{}
                                       << "ReplyError 412: 412 no newsgroup selected";
    QTest::newRow("dropped before the end") << QStringLiteral("S: 224 overview follows\nS: 10\tHello\n* close")
                                            << QList<QByteArray>{} << "ConnectionClosed: Connection Closed Gracefully.";
}

void tst_NewsClientCommands::xref_data()
{
    QTest::addColumn<QString>("replies"); // from XHDR on
    QTest::addColumn<QByteArray>("xref");

    QTest::newRow("INN's XHDR") << "C: XHDR Xref <q@x>\nS: 221 Xref matches follow (ID)\n"
                                   "S: <q@x> news.example.com sci.physics:12 comp.lang.c:329\nS: .\n"
                                << QByteArray("news.example.com sci.physics:12 comp.lang.c:329");
    QTest::newRow("no Xref") << "C: XHDR Xref <q@x>\nS: 221 Xref matches follow\nS: <q@x> (none)\nS: .\n"
                             << QByteArray();
    QTest::newRow("not there: no HEAD") << "C: XHDR Xref <q@x>\nS: 430 No such article\n" << QByteArray();
    QTest::newRow("no XHDR: the Xref of HEAD, folded")
        << "C: XHDR Xref <q@x>\nS: 500 What?\nC: Head <q@x>\nS: 221 0 <q@x>\nS: Path: a!b\n"
           "S: XREF: sn.example.org comp.lang.c:88\nS: \tsci.physics:4\nS: Subject: s\nS: .\n"
        << QByteArray("sn.example.org comp.lang.c:88 sci.physics:4");
    QTest::newRow("HEAD refused too") << "C: XHDR Xref <q@x>\nS: 500 What?\nC: Head <q@x>\nS: 500 What?\n"
                                      << QByteArray();
}

void tst_NewsClientCommands::xref()
{
    QFETCH(QString, replies);
    QFETCH(QByteArray, xref);

    FakeNewsServer server;
    server.addScript(Opening + replies + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QByteArray received;
    QCOMPARE(failureOf([&] { received = client.xref(QStringLiteral("<q@x>")); }), QString());
    QCOMPARE(received, xref);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::newsgroupDescriptions_data()
{
    QTest::addColumn<QString>("replies"); // from LIST NEWSGROUPS on
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QStringList>("lines"); // "name|description"

    QTest::newRow("INN and leafnode: a tab")
        << "S: 215 Descriptions in form \"group description\".\nS: comp.lang.c\tDiscussion about C.\n"
           "S: sci.physics\t\tPhysical laws, properties, etc.\nS: .\n"
        << true << QStringList{"comp.lang.c|Discussion about C.", "sci.physics|Physical laws, properties, etc."};
    QTest::newRow("sn: blanks, and a group without one")
        << "S: 215 list follows\nS: comp.lang.c    Discussion about C.\nS: sci.misc\nS: .\n"
        << true << QStringList{"comp.lang.c|Discussion about C.", "sci.misc|"};
    QTest::newRow("refused: names only") << "S: 503 program error, function not performed\n" << false << QStringList{};
}

void tst_NewsClientCommands::newsgroupDescriptions()
{
    QFETCH(QString, replies);
    QFETCH(bool, listed);
    QFETCH(QStringList, lines);

    FakeNewsServer server;
    server.addScript(Opening + "C: LIST NEWSGROUPS\n" + replies + Closing);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QStringList received;
    bool result = false;
    QCOMPARE(failureOf([&] {
                 result = client.newsgroupDescriptions([&](const QString &name, const QString &text, bool &) {
                     received << name + QLatin1Char('|') + text;
                 });
             }),
             QString());
    QCOMPARE(result, listed);
    QCOMPARE(received, lines);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::overview()
{
    QFETCH(QString, replies);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, failure);

    FakeNewsServer server;
    server.addScript(Opening + "C: xover 10-\n" + replies);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QList<QByteArray> received;
    QCOMPARE(failureOf([&] { received = client.overview(QStringLiteral("10-")); }), failure);
    QCOMPARE(received, lines);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::body_data()
{
    QTest::addColumn<QString>("replies");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QByteArray>("text");

    const QByteArray before("earlier body\r\n");
    QTest::newRow("222 body") << "S: 222 42 <a@b> body\nS: Hello\nS:\nS: ..signature\nS: .\n" + Closing << true
                              << QString() << QByteArray("Hello\r\n\r\n.signature\r\n");
    QTest::newRow("empty body") << "S: 222 42 <a@b> body\nS: .\n" + Closing << true << QString() << QByteArray();
    QTest::newRow("423 missing, nothing read") << "S: 423 no such article\n" + Closing << false << QString() << before;
    QTest::newRow("430 missing") << "S: 430 no\n" + Closing << false << QString() << before;
    QTest::newRow("other code") << "S: 412 no group selected\n" + Closing << false
                                << "ClientError: 412 no group selected" << before;
    QTest::newRow("dropped in the middle keeps the message")
        << QStringLiteral("S: 222 42 <a@b> body\nS: Hello\n* close") << false
        << "ConnectionClosed: Connection Closed Gracefully." << before;
}

void tst_NewsClientCommands::body()
{
    QFETCH(QString, replies);
    QFETCH(bool, found);
    QFETCH(QString, failure);
    QFETCH(QByteArray, text);

    FakeNewsServer server;
    server.addScript(Opening + "C: Body 42\n" + replies);
    NewsClient client;
    pointAt(client, server);
    client.connect();
    NntpMessage message;
    message.setFetchedBody({"earlier body"});
    bool result = !found;
    QCOMPARE(failureOf([&] { result = client.body(42, message); }), failure);
    if (failure.isEmpty())
        QCOMPARE(result, found);
    QCOMPARE(message.fetchedText(), text);
    QCOMPARE(message.partCount(), 1);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::requestedBody_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<quint32>>("ahead"); // asked for with requestBody, in this order
    QTest::addColumn<QString>("then"); // what the client does next
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint32>("groupCount");

    const QString hello = QStringLiteral("S: 222 42 <a@b> body\nS: Hello\nS: .\n");
    const QString world = QStringLiteral("S: 222 43 <c@d>\nS: World\nS: .\n");
    const QList<quint32> one{42};
    const QList<quint32> two{42, 43};
    QTest::newRow("read by body() of that number") << QString() << one << "body 42"
                                                   << "C: Body 42\n" + hello << QByteArray("Hello\r\n") << 0u;
    QTest::newRow("dropped by a body not asked for")
        << QString() << one << "body 43"
        << "C: Body 42\n" + hello + "C: Body 43\n" + world << QByteArray("World\r\n") << 0u;
    QTest::newRow("two due, the first dropped by body() of the second")
        << QString() << two << "body 43"
        << "C: Body 42\nC: Body 43\n" + hello + world << QByteArray("World\r\n") << 0u;
    QTest::newRow("dropped by another command")
        << QString() << two << "group"
        << "C: Body 42\nC: Body 43\n" + hello + world + "C: Group g\nS: 211 7 1 7 g\n"
        << QByteArray() << 7u;
    QTest::newRow("missing article dropped") << QString() << one << "group"
                                             << "C: Body 42\nS: 430 no\nC: Group g\nS: 211 7 1 7 g\n"
                                             << QByteArray() << 7u;
    QTest::newRow("login asked for, then asked again")
        << "u" << two << "body 42"
        << "C: Body 42\nC: Body 43\nS: 480 login first\nS: 480 login first\nC: AuthInfo User u\nS: 381 more\n"
           "C: AuthInfo Pass p\nS: 281 ok\nC: Body 42\n"
            + hello
        << QByteArray("Hello\r\n") << 0u;
}

void tst_NewsClientCommands::requestedBody()
{
    QFETCH(QString, user);
    QFETCH(QList<quint32>, ahead);
    QFETCH(QString, then);
    QFETCH(QString, script);
    QFETCH(QByteArray, text);
    QFETCH(quint32, groupCount);

    FakeNewsServer server;
    server.addScript(Opening + script + Closing);
    NewsClient client;
    pointAt(client, server, user, user.isEmpty() ? QString() : QStringLiteral("p"));
    client.connect();
    for (quint32 number : ahead)
        client.requestBody(number);
    NntpMessage message;
    if (then == QLatin1String("group")) {
        client.selectGroup(QStringLiteral("g"));
    } else {
        QVERIFY(client.body(then.mid(5).toUInt(), message));
    }
    QCOMPARE(message.fetchedText(), text);
    QCOMPARE(client.groupFigures().count, groupCount);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::newsgroupList_data()
{
    QTest::addColumn<QString>("replies");
    QTest::addColumn<int>("stopAfter"); // 0: never stop
    QTest::addColumn<QList<ListCall>>("calls");
    QTest::addColumn<QString>("failure");

    const QString list = QStringLiteral("S: 215 list follows\n"
                                        "S: comp.lang.c 0000012345 0000000100 y\n"
                                        "S: alt.test   20  3   m  moderated note\n"
                                        "S: ..dotted.group 1 1 y\n"
                                        "S: .\n");
    const ListCall c1{"comp.lang.c", 100, 12345, "y"};
    const ListCall c2{"alt.test", 3, 20, "m moderated note"};
    const ListCall c3{".dotted.group", 1, 1, "y"};
    QTest::newRow("whole list") << list + Closing << 0 << QList<ListCall>{c1, c2, c3} << QString();
    QTest::newRow("stopped after the first line, rest unread")
        << list + Closing << 1 << QList<ListCall>{c1} << QString();
    QTest::newRow("stopped at the last line") << list + Closing << 3 << QList<ListCall>{c1, c2, c3} << QString();
    QTest::newRow("empty list") << "S: 215 list follows\nS: .\n" + Closing << 0 << QList<ListCall>{} << QString();
    QTest::newRow("blank line names no group") << "S: 215 list follows\nS:\nS: a 2 1 y\nS: .\n" + Closing << 0
                                               << QList<ListCall>{{"a", 1, 2, "y"}} << QString();
    QTest::newRow("numbers beyond 32 bits")
        << "S: 215 list follows\nS: comp.lang.c 9000000000000 4294967296 y\nS: .\n" + Closing << 0
        << QList<ListCall>{{"comp.lang.c", 4294967296, 9000000000000, "y"}} << QString();
    // A line whose numbers cannot be read names nothing the list can trust.
    QTest::newRow("lines with unreadable numbers are skipped")
        << "S: 215 list follows\nS: a.one x 1 y\nS: a.two 2 -1 y\nS: a.three\nS: a.four 2 1 y\nS: .\n" + Closing << 0
        << QList<ListCall>{{"a.four", 1, 2, "y"}} << QString();
    QTest::newRow("refused") << "S: 502 no permission\n" + Closing << 0 << QList<ListCall>{}
                             << "ReplyError 502: 502 no permission";
    QTest::newRow("dropped before the end is not a shorter list")
        << QStringLiteral("S: 215 list follows\nS: comp.lang.c 0000012345 0000000100 y\n* close") << 0
        << QList<ListCall>{c1} << "ConnectionClosed: Connection Closed Gracefully.";
}

void tst_NewsClientCommands::newsgroupList()
{
    QFETCH(QString, replies);
    QFETCH(int, stopAfter);
    QFETCH(QList<ListCall>, calls);
    QFETCH(QString, failure);

    FakeNewsServer server;
    server.addScript(Opening + "C: List\n" + replies);
    NewsClient client;
    pointAt(client, server);
    QList<ListCall> seen;
    client.setOnNewsgroupList([&](const QString &name, quint64 low, quint64 high, const QString &status, bool &go) {
        QVERIFY(go);
        seen.append({name, low, high, status});
        if (seen.size() == stopAfter)
            go = false;
    });
    client.connect();
    QCOMPARE(failureOf([&] { client.newsgroupList(); }), failure);
    QCOMPARE(seen.size(), calls.size());
    for (int i = 0; i < calls.size(); ++i) {
        QCOMPARE(seen.at(i).name, calls.at(i).name);
        QCOMPARE(seen.at(i).low, calls.at(i).low);
        QCOMPARE(seen.at(i).high, calls.at(i).high);
        QCOMPARE(seen.at(i).status, calls.at(i).status);
    }
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::sizeLimits_data()
{
    QTest::addColumn<QString>("command"); // body, overview or list
    QTest::addColumn<QString>("script"); // after the command
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("received"); // body lines, overview lines or list calls

    // Limits of 20 body bytes (lines with their CR LF), 2 overview lines and
    // 2 list lines. After a body over the limit the connection goes on: the
    // rest of the body was read and thrown away.
    const QString threeLines = QStringLiteral("S: Hello\nS: World\nS: Again\nS: .\n");
    const QString group = QStringLiteral("C: Group g\nS: 211 1 1 1 g\n");
    QTest::newRow("body at the limit") << "body"
                                       << "S: 222 42 <a@b>\nS: 123456789012345678\nS: .\n" + group << QString() << 1;
    QTest::newRow("body over the limit is skipped")
        << "body"
        << "S: 222 42 <a@b>\n" + threeLines + group
        << "ClientError: The body of article 42 is larger than 20 bytes; it was skipped." << 0;
    QTest::newRow("overview at the limit") << "overview"
                                           << "S: 224 overview\nS: 1\tA\nS: 2\tB\nS: .\n" + group << QString() << 2;
    QTest::newRow("overview over the limit")
        << "overview"
        << "S: 224 overview\n" + threeLines
        << "ClientError: The server sent more than 2 overview lines; the group was not read." << 0;
    QTest::newRow("list at the limit") << "list"
                                       << "S: 215 list\nS: a.b 2 1 y\nS: a.c 2 1 y\nS: .\n" + group << QString() << 2;
    QTest::newRow("list over the limit")
        << "list"
        << "S: 215 list\nS: a.b 2 1 y\nS: a.c 2 1 y\nS: a.d 2 1 y\nS: .\n"
        << "ClientError: The server sent more than 2 list lines; the rest was not read." << 2;
}

void tst_NewsClientCommands::sizeLimits()
{
    QFETCH(QString, command);
    QFETCH(QString, script);
    QFETCH(QString, failure);
    QFETCH(int, received);

    const QString sent = command == QLatin1String("body") ? QStringLiteral("C: Body 42\n")
        : command == QLatin1String("overview")            ? QStringLiteral("C: xover 1-\n")
                                                          : QStringLiteral("C: List\n");
    FakeNewsServer server;
    server.addScript(Opening + sent + script
                     + (failure.isEmpty() || command == QLatin1String("body") ? Closing : QStringLiteral("* stall")));
    NewsClient client;
    pointAt(client, server);
    NewsClientLimits limits = client.limits();
    limits.maxBodyBytes = 20;
    limits.maxOverviewLines = 2;
    limits.maxListLines = 2;
    client.setLimits(limits);
    int calls = 0;
    client.setOnNewsgroupList([&](const QString &, quint64, quint64, const QString &, bool &) { ++calls; });
    client.connect();
    NntpMessage message;
    QCOMPARE(failureOf([&] {
                 if (command == QLatin1String("body")) {
                     client.body(42, message);
                     calls = int(message.partCount() ? message.fetchedText().count('\n') : 0);
                 } else if (command == QLatin1String("overview")) {
                     calls = int(client.overview(QStringLiteral("1-")).size());
                 } else {
                     client.newsgroupList();
                 }
             }),
             failure);
    QCOMPARE(calls, received);
    if (failure.isEmpty() || command == QLatin1String("body"))
        client.selectGroup(QStringLiteral("g"));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::newsgroupListWithoutHandler()
{
    FakeNewsServer server;
    server.addScript(Opening + Closing); // "List" must not be sent
    NewsClient client;
    pointAt(client, server);
    client.connect();
    QCOMPARE(failureOf([&] { client.newsgroupList(); }),
             QStringLiteral("ClientError: No OnNewsgroupList event has been defined."));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::post_data()
{
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QString>("failure");

    const QString article = articleExpected(question());
    QTest::newRow("340 then 240") << "C: Post\nS: 340 send article\n" + article + "S: 240 article posted\n"
                                  << QString();
    QTest::newRow("login asked for by Post")
        << "C: Post\nS: 480 login\nC: AuthInfo User joe\nS: 381 pass\nC: AuthInfo Pass pw\nS: 281 ok\n"
           "C: Post\nS: 340 send article\n"
            + article + "S: 240 article posted\n"
        << QString();
    QTest::newRow("posting not allowed: no article sent")
        << QStringLiteral("C: Post\nS: 440 posting not allowed\n") << "ReplyError 440: 440 posting not allowed";
    QTest::newRow("article refused") << "C: Post\nS: 340 send article\n" + article + "S: 441 435 Duplicate\n"
                                     << "ReplyError 441: 441 435 Duplicate";
    QTest::newRow("dropped after the article") << "C: Post\nS: 340 send article\n" + article + "* close"
                                               << "ConnectionClosed: Connection Closed Gracefully.";
}

void tst_NewsClientCommands::post()
{
    QFETCH(QString, exchange);
    QFETCH(QString, failure);

    FakeNewsServer server;
    const bool dropped = exchange.endsWith(QLatin1String("* close"));
    server.addScript(Opening + exchange + (dropped ? QString() : Closing));
    NewsClient client;
    pointAt(client, server, QStringLiteral("joe"), QStringLiteral("pw"));
    client.connect();
    QCOMPARE(failureOf([&] { client.post(question()); }), failure);
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

void tst_NewsClientCommands::lineBreaksRefusedBeforeSending_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("exchange"); // what the server sees before the client quits

    QTest::newRow("group name with CR LF") << "group"
                                           << "misc.test\r\nPost" << QString();
    QTest::newRow("group name with LF") << "group"
                                        << "misc.test\nQuit" << QString();
    QTest::newRow("message-id with CR") << "stat"
                                        << "a@b>\rGroup x" << QString();
    QTest::newRow("overview range with LF") << "overview"
                                            << "1-\nList" << QString();
    QTest::newRow("login with LF") << "login"
                                   << "joe\nPost" << QStringLiteral("C: Group g\nS: 480 login\n");
    QTest::newRow("password with CR LF") << "password"
                                         << "pw\r\nPost"
                                         << QStringLiteral(
                                                "C: Group g\nS: 480 login\nC: AuthInfo User joe\nS: 381 pass\n");
}

// A line break would end the command early and run the rest as a command of
// its own; such a command is refused before anything is sent.
void tst_NewsClientCommands::lineBreaksRefusedBeforeSending()
{
    QFETCH(QString, operation);
    QFETCH(QString, text);
    QFETCH(QString, exchange);

    FakeNewsServer server;
    server.addScript(Opening + exchange + Closing);
    NewsClient client;
    pointAt(client, server, operation == QLatin1String("login") ? text : QStringLiteral("joe"),
            operation == QLatin1String("password") ? text : QStringLiteral("pw"));
    client.connect();
    const QString failure = failureOf([&] {
        if (operation == QLatin1String("group"))
            client.selectGroup(text);
        else if (operation == QLatin1String("stat"))
            client.stat(text);
        else if (operation == QLatin1String("overview"))
            client.overview(text);
        else
            client.selectGroup(QStringLiteral("g"));
    });
    QVERIFY2(failure.startsWith(QLatin1String("ClientError: ")), qPrintable(failure));
    client.disconnect();
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));
}

QTEST_GUILESS_MAIN(tst_NewsClientCommands)
#include "tst_newsclientcommands.moc"
