// The retrieval run against the scripted fake news server: the exact commands
// (GROUP, STAT of the oldest record, XOVER from the start number, BODY of each
// answer), the rows it stores and how it threads them, its status texts, the
// boxes of each failure, and that what it stores is committed at once.

#include "exchange/grouprecords.h"
#include "exchange/retrievalrun.h"
#include "exchange/newsaccess.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/freeport.h"
#include "tests/support/scratchstore.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"

#include <QSqlQuery>
#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

QString overviewLine(int number, const QString &subject, const QString &messageId, const QString &references)
{
    return QStringLiteral("S: %1\t%2\tExpert <ex@test.invalid>\tTue, 5 Mar 2024 14:03:00 -0800\t%3\t%4\t300\t2")
        .arg(number)
        .arg(subject, messageId, references);
}

// Greeting and reader mode.
QStringList greeting(const QString &line = QStringLiteral("200 fake news server ready"))
{
    return {QStringLiteral("S: ") + line, QStringLiteral("C: mode reader"), QStringLiteral("S: ") + line};
}

// The Xref of the oldest record, when the server's overview holds none.
QStringList noXref(const QString &oldest)
{
    return {QStringLiteral("C: XHDR Xref <") + oldest + QLatin1Char('>'), QStringLiteral("S: 221 Xref matches follow"),
            QStringLiteral("S: <") + oldest + QStringLiteral("> (none)"), QStringLiteral("S: .")};
}

// GROUP, the Xref (none) and STAT of the oldest record, then XOVER from start
// with the given lines.
QStringList readGroup(const QString &group, const QString &figures, const QString &oldest, const QString &statReply,
                      int start, const QStringList &lines)
{
    QStringList script{QStringLiteral("C: Group ") + group,
                       QStringLiteral("S: 211 ") + figures + QLatin1Char(' ') + group};
    script << noXref(oldest);
    script << QStringList{QStringLiteral("C: Stat <") + oldest + QLatin1Char('>'), QStringLiteral("S: ") + statReply,
                          QStringLiteral("C: xover %1-").arg(start), QStringLiteral("S: 224 overview follows")};
    script << lines << QStringLiteral("S: .");
    return script;
}

// ARTICLE of an answer, as a run on a store that keeps headers asks for it.
QStringList wholeArticle(quint64 number, const QStringList &header, const QStringList &body)
{
    QStringList script{QStringLiteral("C: Article %1").arg(number),
                       QStringLiteral("S: 220 %1 <x> article").arg(number)};
    for (const QString &line : header + QStringList{QString()} + body)
        script << QStringLiteral("S: ") + line;
    script << QStringLiteral("S: .");
    return script;
}

QStringList body(quint64 number, const QStringList &lines)
{
    QStringList script{QStringLiteral("C: Body %1").arg(number), QStringLiteral("S: 222 %1 <x> body").arg(number)};
    for (const QString &line : lines)
        script << QStringLiteral("S: ") + line;
    script << QStringLiteral("S: .");
    return script;
}

const QStringList kQuit{QStringLiteral("C: Quit")};

// A store with the fake server as server 1 carrying g.one (group 1) and
// g.two (group 2); the run on it.
struct Retrieval
{
    explicit Retrieval(const QString &sql, int folder = 0,
                       StoreSchema::Tables tables = StoreSchema::Tables::FirstDesignOnly)
        : store(StoreSchema::Tables::All)
        , folders(folder)
    {
        // FirstDesignOnly here means without the answer headers' table, so
        // that the scripts see BODY; the other added tables (scan marks) stay.
        store.exec(fill::server(1, server.host(), server.port()) + fill::group(1, QStringLiteral("g.one"))
                   + fill::group(2, QStringLiteral("g.two")) + fill::carries(1, 1) + fill::carries(1, 2) + sql
                   + (tables == StoreSchema::Tables::All ? QString() : QStringLiteral("DROP TABLE ArticleHeader;")));
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        run = std::make_unique<RetrievalRun>(*dm, ui, folders);
        run->setDialUpCheck([] { return true; });
    }

    QStringList rows(const QString &query) const { return store.rows(query); }

    FakeNewsServer server;
    // Unless told otherwise, a store without the answer headers' table: the
    // run fetches bodies only, as these scripts expect (keepsEachAnswersHeader
    // has the table).
    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    RecordingFolders folders;
    std::unique_ptr<RetrievalRun> run;
};

// Question 10 in the Inbox, posted to g.one as <q@x>.
const QString kQuestion = fill::question(10, 0, 0, QStringLiteral("Q"), QStringLiteral("q"), 0, QStringLiteral("g.one"))
    + fill::sent(10, QStringLiteral("<q@x>"), QString(), 1);

const QString kAnswers
    = QStringLiteral("SELECT Code, Parent, Folder, ArticleType, IsRead, Subject, \"From\", SentDate, "
                     "Source, Body FROM Article WHERE Code > 10 ORDER BY Code");

} // namespace

class tst_RetrievalRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storesAnswersAndThreadsThem_data();
    void storesAnswersAndThreadsThem();
    void startNumber_data();
    void startNumber();
    void startFromXref_data();
    void startFromXref();
    void scanMarks_data();
    void scanMarks();
    void markedScanLooksUpWhatItsLinesName_data();
    void markedScanLooksUpWhatItsLinesName();
    void incompleteScanKeepsItsMark();
    void crossPostedAnswerIsStoredOnce();
    void articleGoneBeforeItsBodyStoresNothing();
    void answerWithoutItsRecordIsNotKept();
    void keepsEachAnswersHeader();
    void oddOverviewLines();
    void readFailure_data();
    void readFailure();
    void serverChoice_data();
    void serverChoice();
    void failedHostIsNotTriedAgain();
    void answerToADeletedQuestion();
    void nothingToScan_data();
    void nothingToScan();
    void answersAreCommittedAtOnce();
    void sameArticleTwiceInOneOverview();
    void answerToAnAnswerThatWasGone();
    void diskWaitDeferredOnlyWhileRunning_data();
    void diskWaitDeferredOnlyWhileRunning();
    void hostileServer_data();
    void hostileServer();
};

