// Faults on the wire against the three runs that go on line: posting, retrieval
// and the newsgroup list loader, each against a scripted news server (or SOCKS 5
// proxy) that drops the connection at each point of an exchange, stalls,
// pauses or refuses in its greeting, sends a line over the client's limit or
// bytes that are no reply at all.
//
// For every fault: the run shows the box or result text that kind of failure
// gets and returns; the store holds exactly what the server confirmed, with
// nothing half made; and a second run against a healthy server completes the
// work without doing anything twice.

#include "exchange/listloader.h"
#include "exchange/newsaccess.h"
#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "store/dmod.h"
#include "store/storeerror.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/exchange/listloadfixture.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/scratchstore.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"

#include <QSqlQuery>
#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

// The news server's name when the store reaches it through the proxy.
const QString kProxiedHost = "news.invalid";
constexpr int kProxiedPort = 119;
// Short enough that a stall costs little; only the faulty connection gets it.
constexpr int kShortIdleMs = 300;

const QString kBrokeOff = "The server broke off the connection";
const QString kClosed = "Connection Closed Gracefully.";
const QString kRefused = "Connection explicitly refused by NNTP server.";
const QString kPaused = " The news service is temporarily unavailable.";
const QString kOverlong = "The server sent a line longer than 1048576 bytes.";
const QString kUnhandled = "Quorbic | Unhandled error: ";

QString timedOut()
{
    return SocketError(ETIMEDOUT).text();
}

QString serverSays(const QString &line)
{
    return "S: " + line;
}

QString clientSays(const QString &line)
{
    return "C: " + line;
}

const QString kQuit = clientSays("Quit");
const QString kDropped = "* drop"; // the server goes, whatever the client is sending
const QString kClose = "* close"; // the server closes after its last words
const QString kStall = "* stall";

// Greeting and reader mode.
QStringList opening(const QString &greeting = "200 news.test ready (posting ok)")
{
    return {serverSays(greeting), clientSays("mode reader"), serverSays(greeting)};
}

// Bytes that are no reply: NULs, 0xFF and other high bytes, and no line end.
QString garbage()
{
    return FakeNewsServer::sendBytesLine(QByteArray::fromHex("00ff00fffe80ff0001ff"));
}

// One line just over the client's 1 MiB limit.
QString overlongLine(const QString &start = {})
{
    return serverSays(start + QString(NewsClientLimits().maxLineLength + 1 - start.size(), QLatin1Char('x')));
}

QString bytes(const char *hex, bool fromClient = false)
{
    const QByteArray data = QByteArray::fromHex(hex);
    return fromClient ? FakeNewsServer::expectBytesLine(data) : FakeNewsServer::sendBytesLine(data);
}

// The SOCKS 5 exchange up to the connect request: the program always offers
// user name and password, here both empty, which the proxy accepts.
QStringList socksRequest()
{
    const QByteArray name = kProxiedHost.toLatin1();
    return {bytes("050102", true), bytes("0502"), bytes("010000", true), bytes("0100"),
            FakeNewsServer::expectBytesLine(QByteArray::fromHex("05010003") + char(name.size()) + name
                                            + char(kProxiedPort >> 8) + char(kProxiedPort & 0xff))};
}

// A healthy connection's start: through the proxy (granted, bound to an IPv4
// address) or straight to the server.
QStringList tunnel(bool viaProxy)
{
    return viaProxy ? socksRequest() << bytes("050000017f0000010077") : QStringList{};
}

// A proxy that answers wrongly, the same for every run.
struct SocksFault
{
    const char *name;
    QStringList script;
    QString text;
};

QList<SocksFault> socksFaults()
{
    return {{"proxy: short reply to the connect request", socksRequest() << bytes("050000") << kClose,
             "Socks server did not respond."},
            // A SOCKS 4 proxy's "granted" (version 0, code 90).
            {"proxy: wrong version (a SOCKS 4 answer)",
             {bytes("050102", true), bytes("005a"), "* closed"},
             "Invalid socks authentication method."},
            {"proxy: failure code (connection refused)", socksRequest() << bytes("05050001000000000000") << "* closed",
             "Connection refused."},
            {"proxy: bad address type", socksRequest() << bytes("05000007000000000077") << "* closed",
             "Unknown socks error."}};
}