void tst_RetrievalRun::storesAnswersAndThreadsThem_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<QStringList>("treeOps");
    QTest::newRow("Inbox on view") << 0 << QStringList{QStringLiteral("add 12 under 10"), QStringLiteral("expand 10"),
                                                       QStringLiteral("add 13 under 12"), QStringLiteral("expand 12"),
                                                       QStringLiteral("add 14 under 10"), QStringLiteral("expand 10")};
    QTest::newRow("Drafts on view") << 2 << QStringList{};
}

void tst_RetrievalRun::storesAnswersAndThreadsThem()
{
    QFETCH(int, folder);
    QFETCH(QStringList, treeOps);
    // Message 11 is an answer stored by an earlier run.
    Retrieval r(kQuestion + fill::reply(11, 0, 10, {}, QStringLiteral("old"), QStringLiteral("old"), 0)
                    + fill::sent(11, QStringLiteral("<old@y>"), QStringLiteral("<q@x>"), 1),
                folder);
    r.folders.nodes.insert(10, 0);
    r.folders.nodes.insert(11, 10);
    QStringList script = greeting();
    script << readGroup(QStringLiteral("g.one"), QStringLiteral("9 1 9"), QStringLiteral("q@x"),
                        QStringLiteral("223 3 <q@x>"), 3,
                        {overviewLine(3, QStringLiteral("Q"), QStringLiteral("<q@x>"), QString()),
                         overviewLine(4, QStringLiteral("other"), QStringLiteral("<u@y>"), QStringLiteral("<o@z>")),
                         overviewLine(5, QStringLiteral("Re: Q"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>")),
                         overviewLine(6, QStringLiteral("see <q@x>"), QStringLiteral("<m@y>"), QString()),
                         overviewLine(7, QStringLiteral("Re: Re: Q"), QStringLiteral("<a2@y>"),
                                      QStringLiteral("<q@x> <a1@y>")),
                         overviewLine(8, QStringLiteral("Re: Q"), QStringLiteral("<old@y>"), QStringLiteral("<q@x>")),
                         overviewLine(9, QStringLiteral("Re: Q"), QStringLiteral("<a3@y>"),
                                      QStringLiteral("<pre@z><q@x>x"))})
           << body(5, {QStringLiteral("first answer"), QStringLiteral("..dotted")})
           << body(7, {QStringLiteral("second")}) << body(9, {QStringLiteral("third")}) << kQuit;
    r.server.addScript(script);

    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    const QString from = QStringLiteral("Expert <ex@test.invalid>");
    const QString date = QStringLiteral("2024-03-05 14:03:00");
    QCOMPARE(r.rows(kAnswers),
             (QStringList{QStringLiteral("11|10|0|0|-1|old|NULL|NULL|NULL|old"),
                          QStringLiteral("12|10|0|0|0|Re: Q|%1|%2|g.one|first answer\r\n.dotted\r\n").arg(from, date),
                          QStringLiteral("13|12|0|0|0|Re: Re: Q|%1|%2|g.one|second\r\n").arg(from, date),
                          QStringLiteral("14|10|0|0|0|Re: Q|%1|%2|g.one|third\r\n").arg(from, date)}));
    QCOMPARE(r.rows(
                 QStringLiteral("SELECT ArticleId, MessageId, ReferencesId, GroupId FROM SentArticles WHERE Code > 2")),
             (QStringList{QStringLiteral("12|<a1@y>|<q@x>|1"), QStringLiteral("13|<a2@y>|<q@x> <a1@y>|1"),
                          QStringLiteral("14|<a3@y>|<pre@z><q@x>x|1")}));
    QCOMPARE(r.folders.ops, treeOps);
    QCOMPARE(r.ui.status0,
             (QStringList{QStringLiteral("Connecting..."), QStringLiteral("Loading articles from g.one"),
                          QStringLiteral("3 new messages")}));
    QCOMPARE(r.ui.status1,
             (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
    QCOMPARE(r.ui.busyChanges, (QList<bool>{true, false}));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.run->newAnswers(), 3);
}

void tst_RetrievalRun::startNumber_data()
{
    QTest::addColumn<QString>("figures"); // count, lowest, highest
    QTest::addColumn<QString>("statReply");
    QTest::addColumn<int>("start");
    const QString unknown = QStringLiteral("430 no such article");
    QTest::newRow("server knows the oldest record")
        << QStringLiteral("500 100 450") << QStringLiteral("223 333 <q@x>") << 333;
    QTest::newRow("server numbers it 0") << QStringLiteral("500 100 450") << QStringLiteral("223 0 <q@x>") << 150;
    QTest::newRow("server does not know it") << QStringLiteral("500 100 450") << unknown << 150;
    QTest::newRow("highest number 300") << QStringLiteral("300 1 300") << unknown << 0;
    QTest::newRow("young group: from its lowest") << QStringLiteral("20 5 120") << unknown << 5;
    QTest::newRow("young group without a lowest") << QStringLiteral("0 0 120") << unknown << 1;
}

void tst_RetrievalRun::startNumber()
{
    QFETCH(QString, figures);
    QFETCH(QString, statReply);
    QFETCH(int, start);
    // The oldest unexpired record of the group decides, not the newest nor an expired one.
    Retrieval r(kQuestion + fill::sent(10, QStringLiteral("<newer@x>"), QString(), 1)
                + fill::reply(9, 0, 0, {}, QStringLiteral("gone"), {}, 0)
                + QStringLiteral("UPDATE Article SET Expire=-1 WHERE Code=9;")
                + QStringLiteral(
                    "INSERT INTO SentArticles (Code, ArticleId, MessageId, GroupId) VALUES (0, 9, '<expired@x>', 1);"));
    r.server.addScript(
        greeting() + readGroup(QStringLiteral("g.one"), figures, QStringLiteral("q@x"), statReply, start, {}) + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.status0.last(), QStringLiteral("0 new messages"));
}

void tst_RetrievalRun::startFromXref_data()
{
    QTest::addColumn<QStringList>("lookUp"); // after GROUP, up to the XOVER
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("overview"); // the reply to XOVER
    const QString xhdr = QStringLiteral("C: XHDR Xref <q@x>");
    QTest::newRow("INN: XHDR names the group")
        << QStringList{xhdr, QStringLiteral("S: 221 Xref matches follow (ID)"),
                       QStringLiteral("S: <q@x> news.example.com g.one:1207"), QStringLiteral("S: .")}
        << 1207 << QStringList{QStringLiteral("S: 224 overview follows"), QStringLiteral("S: .")};
    QTest::newRow("sn: the group's own number, not the first group's")
        << QStringList{xhdr, QStringLiteral("S: 221 Xref header follows"),
                       QStringLiteral("S: <q@x> sn.example.org comp.lang.c:88 g.one:1207"), QStringLiteral("S: .")}
        << 1207 << QStringList{QStringLiteral("S: 224 overview follows"), QStringLiteral("S: .")};
    QTest::newRow("no XHDR: the Xref of HEAD, folded")
        << QStringList{xhdr,
                       QStringLiteral("S: 500 What?"),
                       QStringLiteral("C: Head <q@x>"),
                       QStringLiteral("S: 221 0 <q@x> head"),
                       QStringLiteral("S: From: Asker <asker@example.org>"),
                       QStringLiteral("S: Xref: news.example.com comp.lang.c:88"),
                       QStringLiteral("S:  g.one:1207"),
                       QStringLiteral("S: Message-ID: <q@x>"),
                       QStringLiteral("S: .")}
        << 1207 << QStringList{QStringLiteral("S: 224 overview follows"), QStringLiteral("S: .")};
    QTest::newRow("leafnode: no Xref, STAT says 0, nothing in the range")
        << noXref(QStringLiteral("q@x"))
            + QStringList{QStringLiteral("C: Stat <q@x>"), QStringLiteral("S: 223 0 <q@x>")}
        << 150 << QStringList{QStringLiteral("S: 420 No articles in specified range.")};
    QTest::newRow("gone from the server")
        << QStringList{xhdr, QStringLiteral("S: 430 no such article"), QStringLiteral("C: Stat <q@x>"),
                       QStringLiteral("S: 430 no such article")}
        << 150 << QStringList{QStringLiteral("S: 423 No articles in that range")};
}

void tst_RetrievalRun::startFromXref()
{
    QFETCH(QStringList, lookUp);
    QFETCH(int, start);
    QFETCH(QStringList, overview);
    Retrieval r(kQuestion);
    r.server.addScript(greeting()
                       + QStringList{QStringLiteral("C: Group g.one"), QStringLiteral("S: 211 400 51 450 g.one")}
                       + lookUp + QStringList{QStringLiteral("C: xover %1-").arg(start)} + overview + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.ui.status0.last(), QStringLiteral("0 new messages"));
}

void tst_RetrievalRun::scanMarks_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("secondFigures");
    QTest::addColumn<QStringList>("secondRun"); // after GROUP
    const QStringList fromXref{QStringLiteral("C: XHDR Xref <q@x>"),
                               QStringLiteral("S: 221 Xref matches follow"),
                               QStringLiteral("S: <q@x> news.example.com g.one:100"),
                               QStringLiteral("S: ."),
                               QStringLiteral("C: xover 100-"),
                               QStringLiteral("S: 224 overview follows")};
    QTest::newRow("new articles: only those")
        << true << QStringLiteral("4 100 104")
        << QStringList{QStringLiteral("C: xover 103-"),
                       QStringLiteral("S: 224 overview follows"),
                       overviewLine(103, QStringLiteral("A2"), QStringLiteral("<a2@y>"), QStringLiteral("<q@x>")),
                       overviewLine(104, QStringLiteral("Other"), QStringLiteral("<o@y>"), QString()),
                       QStringLiteral("S: ."),
                       QStringLiteral("C: Body 103"),
                       QStringLiteral("S: 222 103 <a2@y> body"),
                       QStringLiteral("S: two"),
                       QStringLiteral("S: .")};
    QTest::newRow("nothing new: no XOVER") << true << QStringLiteral("3 100 102") << QStringList{};
    QTest::newRow("mark above the highest: renumbered server, from the Xref")
        << true << QStringLiteral("1 1 50")
        << QStringList{QStringLiteral("C: XHDR Xref <q@x>"),
                       QStringLiteral("S: 221 Xref matches follow"),
                       QStringLiteral("S: <q@x> news.example.com g.one:7"),
                       QStringLiteral("S: ."),
                       QStringLiteral("C: xover 7-"),
                       QStringLiteral("S: 224 overview follows"),
                       QStringLiteral("S: .")};
    QTest::newRow("store without the table: from the Xref again")
        << false << QStringLiteral("4 100 104") << fromXref + QStringList{QStringLiteral("S: .")};
}

void tst_RetrievalRun::scanMarks()
{
    QFETCH(bool, table);
    QFETCH(QString, secondFigures);
    QFETCH(QStringList, secondRun);
    Retrieval r(kQuestion + (table ? QString() : QStringLiteral("DROP TABLE ScanMarks;")));
    const QStringList group{QStringLiteral("C: Group g.one")};
    r.server.addScript(
        greeting() + group + QStringList{QStringLiteral("S: 211 3 100 102 g.one")}
        + QStringList{QStringLiteral("C: XHDR Xref <q@x>"), QStringLiteral("S: 221 Xref matches follow"),
                      QStringLiteral("S: <q@x> news.example.com g.one:100"), QStringLiteral("S: ."),
                      QStringLiteral("C: xover 100-"), QStringLiteral("S: 224 overview follows"),
                      overviewLine(101, QStringLiteral("A1"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>")),
                      overviewLine(102, QStringLiteral("Other"), QStringLiteral("<o1@y>"), QString()),
                      QStringLiteral("S: .")}
        + body(101, {QStringLiteral("one")}) + kQuit);
    r.server.addScript(greeting() + group + QStringList{QStringLiteral("S: 211 ") + secondFigures + " g.one"}
                       + secondRun + kQuit);
    r.run->RetrieveAnswers();
    if (table)
        QCOMPARE(r.rows(QStringLiteral("SELECT Newsgroup, Server, LastArticle FROM ScanMarks")),
                 QStringList{QStringLiteral("1|1|102")});
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.rows(QStringLiteral("SELECT count(*) FROM Article WHERE Code > 10")),
             QStringList{QString::number(secondRun.contains(QStringLiteral("S: two")) ? 2 : 1)});
}

void tst_RetrievalRun::markedScanLooksUpWhatItsLinesName_data()
{
    QTest::addColumn<QString>("records"); // beside <q@x> of question 10
    QTest::addColumn<QString>("references");
    QTest::addColumn<int>("parent"); // 0: the line answers nothing

    const QString answer11 = QStringLiteral("INSERT INTO Article (Code, Parent, Folder, Source) VALUES "
                                            "(11, 10, 0, 'g.one');")
        + fill::sent(11, QStringLiteral("<a1@y>"), QStringLiteral("<q@x>"), 1);
    QTest::newRow("the question") << QString() << "<other@z> <q@x>" << 10;
    QTest::newRow("an answer stored by an earlier run, newer than the question") << answer11 << "<q@x> <a1@y>" << 11;
    QTest::newRow("a Message-ID without angle brackets, found as text")
        << fill::sent(10, QStringLiteral("q-old-style@x"), QString(), 1) << "<other@z> q-old-style@x" << 10;
    QTest::newRow("a Message-ID cut short, found as text")
        << fill::sent(10, QStringLiteral("<q-cut@x"), QString(), 1) << "<q-cut@x <other@z>" << 10;
    QTest::newRow("a Message-ID with a \"<\" inside")
        << fill::sent(10, QStringLiteral("<q<x>"), QString(), 1) << "<other@z> <q<x>" << 10;
    QTest::newRow("the same letters in another case answer nothing") << QString() << "<Q@X>" << 0;
    // A message moved out of the Inbox: its group is not scanned, its record
    // still loaded for that group.
    QTest::newRow("a record of another group answers nothing")
        << QStringLiteral("INSERT INTO Article (Code, Parent, Folder, Source) VALUES (12, 0, 3, 'g.two');")
            + fill::sent(12, QStringLiteral("<q2@x>"), QString(), 2)
        << "<q2@x>" << 0;
    QTest::newRow("more names than look-ups: every record read") << answer11 << [] {
        QStringList ids;
        for (int i = 0; i <= GroupRecords::kMostLookups; ++i)
            ids << QStringLiteral("<chain%1@z>").arg(i);
        return ids.join(QLatin1Char(' ')) + QStringLiteral(" <a1@y>");
    }() << 11;
}

// A scan that starts after its mark reads only the records its new lines can
// name: each of them must still be found, and nothing else taken for one.
void tst_RetrievalRun::markedScanLooksUpWhatItsLinesName()
{
    QFETCH(QString, records);
    QFETCH(QString, references);
    QFETCH(int, parent);
    Retrieval r(kQuestion + records + QStringLiteral("INSERT INTO ScanMarks VALUES (1, 1, 102);"));
    QStringList script = greeting()
        + QStringList{QStringLiteral("C: Group g.one"),
                      QStringLiteral("S: 211 3 100 103 g.one"),
                      QStringLiteral("C: xover 103-"),
                      QStringLiteral("S: 224 overview follows"),
                      overviewLine(103, QStringLiteral("Re: Q"), QStringLiteral("<new@y>"), references),
                      QStringLiteral("S: .")};
    if (parent != 0)
        script += body(103, {QStringLiteral("The answer.")});
    r.server.addScript(script + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.rows(QStringLiteral(
                 "SELECT Parent FROM Article, SentArticles WHERE MessageId = '<new@y>' AND Article.Code = ArticleId")),
             parent == 0 ? QStringList{} : QStringList{QString::number(parent)});
    QCOMPARE(r.rows(QStringLiteral("SELECT LastArticle FROM ScanMarks")), QStringList{QStringLiteral("103")});
}

void tst_RetrievalRun::incompleteScanKeepsItsMark()
{
    // The connection breaks before the second answer's body: the first answer
    // is kept, the mark is not moved, and the next run reads the range again.
    Retrieval r(kQuestion + QStringLiteral("INSERT INTO ScanMarks VALUES (1, 1, 100);"));
    r.server.addScript(
        greeting()
        + QStringList{QStringLiteral("C: Group g.one"), QStringLiteral("S: 211 5 100 105 g.one"),
                      QStringLiteral("C: xover 101-"), QStringLiteral("S: 224 overview follows"),
                      overviewLine(101, QStringLiteral("A1"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>")),
                      overviewLine(102, QStringLiteral("A2"), QStringLiteral("<a2@y>"), QStringLiteral("<q@x>")),
                      QStringLiteral("S: .")}
        + body(101, {QStringLiteral("one")}) + QStringList{QStringLiteral("C: Body 102"), QStringLiteral("* close")});
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.boxTexts(),
             QStringList{QStringLiteral("News Server 127.0.0.1 | The server broke off the connection")});
    QCOMPARE(r.rows(QStringLiteral("SELECT Subject FROM Article WHERE Code > 10")), QStringList{QStringLiteral("A1")});
    QCOMPARE(r.rows(QStringLiteral("SELECT LastArticle FROM ScanMarks")), QStringList{QStringLiteral("100")});
}

void tst_RetrievalRun::crossPostedAnswerIsStoredOnce()
{
    // The question went to both groups; the answer names both copies and is
    // listed in both groups.
    Retrieval r(fill::question(10, 0, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one,g.two"))
                + fill::sent(10, QStringLiteral("<q1@x>"), QString(), 1)
                + fill::sent(10, QStringLiteral("<q2@x>"), QString(), 2));
    const QString answer = QStringLiteral("<a@y>");
    const QString references = QStringLiteral("<q1@x> <q2@x>");
    r.server.addScript(greeting()
                       + readGroup(QStringLiteral("g.one"), QStringLiteral("1 1 1"), QStringLiteral("q1@x"),
                                   QStringLiteral("223 1 <q1@x>"), 1,
                                   {overviewLine(1, QStringLiteral("A"), answer, references)})
                       + body(1, {QStringLiteral("answer")}) + kQuit);
    r.server.addScript(greeting()
                       + readGroup(QStringLiteral("g.two"), QStringLiteral("1 7 7"), QStringLiteral("q2@x"),
                                   QStringLiteral("223 7 <q2@x>"), 7,
                                   {overviewLine(7, QStringLiteral("A"), answer, references)})
                       + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Parent, Source FROM Article WHERE Code > 10")),
             QStringList{QStringLiteral("11|10|g.one")});
    QCOMPARE(r.ui.status0.last(), QStringLiteral("1 new message"));
}

void tst_RetrievalRun::articleGoneBeforeItsBodyStoresNothing()
{
    Retrieval r(kQuestion);
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(2, QStringLiteral("A1"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>")),
                     overviewLine(3, QStringLiteral("A2"), QStringLiteral("<a2@y>"), QStringLiteral("<q@x>"))})
        + QStringList{QStringLiteral("C: Body 2"), QStringLiteral("S: 423 no such article in group")}
        + body(3, {QStringLiteral("kept")}) + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Subject, Body FROM Article WHERE Code > 10")),
             QStringList{QStringLiteral("A2|kept\r\n")});
    QCOMPARE(r.rows(QStringLiteral("SELECT MessageId FROM SentArticles WHERE Code > 1")),
             QStringList{QStringLiteral("<a2@y>")});
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.ui.status0.last(), QStringLiteral("1 new message"));
}

// The store refuses an answer's record after it took the answer (a full
// disk, an I/O error): kept alone, the answer would be stored again by the
// next run, which finds it unrecorded. Neither stays.
void tst_RetrievalRun::answerWithoutItsRecordIsNotKept()
{
    Retrieval r(kQuestion);
    r.store.execWhole(QStringLiteral("CREATE TRIGGER RefuseRecords BEFORE INSERT ON SentArticles "
                                     "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("2 1 2"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(2, QStringLiteral("A1"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>"))})
        + body(2, {QStringLiteral("lost")}) + kQuit);
    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Failed);
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT count(*) FROM Article WHERE Code > 10")), QStringList{QStringLiteral("0")});
    QCOMPARE(r.folders.ops, QStringList{});
    QCOMPARE(r.ui.boxTexts().size(), 1);
    QVERIFY2(r.ui.boxTexts().first().contains(QStringLiteral("database or disk is full")),
             qPrintable(r.ui.boxTexts().first()));
}