QString boxTitle(bool viaProxy)
{
    return "News Server " + (viaProxy ? kProxiedHost : "127.0.0.1") + " | ";
}

// A scratch store whose server 1 is the fake (or the fake as proxy), opened
// by a data module; what every run's test needs around it.
struct Online
{
    void open(bool viaProxy, const QString &sql)
    {
        store.exec((viaProxy ? fill::proxiedServer(1, kProxiedHost, kProxiedPort, news.host(), news.port(), {}, {})
                             : fill::server(1, news.host(), news.port()))
                   + sql + QStringLiteral("DROP TABLE ArticleHeader;"));
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        m_serverNaming = viaProxy ? QStringLiteral("News Server %1:%2: ").arg(kProxiedHost).arg(kProxiedPort)
                                  : QStringLiteral("News Server %1:%2: ").arg(news.host()).arg(news.port());
    }

    // The expected texts with "%server" as a connection failure names server 1.
    QString named(QString text) const { return text.replace(QStringLiteral("%server"), m_serverNaming); }
    QStringList named(QStringList texts) const
    {
        for (QString &text : texts)
            text = named(text);
        return texts;
    }

    void setIdleLimit(int ms)
    {
        NewsClientLimits limits = NewsAccess::of(*dm).client().limits();
        limits.idleTimeoutMs = ms;
        NewsAccess::of(*dm).client().setLimits(limits);
    }

    // A fault that stalls gets the short idle limit. When healthy connections
    // come first, it is set once they have been served, so that a busy
    // machine cannot time one of them out.
    void limitStall(const QStringList &fault, int healthyBefore)
    {
        if (!fault.contains(kStall))
            return;
        if (healthyBefore == 0)
            return setIdleLimit(kShortIdleMs);
        ui.onProcessEvents = [this, healthyBefore](int) {
            if (news.connectionCount() >= healthyBefore)
                setIdleLimit(kShortIdleMs);
        };
    }

    // Before the second run: the normal limit, no boxes.
    void again()
    {
        setIdleLimit(NewsClientLimits().idleTimeoutMs);
        ui.onProcessEvents = nullptr;
        ui.boxes.clear();
    }

    // "title | text" of every box shown; a box without the error icon says so.
    QStringList errorBoxes() const
    {
        QStringList texts = ui.boxTexts();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (ui.boxes.at(i).icon != RunUi::Icon::Error)
                texts[i].prepend("(not an error icon) ");
        }
        return texts;
    }

    QString integrity() const { return store.rows("PRAGMA integrity_check").join(';'); }

    FakeNewsServer news;
    // Without the answer headers' table (dropped in open()) retrieval fetches
    // bodies (BODY), as the scripts below expect; ARTICLE is read by the same
    // code. The other added tables (scan marks) are there.
    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    QString m_serverNaming;
};

// ---- posting: question 5 goes to a.grp, b.grp and c.grp, all on server 1 ----

const QDateTime kDate(QDate(2024, 3, 5), QTime(14, 3, 0));
const QStringList kGroups{"a.grp", "b.grp", "c.grp"};

// The Message-ID of the copy for group in run 1 or 2.
QString copyId(const QString &group, int run)
{
    return QStringLiteral("<%1.run%2@test.invalid>").arg(group).arg(run);
}

// From the greeting to the article's closing ".".
QStringList postUpToTheDot(const QString &group, int run)
{
    const NntpMessage article
        = postedArticle("What is X?", "Line one", kDate, "Ann", "ann@test.invalid", {}, group, {}, copyId(group, run));
    QStringList script = opening() << clientSays("Post") << serverSays("340 send article");
    for (const QByteArray &line : article.postLines(NewsClientSettings().NewsAgent))
        script << clientSays(QString::fromUtf8(line));
    return script << clientSays(".");
}

QStringList healthyPost(const QString &group, int run, bool viaProxy)
{
    return tunnel(viaProxy) + postUpToTheDot(group, run) << serverSays("240 article posted ok") << kQuit;
}

struct Posting : Online
{
    explicit Posting(bool viaProxy)
    {
        QString sql = fill::account(1, "Ann", "ann@test.invalid", {}) + fill::category(3, 0, true, "Experts");
        for (int i = 0; i < kGroups.size(); ++i)
            sql += fill::group(i + 1, kGroups.at(i)) + fill::carries(1, i + 1) + fill::groupCategory(i + 1, 3);
        open(viaProxy, sql + fill::question(5, 1, 3, "What is X?", "Line one", 1));
        run = std::make_unique<PostingRun>(*dm, ui, view, folders);
        run->setDialUpCheck([] { return true; });
        run->setClock([] { return kDate; });
        // The run names the copy's group in the message before it asks for the ID.
        run->setMessageIdSource(
            [this] { return copyId(NewsAccess::of(*dm).msgNNTP().newsGroups.value(0), runNumber); });
    }

    // Every recorded copy of question 5 as "group|Message-ID", in the order recorded.
    QStringList copies() const
    {
        return store.rows("SELECT g.GroupName, s.MessageId FROM SentArticles s JOIN Groups g ON g.Code = s.GroupId "
                          "WHERE s.ArticleId = 5 ORDER BY s.Code");
    }
    QString question() const { return store.rows("SELECT Folder, Source FROM Article WHERE Code = 5").join(';'); }

    RecordingPostingView view;
    RecordingFolders folders{1};
    std::unique_ptr<PostingRun> run;
    int runNumber = 1;
};

QStringList copiesOf(const QStringList &groups, int run)
{
    QStringList copies;
    for (const QString &group : groups)
        copies << group + '|' + copyId(group, run);
    return copies;
}

// ---- retrieval: question 10 went to g.one as <q1@x> and to g.two as <q2@x> ----

struct Article
{
    int number;
    QString subject;
    QString messageId;
    QString references;
    QString body; // empty: no answer, its body is never asked for
};

const QList<Article> kGroupOne{{2, "A1", "<a1@y>", "<q1@x>", "one"}};
const QList<Article> kGroupTwo{{2, "A2", "<a2@y>", "<q2@x>", "two"},
                               {3, "chatter", "<c@y>", "<other@z>", {}},
                               {4, "A3", "<a3@y>", "<z@z> <q2@x>", "three"}};

const QList<Article> &articlesOf(const QString &group)
{
    return group == QLatin1String("g.one") ? kGroupOne : kGroupTwo;
}

QString overviewLine(const Article &a)
{
    return serverSays(QStringLiteral("%1\t%2\tExpert <ex@test.invalid>\tTue, 5 Mar 2024 14:03:00 -0800\t%3\t%4\t300\t2")
                          .arg(a.number)
                          .arg(a.subject, a.messageId, a.references));
}

// From the greeting to XOVER's 224: GROUP, and the Xref of the group's oldest
// record, which the server numbers 1.
QStringList upToOverview(const QString &group)
{
    const QString oldest = group == QLatin1String("g.one") ? "q1@x" : "q2@x";
    return opening() << clientSays("Group " + group)
                     << serverSays(QStringLiteral("211 %1 1 %1 %2").arg(articlesOf(group).last().number).arg(group))
                     << clientSays("XHDR Xref <" + oldest + '>') << serverSays("221 Xref matches follow")
                     << serverSays('<' + oldest + "> news.test " + group + ":1") << serverSays(".")
                     << clientSays("xover 1-") << serverSays("224 overview follows");
}

QStringList withOverview(const QString &group)
{
    QStringList script = upToOverview(group);
    for (const Article &a : articlesOf(group))
        script << overviewLine(a);
    return script << serverSays(".");
}

QStringList bodyOf(const Article &a)
{
    return {clientSays(QStringLiteral("Body %1").arg(a.number)),
            serverSays(QStringLiteral("222 %1 %2 body").arg(a.number).arg(a.messageId)), serverSays(a.body),
            serverSays(".")};
}

// A whole healthy read of group, fetching the bodies of the answers not yet stored.
QStringList healthyRead(const QString &group, const QStringList &stored, bool viaProxy)
{
    QStringList script = tunnel(viaProxy) + withOverview(group);
    for (const Article &a : articlesOf(group)) {
        if (!a.body.isEmpty() && !stored.contains(a.subject))
            script += bodyOf(a);
    }
    return script << kQuit;
}

// A group read to its end before: GROUP shows nothing after where that read
// ended, and nothing more is asked.
QStringList unchangedRead(const QString &group, bool viaProxy)
{
    return tunnel(viaProxy) + opening()
        << clientSays("Group " + group)
        << serverSays(QStringLiteral("211 %1 1 %1 %2").arg(articlesOf(group).last().number).arg(group)) << kQuit;
}