void tst_RetrievalRun::keepsEachAnswersHeader()
{
    // With the table, each answer is fetched whole (asked for ahead like
    // bodies); its header is kept byte for byte beside the row, its body as
    // before. An article gone since its overview line leaves neither.
    Retrieval r(kQuestion, 0, StoreSchema::Tables::All);
    const QStringList header{QStringLiteral("From: Expert <ex@test.invalid>"),
                             QStringLiteral("Subject: =?UTF-8?Q?Re:_caf=C3=A9?="),
                             QStringLiteral("MIME-Version: 1.0"),
                             QStringLiteral("Content-Type: text/plain; charset=UTF-8;"),
                             QStringLiteral("	format=flowed"),
                             QStringLiteral("Content-Transfer-Encoding: quoted-printable")};
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("4 1 4"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(2, QStringLiteral("A1"), QStringLiteral("<a1@y>"), QStringLiteral("<q@x>")),
                     overviewLine(3, QStringLiteral("A2"), QStringLiteral("<a2@y>"), QStringLiteral("<q@x>")),
                     overviewLine(4, QStringLiteral("A3"), QStringLiteral("<a3@y>"), QStringLiteral("<a1@y>"))})
        + wholeArticle(2, header, {QStringLiteral("caf=C3=A9 "), QStringLiteral("..and more")})
        + QStringList{QStringLiteral("C: Article 3"), QStringLiteral("S: 423 no such article in group")}
        + wholeArticle(4, {QStringLiteral("From: B <b@test.invalid>")}, {}) + kQuit);
    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Parent, Subject, Body FROM Article WHERE Code > 10")),
             (QStringList{QStringLiteral("11|10|A1|caf=C3=A9 \r\n.and more\r\n"), QStringLiteral("12|11|A3|NULL")}));
    QCOMPARE(r.rows(QStringLiteral("SELECT ArticleId, Header FROM ArticleHeader ORDER BY ArticleId")),
             (QStringList{QStringLiteral("11|") + header.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                          QStringLiteral("12|From: B <b@test.invalid>\r\n")}));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
}