struct Retrieval : Online
{
    explicit Retrieval(bool viaProxy)
    {
        open(viaProxy,
             fill::group(1, "g.one") + fill::group(2, "g.two") + fill::carries(1, 1) + fill::carries(1, 2)
                 + fill::question(10, 0, 0, "Q", {}, 0, "g.one,g.two") + fill::sent(10, "<q1@x>", {}, 1)
                 + fill::sent(10, "<q2@x>", {}, 2));
        run = std::make_unique<RetrievalRun>(*dm, ui, folders);
        run->setDialUpCheck([] { return true; });
    }

    // Every stored answer with its record, as "subject|body|parent|Message-ID".
    QStringList answers() const
    {
        return store.rows("SELECT a.Subject, a.Body, a.Parent, s.MessageId FROM Article a "
                          "JOIN SentArticles s ON s.ArticleId = a.Code WHERE a.Code > 10 ORDER BY a.Subject");
    }
    // Whatever a broken read could have left half made.
    QStringList halfMade() const
    {
        return store.rows("SELECT 'no body: ' || Subject FROM Article WHERE Code > 10 AND (Body IS NULL OR Body = '') "
                          "UNION ALL SELECT 'no record: ' || Subject FROM Article WHERE Code > 10 "
                          "AND Code NOT IN (SELECT ArticleId FROM SentArticles) "
                          "UNION ALL SELECT 'no article: ' || MessageId FROM SentArticles "
                          "WHERE ArticleId NOT IN (SELECT Code FROM Article)");
    }
    // The count the status bar shows at the end of the run.
    QString count() const { return ui.status0.value(ui.status0.size() - 1); }

    RecordingFolders folders;
    std::unique_ptr<RetrievalRun> run;
};

QStringList answersOf(const QStringList &subjects)
{
    QStringList rows;
    for (const Article &a : kGroupOne + kGroupTwo) {
        if (subjects.contains(a.subject))
            rows << a.subject + '|' + a.body + "\r\n|10|" + a.messageId;
    }
    return rows;
}

QString countText(qsizetype count)
{
    return QString::number(count) + (count == 1 ? " new message" : " new messages");
}

// ---- list loader: server 1 lists a.one, a.two, a.three, a.four; a.two is known ----

const QStringList kListed{"a.one", "a.two", "a.three", "a.four"};

// LIST and as many of its lines.
QStringList listing(qsizetype lines)
{
    QStringList script = opening() << clientSays("List") << serverSays("215 list follows");
    for (const QString &name : kListed.mid(0, lines))
        script << serverSays(name + " 0000000002 0000000001 y");
    return script;
}

const QString kGroupNames = "SELECT GroupName FROM Groups ORDER BY Code";
const QString kLinks = "SELECT g.GroupName || '|' || gs.Server FROM GroupServer gs "
                       "JOIN Groups g ON g.Code = gs.Newsgroup ORDER BY gs.rowid";

// The rows of a one-column query on the data module's own connection: what
// its open transaction holds, committed or not.
QStringList rowsInTransaction(Tdm &dm, const QString &statement)
{
    QStringList rows;
    QSqlQuery query(dm.MainConnection().database());
    if (!query.exec(statement))
        qFatal("wirefaults: %s", qPrintable(statement));
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

QStringList linksOf(const QStringList &names)
{
    QStringList links;
    for (const QString &name : names)
        links << name + "|1";
    return links;
}

} // namespace

class tst_WireFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postingRun_data();
    void postingRun();
    void retrievalRun_data();
    void retrievalRun();
    void listLoader_data();
    void listLoader();
};

void tst_WireFaults::postingRun_data()
{
    QTest::addColumn<bool>("viaProxy");
    QTest::addColumn<QStringList>("fault"); // b.grp's connection in the first run
    QTest::addColumn<int>("outcome"); // of the first run
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("bRow"); // mark | result of b.grp's row
    QTest::addColumn<QString>("cRow"); // "ok | Successful": c.grp's healthy connection followed
    QTest::addColumn<QString>("question"); // Folder|Source after the first run
    QTest::addColumn<QStringList>("reposted"); // the groups the second run posts

    // A failure while connecting fails the group's row, and the run goes on.
    // c.grp is tried again unless the failure keeps the host out of the run.
    const auto connecting = [](const char *name, bool viaProxy, const QStringList &fault, const QStringList &boxes,
                               const QString &result, bool hostFailed) {
        QTest::newRow(name) << viaProxy << fault << int(PostingRun::Outcome::Finished) << boxes << "failed | " + result
                            << QString(hostFailed ? "failed | Error: no server could be reached" : "ok | Successful")
                            << QString(hostFailed ? "0|a.grp" : "0|a.grp,c.grp") << QStringList{};
    };
    // A failure while posting ends the run: the question stays in the Outbox
    // with a.grp's copy recorded, and the next run posts b.grp and c.grp.
    const auto posting = [](const char *name, const QStringList &fault, const QString &box) {
        QTest::newRow(name) << false << fault << int(PostingRun::Outcome::Failed) << QStringList{"Quorbic | " + box}
                            << QString("- | ") << QString("- | ") << QString("1|") << QStringList{"b.grp", "c.grp"};
    };
    const QString direct = boxTitle(false);
    const QString connectionError = " Connection Error: %server";

    connecting("dropped after the greeting", false, {serverSays("200 news.test ready"), kDropped}, {direct + kBrokeOff},
               kBrokeOff, false);
    connecting("greeting never comes (idle limit)", false, {kStall}, {direct + connectionError + timedOut()},
               connectionError + timedOut(), true);
    connecting("greeting 400", false, opening("400 news.test paused") << kQuit, {direct + kPaused}, kPaused, false);
    connecting("greeting 502", false, {serverSays("502 you may not talk"), "* closed"},
               {direct + connectionError + kRefused}, connectionError + kRefused, true);
    connecting("overlong greeting line", false, {overlongLine("200 ")},
               {kUnhandled + kOverlong, direct + ' ' + kOverlong}, ' ' + kOverlong, false);
    for (const SocksFault &socks : socksFaults()) {
        connecting(socks.name, true, socks.script, {kUnhandled + socks.text, boxTitle(true) + ' ' + socks.text},
                   ' ' + socks.text, false);
    }

    posting("stalls after POST (idle limit)", opening() << clientSays("Post") << kStall, errorBoxText(timedOut()));
    posting("dropped after POST's 340", opening() << clientSays("Post") << serverSays("340 send article") << kDropped,
            kClosed);
    // The server may have taken the article: the client cannot know. The copy
    // stays pending; the next run asks the server for it (STAT) and posts it
    // again, with the same Message-ID, only when the server lacks it.
    posting("dropped after the article's dot, before 240", postUpToTheDot("b.grp", 1) << kClose, kClosed);
    posting("binary garbage instead of 240", postUpToTheDot("b.grp", 1) << garbage() << kClose, kClosed);
}