void tst_RetrievalRun::oddOverviewLines()
{
    Retrieval r(kQuestion);
    // TAB, backspace, TAB before the References (read as one TAB);
    // References with a non-ASCII character; a subject in an 8-bit set that
    // is not UTF-8.
    const QByteArray latin1 = "4\tR\xe9ponse\tExpert\tTue, 5 Mar 2024 14:03:00 -0800\t<a3@y>\t<q@x>\t300\t2\r\n";
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("4 2 4"), QStringLiteral("q@x"),
                    QStringLiteral("223 2 <q@x>"), 2,
                    {QStringLiteral("S: 2\tFirst\tExpert\tTue, 5 Mar 2024 14:03:00 -0800\t<a1@y>\t\b\t<q@x>\t300\t2"),
                     overviewLine(3, QStringLiteral("Grüße"), QStringLiteral("<a2@y>"), QStringLiteral("<q@x> <é@z>")),
                     FakeNewsServer::sendBytesLine(latin1)})
        + body(2, {QStringLiteral("one")}) + body(3, {QStringLiteral("two")}) + body(4, {QStringLiteral("three")})
        + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    // Headers are kept as the bytes that came: UTF-8 as UTF-8, the 8-bit
    // subject as its one Latin-1 byte.
    QCOMPARE(r.rows(QStringLiteral("SELECT Parent, hex(Subject), \"From\" FROM Article WHERE Code > 10 ORDER BY Code")),
             (QStringList{QStringLiteral("10|4669727374|Expert"),
                          QStringLiteral("10|4772C3BCC39F65|Expert <ex@test.invalid>"),
                          QStringLiteral("10|52E9706F6E7365|Expert")}));
    QCOMPARE(r.rows(QStringLiteral("SELECT ReferencesId FROM SentArticles WHERE ArticleId=12")),
             QStringList{QStringLiteral("<q@x> <é@z>")});
}