void tst_WireFaults::postingRun()
{
    QFETCH(bool, viaProxy);
    QFETCH(QStringList, fault);
    QFETCH(int, outcome);
    QFETCH(QStringList, boxes);
    QFETCH(QString, bRow);
    QFETCH(QString, cRow);
    QFETCH(QString, question);
    QFETCH(QStringList, reposted);

    Posting p(viaProxy);
    const bool cPosted = cRow == QLatin1String("ok | Successful");
    p.news.addScript(healthyPost("a.grp", 1, viaProxy));
    p.news.addScript(fault);
    if (cPosted)
        p.news.addScript(healthyPost("c.grp", 1, viaProxy));
    p.limitStall(fault, 1);

    QCOMPARE(int(p.run->run()), outcome);
    QVERIFY2(p.news.waitForScripts(), qPrintable(p.news.failure()));
    QCOMPARE(p.errorBoxes(), p.named(boxes));
    QCOMPARE(p.view.lines(),
             (QStringList{"What is X?", "  a.grp | ok | Successful", "  b.grp | " + p.named(bRow),
                          "  c.grp | " + cRow}));
    QCOMPARE(p.view.closeRequests, 0); // an error: the window stays open
    // Exactly the copies that got their 240, each once.
    const QStringList confirmed = cPosted ? QStringList{"a.grp", "c.grp"} : QStringList{"a.grp"};
    QCOMPARE(p.copies(), copiesOf(confirmed, 1));
    // A failure while posting leaves b.grp's copy pending: recorded before it
    // was sent, never confirmed.
    const bool bPending = outcome == int(PostingRun::Outcome::Failed);
    QCOMPARE(p.store.rows("SELECT MessageId FROM SentArticles WHERE GroupId < 0"),
             bPending ? QStringList{copyId("b.grp", 1)} : QStringList{});
    QCOMPARE(p.question(), question);
    QCOMPARE(p.integrity(), QString("ok"));

    // The next run, against a healthy server, posts what was not confirmed,
    // and nothing twice.
    p.again();
    p.runNumber = 2;
    const int connections = p.news.connectionCount();
    // The pending copy is looked for first, and, missing, goes again with
    // the Message-ID of its first run.
    const auto runOf = [bPending](const QString &group) { return bPending && group == "b.grp" ? 1 : 2; };
    QStringList repostedCopies;
    for (const QString &group : reposted) {
        QStringList script = healthyPost(group, runOf(group), viaProxy);
        if (runOf(group) == 1) {
            const qsizetype post = script.indexOf(clientSays("Post"));
            script.insert(post, clientSays("Stat " + copyId(group, 1)));
            script.insert(post + 1, serverSays("430 no such article"));
        }
        p.news.addScript(script);
        repostedCopies += copiesOf({group}, runOf(group));
    }
    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.news.waitForScripts(), qPrintable(p.news.failure()));
    QCOMPARE(p.errorBoxes(), QStringList{});
    QCOMPARE(p.news.connectionCount(), connections + int(reposted.size()));
    QCOMPARE(p.copies(), copiesOf(confirmed, 1) + repostedCopies);
    QCOMPARE(p.store.rows("SELECT MessageId FROM SentArticles WHERE GroupId < 0"), QStringList{});
    QStringList lines;
    if (!reposted.isEmpty()) {
        lines << "What is X?";
        for (const QString &group : kGroups)
            lines << "  " + group + " | ok | Successful"
                    + (reposted.contains(group) ? "" : " (posted in an earlier run)");
    }
    QCOMPARE(p.view.lines(), lines);
    QCOMPARE(p.question(), reposted.isEmpty() ? question : QString("0|a.grp,b.grp,c.grp"));
    QCOMPARE(p.integrity(), QString("ok"));
}

void tst_WireFaults::retrievalRun_data()
{
    QTest::addColumn<bool>("viaProxy");
    QTest::addColumn<QStringList>("fault"); // g.two's connection; g.one's, before it, stores A1
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("stored"); // the answers the first run stores

    const QString direct = boxTitle(false);
    const QString connectionError = "Connection Error: ";
    const QStringList a1{"A1"};
    const QStringList a1a2{"A1", "A2"};

    // Failures while connecting: the group is passed over.
    QTest::newRow("dropped after the greeting")
        << false << QStringList{serverSays("200 news.test ready"), kDropped} << QStringList{direct + kBrokeOff} << a1;
    QTest::newRow("greeting never comes (idle limit)")
        << false << QStringList{kStall} << QStringList{direct + connectionError + timedOut()} << a1;
    QTest::newRow("greeting 400") << false << (opening("400 news.test paused") << kQuit)
                                  << QStringList{direct + kPaused} << a1;
    QTest::newRow("greeting 502") << false << QStringList{serverSays("502 you may not talk"), "* closed"}
                                  << QStringList{direct + connectionError + kRefused} << a1;
    for (const SocksFault &socks : socksFaults()) {
        QTest::newRow(socks.name) << true << socks.script
                                  << QStringList{kUnhandled + socks.text, boxTitle(true) + ' ' + socks.text} << a1;
    }

    // Failures while reading: one box, the group's work ends, what was stored stays.
    const Article &a2 = kGroupTwo.at(0);
    QTest::newRow("stalls after GROUP (idle limit)") << false << (opening() << clientSays("Group g.two") << kStall)
                                                     << QStringList{direct + connectionError + timedOut()} << a1;
    QTest::newRow("binary garbage instead of the GROUP reply")
        << false << (opening() << clientSays("Group g.two") << garbage() << kClose) << QStringList{direct + kBrokeOff}
        << a1;
    QTest::newRow("dropped after XOVER's 224")
        << false << (upToOverview("g.two") << kClose) << QStringList{direct + kBrokeOff} << a1;
    QTest::newRow("dropped in XOVER data")
        << false << (upToOverview("g.two") << overviewLine(a2) << kClose) << QStringList{direct + kBrokeOff} << a1;
    QTest::newRow("overlong line in XOVER data")
        << false << (upToOverview("g.two") << overviewLine(a2) << overlongLine() << kQuit)
        << QStringList{direct + kOverlong} << a1;
    QTest::newRow("dropped after BODY's 222")
        << false << (withOverview("g.two") << clientSays("Body 2") << serverSays("222 2 <a2@y> body") << kClose)
        << QStringList{direct + kBrokeOff} << a1;
    // The whole body came: the answer is stored, though the request for the
    // next body, sent while it is stored, finds the connection gone.
    QTest::newRow("dropped after a whole BODY")
        << false << (withOverview("g.two") + bodyOf(a2) << kDropped) << QStringList{direct + kBrokeOff} << a1a2;
    QTest::newRow("dropped in BODY data")
        << false
        << (withOverview("g.two") + bodyOf(a2)
            << clientSays("Body 4") << serverSays("222 4 <a3@y> body") << serverSays("thr") << kClose)
        << QStringList{direct + kBrokeOff} << a1a2;
}

void tst_WireFaults::retrievalRun()
{
    QFETCH(bool, viaProxy);
    QFETCH(QStringList, fault);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, stored);

    Retrieval r(viaProxy);
    r.news.addScript(healthyRead("g.one", {}, viaProxy));
    r.news.addScript(fault);
    r.limitStall(fault, 1);

    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QVERIFY2(r.news.waitForScripts(), qPrintable(r.news.failure()));
    QCOMPARE(r.errorBoxes(), boxes);
    // Every answer whole, with its body and its record, or not at all.
    QCOMPARE(r.answers(), answersOf(stored));
    QCOMPARE(r.halfMade(), QStringList{});
    // The count, and for a fault the newsgroup it kept unread, with its server.
    QCOMPARE(r.count().section(QLatin1Char(';'), 0, 0), countText(stored.size()));
    if (!boxes.isEmpty())
        QVERIFY2(r.count().contains(QStringLiteral("; 1 newsgroup could not be read (News Server ")),
                 qPrintable(r.count()));
    QCOMPARE(r.integrity(), QString("ok"));

    // The next run stores the rest, fetching only the bodies it lacks.
    r.again();
    r.news.addScript(unchangedRead("g.one", viaProxy));
    r.news.addScript(healthyRead("g.two", stored, viaProxy));
    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QVERIFY2(r.news.waitForScripts(), qPrintable(r.news.failure()));
    QCOMPARE(r.errorBoxes(), QStringList{});
    QCOMPARE(r.answers(), answersOf({"A1", "A2", "A3"}));
    QCOMPARE(r.halfMade(), QStringList{});
    QCOMPARE(r.count(), countText(3 - stored.size()));
    QCOMPARE(r.integrity(), QString("ok"));
}