void tst_RetrievalRun::readFailure_data()
{
    QTest::addColumn<QStringList>("reading"); // what follows the greeting on server 1 for g.one
    QTest::addColumn<QString>("box");
    QTest::newRow("GROUP refused") << QStringList{QStringLiteral("C: Group g.one"),
                                                  QStringLiteral("S: 411 no such news group")}
                                   << QStringLiteral("411 no such news group");
    QTest::newRow("unexpected STAT reply")
        << QStringList{QStringLiteral("C: Group g.one"), QStringLiteral("S: 211 5 1 5 g.one")} + noXref("q@x")
            + QStringList{QStringLiteral("C: Stat <q@x>"), QStringLiteral("S: 500 what?")}
        << QStringLiteral("500 what?");
    QTest::newRow("XOVER refused") << readGroup(QStringLiteral("g.one"), QStringLiteral("5 1 5"), QStringLiteral("q@x"),
                                                QStringLiteral("223 1 <q@x>"), 1, {})
                                          .mid(0, 9)
            + QStringList{QStringLiteral("S: 503 program fault")}
                                   << QStringLiteral("503 program fault");
    QTest::newRow("connection broken") << QStringList{QStringLiteral("C: Group g.one"), QStringLiteral("* close")}
                                       << QStringLiteral("The server broke off the connection");
}

void tst_RetrievalRun::readFailure()
{
    QFETCH(QStringList, reading);
    QFETCH(QString, box);
    // Server 2 carries g.one too but is never asked; server 1 is asked again for g.two.
    FakeNewsServer second;
    Retrieval r(fill::server(2, second.host(), second.port()) + fill::carries(2, 1)
                + fill::question(10, 0, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one,g.two"))
                + fill::sent(10, QStringLiteral("<q@x>"), QString(), 1)
                + fill::sent(10, QStringLiteral("<q2@x>"), QString(), 2));
    r.server.addScript(greeting() + reading + (reading.last() == QLatin1String("* close") ? QStringList{} : kQuit));
    r.server.addScript(greeting()
                       + readGroup(QStringLiteral("g.two"), QStringLiteral("0 1 0"), QStringLiteral("q2@x"),
                                   QStringLiteral("430 no"), 1, {})
                       + kQuit);
    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.boxTexts(), QStringList{QStringLiteral("News Server 127.0.0.1 | ") + box});
    QCOMPARE(second.connectionCount(), 0);
    // g.two was read; g.one was not, and the status bar says so.
    QCOMPARE(r.ui.status0.last(),
             QStringLiteral("0 new messages; 1 newsgroup could not be read (News Server 127.0.0.1:%1: %2)")
                 .arg(r.server.port())
                 .arg(box));
}

void tst_RetrievalRun::serverChoice_data()
{
    QTest::addColumn<QString>("firstGreeting");
    QTest::addColumn<QString>("box"); // empty: the first server is used
    QTest::newRow("read-only server used without a box") << QStringLiteral("201 read only") << QString();
    QTest::newRow("paused server passed over")
        << QStringLiteral("400 paused") << QStringLiteral(" The news service is temporarily unavailable.");
    QTest::newRow("refusing server passed over")
        << QStringLiteral("502 go away")
        << QStringLiteral("Connection Error: Connection explicitly refused by NNTP server.");
    QTest::newRow("leafnode's 503 greeting passed over, with its own words")
        << QStringLiteral("503 Unable to determine fully qualified domain name")
        << QStringLiteral("Connection Error: 503 Unable to determine fully qualified domain name");
}

void tst_RetrievalRun::serverChoice()
{
    QFETCH(QString, firstGreeting);
    QFETCH(QString, box);
    FakeNewsServer second;
    Retrieval r(fill::server(2, second.host(), second.port()) + fill::carries(2, 1) + kQuestion);
    const QStringList reading = readGroup(QStringLiteral("g.one"), QStringLiteral("0 1 0"), QStringLiteral("q@x"),
                                          QStringLiteral("430 no"), 1, {})
        + kQuit;
    if (box.isEmpty()) {
        r.server.addScript(greeting(firstGreeting) + reading);
    } else {
        r.server.addScript(firstGreeting.startsWith(QLatin1Char('5'))
                               ? QStringList{QStringLiteral("S: ") + firstGreeting}
                               : greeting(firstGreeting) + kQuit);
        second.addScript(greeting() + reading);
    }
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QVERIFY2(second.waitForScripts(), qPrintable(second.failure()));
    QCOMPARE(r.ui.boxTexts(),
             box.isEmpty() ? QStringList{} : QStringList{QStringLiteral("News Server 127.0.0.1 | ") + box});
    QCOMPARE(second.connectionCount(), box.isEmpty() ? 0 : 1);
}

void tst_RetrievalRun::failedHostIsNotTriedAgain()
{
    // A socket-level failure, connecting (server 2) or reading (server 1, which
    // stops answering), keeps the host out of the rest of the run.
    Retrieval r(fill::server(2, QStringLiteral("localhost"), pickFreePort()) + fill::carries(2, 2)
                + fill::group(3, QStringLiteral("g.three")) + fill::carries(2, 3) + fill::carries(1, 3)
                + fill::question(10, 0, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one,g.two,g.three"))
                + QStringLiteral("DELETE FROM GroupServer WHERE Server=1 AND Newsgroup=2;")
                + fill::sent(10, QStringLiteral("<q@x>"), QString(), 1)
                + fill::sent(10, QStringLiteral("<q2@x>"), QString(), 2)
                + fill::sent(10, QStringLiteral("<q3@x>"), QString(), 3));
    NewsClientLimits limits = NewsAccess::of(*r.dm).client().limits();
    limits.idleTimeoutMs = 300;
    NewsAccess::of(*r.dm).client().setLimits(limits);
    r.server.addScript(greeting() + QStringList{QStringLiteral("C: Group g.one"), QStringLiteral("* stall")});

    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    const QString refused = QStringLiteral("Connection Error: ") + SocketError(ECONNREFUSED).text();
    QCOMPARE(r.ui.boxTexts(),
             (QStringList{QStringLiteral("News Server 127.0.0.1 | Connection Error: ") + SocketError(ETIMEDOUT).text(),
                          QStringLiteral("News Server localhost | ") + refused}));
    QCOMPARE(r.server.connectionCount(), 1); // g.three: server 2 failed and server 1 failed
}

void tst_RetrievalRun::answerToADeletedQuestion()
{
    // Question 10 was deleted (not expired); message 20 in the Inbox names g.one.
    Retrieval r(fill::question(10, 3, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one"))
                + fill::sent(10, QStringLiteral("<q@x>"), QString(), 1)
                + fill::question(20, 0, 0, QStringLiteral("Other"), {}, 0, QStringLiteral("g.one"))
                + fill::sent(20, QStringLiteral("<other@x>"), QString(), 1));
    r.folders.nodes.insert(20, 0);
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("2 1 2"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(2, QStringLiteral("A"), QStringLiteral("<a@y>"), QStringLiteral("<q@x>"))})
        + body(2, {QStringLiteral("a")}) + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Parent, Folder FROM Article WHERE Code=21")),
             QStringList{QStringLiteral("21|10|0")});
    QCOMPARE(r.folders.ops, QStringList{QStringLiteral("add 21 under 0")});
}