void tst_WireFaults::listLoader_data()
{
    QTest::addColumn<bool>("viaProxy");
    QTest::addColumn<QStringList>("fault"); // the server's only connection in the first load
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("closedByItself"); // false: the loading window waits for the user
    QTest::addColumn<QStringList>("handled"); // the listed names handled before the fault

    const QString connectionError = "Connection Error | %server";
    const QString standardBox = "Quorbic | ";
    const QStringList none;
    const QStringList firstTwo = kListed.mid(0, 2);

    // Failures while connecting: the "Connection Error" box. The window waits
    // for the user after a socket failure only.
    QTest::newRow("dropped after the greeting") << false << QStringList{serverSays("200 news.test ready"), kDropped}
                                                << QStringList{connectionError + kClosed} << true << none;
    QTest::newRow("greeting never comes (idle limit)")
        << false << QStringList{kStall} << QStringList{connectionError + timedOut()} << false << none;
    // Not a failure: the list is not asked for, and nothing is said.
    QTest::newRow("greeting 400") << false << (opening("400 news.test paused") << kQuit) << none << true << none;
    QTest::newRow("greeting 502") << false << QStringList{serverSays("502 you may not talk"), "* closed"}
                                  << QStringList{connectionError + kRefused} << true << none;
    for (const SocksFault &socks : socksFaults())
        QTest::newRow(socks.name) << true << socks.script << QStringList{connectionError + socks.text} << true << none;

    // A broken list: the standard error box, and the window waits for the user.
    QTest::newRow("binary garbage instead of the LIST reply")
        << false << (opening() << clientSays("List") << garbage() << kClose) << QStringList{standardBox + kClosed}
        << false << none;
    QTest::newRow("dropped in LIST data")
        << false << (listing(2) << kClose) << QStringList{standardBox + kClosed} << false << firstTwo;
    QTest::newRow("stalls in LIST data (idle limit)")
        << false << (listing(2) << kStall) << QStringList{standardBox + errorBoxText(timedOut())} << false << firstTwo;
    QTest::newRow("overlong line in LIST data") << false << (listing(2) << overlongLine() << kQuit)
                                                << QStringList{standardBox + kOverlong} << false << firstTwo;
    QTest::newRow("dropped in LIST NEWSGROUPS data: the names stay")
        << false
        << (listing(4) << serverSays(".") << clientSays("LIST NEWSGROUPS") << serverSays("215 descriptions follow")
                       << serverSays("a.one\tThe first.") << kClose)
        << QStringList{standardBox + kClosed} << false << kListed;
}

void tst_WireFaults::listLoader()
{
    QFETCH(bool, viaProxy);
    QFETCH(QStringList, fault);
    QFETCH(QStringList, boxes);
    QFETCH(bool, closedByItself);
    QFETCH(QStringList, handled);

    Online o;
    o.open(viaProxy, fill::group(1, "a.two"));
    Tdm &dm = *o.dm;
    // Update List in one opening of the newsgroups dialog, which commits as
    // it opens and holds the transaction while it is open.
    const auto updateList = [&](RecordingLoadView &view) {
        dm.commit();
        dm.holdCheckpoints(true);
        NewsgroupListLoader loader(dm, o.ui, view, [] { return true; });
        loader.rememberStoredGroupNames();
        loader.loadAllServers();
    };

    o.news.addScript(fault);
    o.limitStall(fault, 0);
    RecordingLoadView faulty;
    updateList(faulty);
    QVERIFY2(o.news.waitForScripts(), qPrintable(o.news.failure()));
    QCOMPARE(o.errorBoxes(), o.named(boxes));
    QCOMPARE(faulty.closedByItself, QList<bool>{closedByItself});
    // The lines handled before the fault are in the open transaction, for OK
    // to keep; nothing else is.
    QStringList names{"a.two"};
    for (const QString &name : handled) {
        if (!names.contains(name))
            names << name;
    }
    QCOMPARE(rowsInTransaction(dm, kGroupNames), names);
    QCOMPARE(rowsInTransaction(dm, kLinks), linksOf(handled));
    // Cancel rolls them back: the store is as it was before the dialog opened.
    dm.rollback();
    dm.holdCheckpoints(false);
    QCOMPARE(o.store.rows(kGroupNames), QStringList{"a.two"});
    QCOMPARE(o.store.rows(kLinks), QStringList{});
    QCOMPARE(o.integrity(), QString("ok"));

    // Opened again: Update List against a healthy server, then OK.
    o.again();
    o.news.addScript(tunnel(viaProxy) + listing(kListed.size())
                     << serverSays(".") << clientSays("LIST NEWSGROUPS") << serverSays("215 descriptions follow")
                     << serverSays("a.one\tThe first.") << serverSays(".") << kQuit);
    RecordingLoadView healthy;
    updateList(healthy);
    dm.commit();
    dm.holdCheckpoints(false);
    QVERIFY2(o.news.waitForScripts(), qPrintable(o.news.failure()));
    QCOMPARE(o.errorBoxes(), QStringList{});
    QCOMPARE(healthy.closedByItself, QList<bool>{true});
    QCOMPARE(o.store.rows(kGroupNames), (QStringList{"a.two", "a.one", "a.three", "a.four"}));
    QCOMPARE(o.store.rows(kLinks), linksOf(kListed));
    QCOMPARE(o.integrity(), QString("ok"));
}

QTEST_GUILESS_MAIN(tst_WireFaults)
#include "tst_wirefaults.moc"