void tst_RetrievalRun::nothingToScan_data()
{
    QTest::addColumn<QString>("messages");
    QTest::addColumn<bool>("goOnLine");
    QTest::newRow("no Inbox message") << fill::question(10, 1, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one"))
                                      << true;
    QTest::newRow("an Inbox message with no recorded copy")
        << fill::question(10, 0, 0, QStringLiteral("Q"), {}, 0, QStringLiteral("g.one")) << true;
    QTest::newRow("only expired Inbox messages") << kQuestion + QStringLiteral("UPDATE Article SET Expire=-1;") << true;
    QTest::newRow("Expire NULL counts as expired")
        << kQuestion + QStringLiteral("UPDATE Article SET Expire=NULL;") << true;
    QTest::newRow("dial-up declined") << kQuestion << false;
}

void tst_RetrievalRun::nothingToScan()
{
    QFETCH(QString, messages);
    QFETCH(bool, goOnLine);
    Retrieval r(messages);
    r.run->setDialUpCheck([goOnLine] { return goOnLine; });
    QCOMPARE(r.run->RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QCOMPARE(r.server.connectionCount(), 0);
    QCOMPARE(r.ui.status0, QStringList{QStringLiteral("0 new messages")});
    QCOMPARE(r.ui.busyChanges, (QList<bool>{true, false}));
}

void tst_RetrievalRun::answersAreCommittedAtOnce()
{
    Retrieval r(kQuestion);
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("2 1 2"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(1, QStringLiteral("A"), QStringLiteral("<a@y>"), QStringLiteral("<q@x>")),
                     overviewLine(2, QStringLiteral("B"), QStringLiteral("<b@y>"), QString())})
        + body(1, {QStringLiteral("a")}) + kQuit);
    // What another connection to the file sees at each pause of the run: the
    // last pause is the one before the second line.
    QStringList seen;
    r.ui.onProcessEvents = [&](int) {
        seen << r.rows(QStringLiteral("SELECT a.Subject, s.MessageId FROM Article a, SentArticles s "
                                      "WHERE s.ArticleId=a.Code AND a.Code > 10"))
                    .join(QLatin1Char(','));
    };
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.ui.status1, (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    QVERIFY2(seen.size() >= 2, qPrintable(seen.join(QLatin1Char(';'))));
    QCOMPARE(seen.at(seen.size() - 2), QString()); // the pause before the answer is stored
    QCOMPARE(seen.last(), QStringLiteral("A|<a@y>"));
}

void tst_RetrievalRun::sameArticleTwiceInOneOverview()
{
    // While the first is stored, the body of the second is already asked for;
    // once the first is recorded the second is no new answer, and its body,
    // still on its way, is dropped before the next command.
    Retrieval r(kQuestion);
    const QString answer = overviewLine(1, QStringLiteral("A"), QStringLiteral("<a@y>"), QStringLiteral("<q@x>"));
    QString again = answer;
    again.replace(QStringLiteral("S: 1\t"), QStringLiteral("S: 2\t"));
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {answer, again,
                     overviewLine(3, QStringLiteral("B"), QStringLiteral("<b@y>"), QStringLiteral("<a@y>"))})
        + body(1, {QStringLiteral("a")}) + body(2, {QStringLiteral("a again")}) + body(3, {QStringLiteral("b")})
        + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Parent, Subject, Body FROM Article WHERE Code > 10")),
             (QStringList{QStringLiteral("11|10|A|a\r\n"), QStringLiteral("12|11|B|b\r\n")}));
    QCOMPARE(r.ui.boxTexts(), QStringList{});
}

void tst_RetrievalRun::answerToAnAnswerThatWasGone()
{
    // Both bodies after the first are asked for at once; the second answer is
    // gone by then, so the answer to it answers nothing recorded and its body,
    // already on its way, is not stored.
    Retrieval r(kQuestion);
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(1, QStringLiteral("A"), QStringLiteral("<a@y>"), QStringLiteral("<q@x>")),
                     overviewLine(2, QStringLiteral("G"), QStringLiteral("<g@y>"), QStringLiteral("<q@x>")),
                     overviewLine(3, QStringLiteral("B"), QStringLiteral("<b@y>"), QStringLiteral("<g@y>"))})
        + body(1, {QStringLiteral("a")})
        + QStringList{QStringLiteral("C: Body 2"), QStringLiteral("C: Body 3"),
                      QStringLiteral("S: 423 no such article in group"), QStringLiteral("S: 222 3 <b@y> body"),
                      QStringLiteral("S: b"), QStringLiteral("S: .")}
        + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Parent, Subject, Body FROM Article WHERE Code > 10")),
             QStringList{QStringLiteral("11|10|A|a\r\n")});
    QCOMPARE(r.rows(QStringLiteral("SELECT MessageId FROM SentArticles WHERE Code > 1")),
             QStringList{QStringLiteral("<a@y>")});
    QCOMPARE(r.ui.status0.last(), QStringLiteral("1 new message"));
}

void tst_RetrievalRun::diskWaitDeferredOnlyWhileRunning_data()
{
    QTest::addColumn<QStringList>("afterOverview");
    QTest::addColumn<int>("boxes");
    QTest::newRow("run finished") << (body(1, {QStringLiteral("a")}) + kQuit) << 0;
    QTest::newRow("run failed") << QStringList{QStringLiteral("C: Body 1"), QStringLiteral("* close")} << 1;
}

void tst_RetrievalRun::diskWaitDeferredOnlyWhileRunning()
{
    QFETCH(QStringList, afterOverview);
    QFETCH(int, boxes);
    Retrieval r(kQuestion);
    r.server.addScript(
        greeting()
        + readGroup(QStringLiteral("g.one"), QStringLiteral("1 1 1"), QStringLiteral("q@x"),
                    QStringLiteral("223 1 <q@x>"), 1,
                    {overviewLine(1, QStringLiteral("A"), QStringLiteral("<a@y>"), QStringLiteral("<q@x>"))})
        + afterOverview);
    const auto synchronous = [&r] {
        QSqlQuery q(r.dm->MainConnection().database());
        return q.exec(QStringLiteral("PRAGMA synchronous")) && q.next() ? q.value(0).toInt() : -1;
    };
    QCOMPARE(synchronous(), 2); // FULL: each commit waits for the disk
    QList<int> during;
    r.ui.onProcessEvents = [&](int) { during << synchronous(); };
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    // The first pause comes before the run begins its work; NORMAL from then on.
    QVERIFY(during.size() >= 2);
    QCOMPARE(during.mid(1), QList<int>(during.size() - 1, 1));
    QCOMPARE(synchronous(), 2);
    QCOMPARE(r.ui.boxTexts().size(), boxes);
}

QTEST_GUILESS_MAIN(tst_RetrievalRun)
#include "tst_retrievalrun.moc"

// Article numbers beyond 32 bits are read as they are; a number that cannot
// be read fails its reply instead of reading as 0 (which would scan the group
// from its first article); a server that sends more than the client's limits
// loses the article or the group, not the machine's memory.
void tst_RetrievalRun::hostileServer_data()
{
    QTest::addColumn<QStringList>("script"); // after the greeting, before Quit
    QTest::addColumn<QStringList>("stored"); // subjects
    QTest::addColumn<QStringList>("boxes");

    const auto line = [](const QString &number, const QString &subject, const QString &id) {
        return QStringLiteral("S: %1\t%2\tExpert <ex@test.invalid>\tTue, 5 Mar 2024 14:03:00 -0800\t%3\t<q@x>\t300\t2")
            .arg(number, subject, id);
    };
    const QString box = QStringLiteral("News Server 127.0.0.1 | ");
    const QString unreadable = QStringLiteral("The server sent an article number that cannot be read: ");
    const QStringList group{QStringLiteral("C: Group g.one")};

    QTest::newRow("numbers beyond 32 bits")
        << group + QStringList{QStringLiteral("S: 211 2 4294967296 4294967297 g.one")} + noXref(QStringLiteral("q@x"))
            + QStringList{QStringLiteral("C: Stat <q@x>"),
                          QStringLiteral("S: 223 4294967296 <q@x>"),
                          QStringLiteral("C: xover 4294967296-"),
                          QStringLiteral("S: 224 overview follows"),
                          line(QStringLiteral("4294967297"), QStringLiteral("A1"), QStringLiteral("<a1@y>")),
                          QStringLiteral("S: .")}
            + body(4294967297ULL, {QStringLiteral("answer")})
        << QStringList{QStringLiteral("A1")} << QStringList{};
    QTest::newRow("group figures that cannot be read")
        << group + QStringList{QStringLiteral("S: 211 2 one 3 g.one")} << QStringList{}
        << QStringList{box + unreadable + QStringLiteral("211 2 one 3 g.one")};
    QTest::newRow("a STAT number that cannot be read")
        << group + QStringList{QStringLiteral("S: 211 2 1 3 g.one")} + noXref(QStringLiteral("q@x"))
            + QStringList{QStringLiteral("C: Stat <q@x>"), QStringLiteral("S: 223 x1 <q@x>")}
        << QStringList{} << QStringList{box + unreadable + QStringLiteral("223 x1 <q@x>")};
    QTest::newRow("an overview number that cannot be read")
        << readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                     QStringLiteral("223 1 <q@x>"), 1,
                     {line(QStringLiteral("2x"), QStringLiteral("A1"), QStringLiteral("<a1@y>")),
                      line(QStringLiteral("3"), QStringLiteral("A2"), QStringLiteral("<a2@y>"))})
        << QStringList{}
        << QStringList{box + unreadable
                       + line(QStringLiteral("2x"), QStringLiteral("A1"), QStringLiteral("<a1@y>")).mid(3).left(80)};
    QTest::newRow("a body over the limit is skipped")
        << readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                     QStringLiteral("223 1 <q@x>"), 1,
                     {line(QStringLiteral("2"), QStringLiteral("A1"), QStringLiteral("<a1@y>")),
                      line(QStringLiteral("3"), QStringLiteral("A2"), QStringLiteral("<a2@y>"))})
            + body(2, {QStringLiteral("0123456789"), QStringLiteral("0123456789")}) + body(3, {QStringLiteral("kept")})
        << QStringList{QStringLiteral("A2")}
        << QStringList{box + QStringLiteral("The body of article 2 is larger than 20 bytes; it was skipped.")};
    QTest::newRow("an overview over the limit")
        << readGroup(QStringLiteral("g.one"), QStringLiteral("3 1 3"), QStringLiteral("q@x"),
                     QStringLiteral("223 1 <q@x>"), 1,
                     {line(QStringLiteral("1"), QStringLiteral("A0"), QStringLiteral("<a0@y>")),
                      line(QStringLiteral("2"), QStringLiteral("A1"), QStringLiteral("<a1@y>")),
                      line(QStringLiteral("3"), QStringLiteral("A2"), QStringLiteral("<a2@y>"))})
        << QStringList{}
        << QStringList{box + QStringLiteral("The server sent more than 2 overview lines; the group was not read.")};
}

void tst_RetrievalRun::hostileServer()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, boxes);
    Retrieval r(kQuestion);
    NewsClientLimits limits = NewsAccess::of(*r.dm).client().limits();
    limits.maxBodyBytes = 20;
    limits.maxOverviewLines = 2;
    NewsAccess::of(*r.dm).client().setLimits(limits);
    r.server.addScript(greeting() + script + kQuit);
    r.run->RetrieveAnswers();
    QVERIFY2(r.server.waitForScripts(), qPrintable(r.server.failure()));
    QCOMPARE(r.rows(QStringLiteral("SELECT Subject FROM Article WHERE Code > 10 ORDER BY Code")), stored);
    QCOMPARE(r.ui.boxTexts(), boxes);
}
