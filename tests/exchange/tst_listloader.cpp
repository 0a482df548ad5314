// The newsgroup list loader without its window: what reaches Groups and
// GroupServer from real INN servers and from scripted ones that fail, what it
// shows, and that a failing or aborted server leaves the next one to load.

#include "exchange/listloader.h"
#include "store/rowset.h"
#include "tests/exchange/listloadfixture.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/freeport.h"
#include "tests/support/innserver.h"
#include "transport/clienterrors.h"

#include <QRegularExpression>
#include <QtTest>

#include <cerrno>

namespace {

const QString Opening = QStringLiteral("S: 200 hi\nC: mode reader\nS: 200 ok\n");
const QString Closing = QStringLiteral("C: Quit\n* closed");

// LIST, and after a list that was read to its end LIST NEWSGROUPS, here
// without a line.
QString listOf(const QStringList &names, bool readToItsEnd = true)
{
    QString script = QStringLiteral("C: List\nS: 215 list follows\n");
    for (const QString &name : names)
        script += QStringLiteral("S: %1 0000000002 0000000001 y\n").arg(name);
    script += QStringLiteral("S: .\n");
    if (readToItsEnd)
        script += QStringLiteral("C: LIST NEWSGROUPS\nS: 215 Descriptions in form \"group description\".\nS: .\n");
    return script;
}

// The names the dialog's filtered list holds with an empty filter, as a row set.
RowSet allGroups(Tdm &dm)
{
    RowSet groups(dm.MainConnection(),
                  QStringLiteral("SELECT * FROM groups WHERE GroupName Like :subs ORDER BY GROUPNAME"));
    groups.setParam(QStringLiteral("subs"), QStringLiteral("%%"));
    groups.open();
    return groups;
}

QStringList withServer(const QStringList &names, int server)
{
    QStringList links;
    for (const QString &name : names)
        links << name + QLatin1Char('|') + QString::number(server);
    return links;
}

// Two loads as quorbic-cli makes them: the names in the store known first,
// each load committed.
void loadTwiceAsTheToolDoes(Tdm &dm, RunUi &ui, ListLoadView &view)
{
    for (int load = 1; load <= 2; ++load) {
        NewsgroupListLoader loader(dm, ui, view, [] { return true; });
        loader.rememberStoredGroupNames();
        loader.loadAllServers();
        dm.commit();
    }
}

} // namespace

class TestListLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void twoServersShareGroupsAndRepeatedLoadsAddNothing();
    void realisticLoadOf100000Groups();
    void namesComparedWithoutCase();
    void serverFailures_data();
    void serverFailures();
    void abortStopsOnlyThatServer_data();
    void abortStopsOnlyThatServer();
    void emptyServerList();
    void descriptionsFromInn();
    void descriptionsFromOtherServers_data();
    void descriptionsFromOtherServers();
    void descriptionsChangedOnALaterLoad();
    void onlyValidNamesAreTaken_data();
    void onlyValidNamesAreTaken();
    void knownNamesReportedEvery512_data();
    void knownNamesReportedEvery512();

private:
    std::unique_ptr<InnServer> m_innA;
    std::unique_ptr<InnServer> m_innB;
};

void TestListLoader::initTestCase()
{
    InnServer::Options a;
    a.groups = {QStringLiteral("comp.lang.a"), QStringLiteral("shared.one"), QStringLiteral("shared.two")};
    a.generatedGroups = 97;
    m_innA = std::make_unique<InnServer>(a);
    QVERIFY2(m_innA->start(), qPrintable(m_innA->errorString()));
    InnServer::Options b;
    b.groups = {QStringLiteral("shared.one"), QStringLiteral("shared.two"), QStringLiteral("misc.b")};
    m_innB = std::make_unique<InnServer>(b);
    QVERIFY2(m_innB->start(), qPrintable(m_innB->errorString()));
}

void TestListLoader::twoServersShareGroupsAndRepeatedLoadsAddNothing()
{
    LoadStore store;
    const int a = store.addServer(m_innA->host(), m_innA->port());
    const int b = store.addServer(m_innB->host(), m_innB->port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    {
        NewsgroupListLoader loader(dm, ui, view, [] { return true; });
        loader.loadAllServers();
        QCOMPARE(loader.GroupCount(), 3);
    }
    dm.commit();
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(view.closedByItself, QList<bool>({true, true}));
    const QString host = m_innA->host();
    QCOMPARE(view.captions,
             QStringList({"Connecting to " + host + "...", "Loading Newsgroups from " + host + "...",
                          "Connecting to " + host + "...", "Loading Newsgroups from " + host + "..."}));
    // 100 lines from the first server, 3 from the second: the count shows 64 only.
    QCOMPARE(view.counts, QList<int>({64}));

    QCOMPARE(store.rows("SELECT GroupName FROM Groups WHERE GroupName NOT LIKE 'quorbic.many.%' ORDER BY GroupName"),
             QStringList({"comp.lang.a", "misc.b", "shared.one", "shared.two"}));
    QCOMPARE(store.count("Groups"), 101);
    QCOMPARE(store.rows("SELECT GroupName, Server FROM GroupServer JOIN Groups ON Groups.Code = Newsgroup "
                        "WHERE GroupName LIKE 'shared.%' ORDER BY GroupName, Server"),
             withServer({"shared.one"}, a) + withServer({"shared.one"}, b) + withServer({"shared.two"}, a)
                 + withServer({"shared.two"}, b));
    QCOMPARE(store.count("GroupServer"), 103);
    QCOMPARE(store.count("GroupServer WHERE Newsgroup NOT IN (SELECT Code FROM Groups)"), 0);

    // Loading again, as quorbic-cli does: the names in the store are known first.
    const QStringList groupsBefore = store.rows("SELECT Code, GroupName FROM Groups ORDER BY Code");
    const QStringList linksBefore = store.links();
    {
        NewsgroupListLoader loader(dm, ui, view, [] { return true; });
        loader.rememberStoredGroupNames();
        QCOMPARE(loader.groupNames().size(), 101);
        loader.loadAllServers();
    }
    dm.commit();
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(store.rows("SELECT Code, GroupName FROM Groups ORDER BY Code"), groupsBefore);
    QCOMPARE(store.links(), linksBefore);
}

void TestListLoader::descriptionsFromInn()
{
    InnServer::Options options;
    options.groups = {QStringLiteral("comp.lang.c"), QStringLiteral("sci.physics.research")};
    options.descriptions
        = {{QStringLiteral("comp.lang.c"), QStringLiteral("Discussion about C.")},
           {QStringLiteral("sci.physics.research"), QStringLiteral("Current physics research. (Moderated)")}};
    InnServer inn(options);
    QVERIFY2(inn.start(), qPrintable(inn.errorString()));
    LoadStore store;
    store.addServer(inn.host(), inn.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    loadTwiceAsTheToolDoes(dm, ui, view);
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(store.rows("SELECT GroupName, Description FROM GroupDescriptions JOIN Groups ON Code = Newsgroup "
                        "ORDER BY GroupName"),
             QStringList(
                 {"comp.lang.c|Discussion about C.", "sci.physics.research|Current physics research. (Moderated)"}));
}

void TestListLoader::descriptionsFromOtherServers_data()
{
    QTest::addColumn<QString>("descriptions"); // the reply to LIST NEWSGROUPS; empty: not asked
    QTest::addColumn<bool>("table");
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("sn: blanks, one for a group no list names")
        << "S: 215 list follows\nS: comp.lang.c   Discussion about C.\nS: sci.math  Mathematical discussions.\n"
           "S: alt.unlisted   Not carried.\nS: .\n"
        << true << QStringList{"comp.lang.c|Discussion about C.", "sci.math|Mathematical discussions."};
    QTest::newRow("leafnode: a tab, a group without one")
        << "S: 215 Descriptions in form \"group description\".\nS: comp.lang.c\tDiscussion about C.\n"
           "S: sci.math\t\nS: .\n"
        << true << QStringList{"comp.lang.c|Discussion about C.", "sci.math|"};
    QTest::newRow("quotes, a backslash, a tab and a bell inside, 8-bit text")
        << "S: 215 Descriptions in form \"group description\".\n"
           "S: comp.lang.c\tThe \"C\" language \\ its\tlibrary.\x07\nS: sci.math\tMathematik f\u00fcr alle.\nS: .\n"
        << true
        << QStringList{"comp.lang.c|The \"C\" language \\ its\tlibrary.\x07", "sci.math|Mathematik f\u00fcr alle."};
    QTest::newRow("refused: names only, no box") << "S: 503 program error, function not performed\n"
                                                 << true << QStringList{};
    QTest::newRow("store without the table: not asked") << QString() << false << QStringList{};
}

void TestListLoader::descriptionsFromOtherServers()
{
    QFETCH(QString, descriptions);
    QFETCH(bool, table);
    QFETCH(QStringList, stored);

    FakeNewsServer fake;
    fake.addScript(Opening + listOf({"comp.lang.c", "sci.math"}, false)
                   + (descriptions.isEmpty() ? QString() : "C: LIST NEWSGROUPS\n" + descriptions) + Closing);
    LoadStore store;
    if (!table)
        store.store.exec("DROP TABLE GroupDescriptions");
    store.addServer(fake.host(), fake.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view, [] { return true; });
    loader.loadAllServers();
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    dm.commit();
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(view.closedByItself, QList<bool>{true});
    QCOMPARE(store.rows("SELECT GroupName FROM Groups ORDER BY GroupName"), QStringList({"comp.lang.c", "sci.math"}));
    if (table)
        QCOMPARE(store.rows("SELECT GroupName, Description FROM GroupDescriptions JOIN Groups ON Code = Newsgroup "
                            "ORDER BY GroupName"),
                 stored);
}

void TestListLoader::descriptionsChangedOnALaterLoad()
{
    // The second load keeps what is unchanged and takes a new description, a
    // change of letter case included.
    FakeNewsServer fake;
    const QString list = listOf({"comp.lang.c", "sci.math", "sci.physics"}, false) + "C: LIST NEWSGROUPS\n"
        + "S: 215 Descriptions in form \"group description\".\nS: comp.lang.c\tDiscussion about C.\n";
    fake.addScript(Opening + list + "S: sci.math\tMathematical discussions.\nS: .\n" + Closing);
    fake.addScript(Opening + list + "S: sci.math\tmathematical discussions.\nS: sci.physics\tPhysical laws.\nS: .\n"
                   + Closing);
    LoadStore store;
    store.addServer(fake.host(), fake.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    loadTwiceAsTheToolDoes(dm, ui, view);
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(store.rows("SELECT GroupName, Description FROM GroupDescriptions JOIN Groups ON Code = Newsgroup "
                        "ORDER BY GroupName"),
             QStringList({"comp.lang.c|Discussion about C.", "sci.math|mathematical discussions.",
                          "sci.physics|Physical laws."}));
}

void TestListLoader::realisticLoadOf100000Groups()
{
    InnServer::Options options;
    options.generatedGroups = 100000;
    InnServer inn(options);
    QVERIFY2(inn.start(), qPrintable(inn.errorString()));
    LoadStore store;
    const int server = store.addServer(inn.host(), inn.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    for (int load = 1; load <= 2; ++load) {
        NewsgroupListLoader loader(dm, ui, view, [] { return true; });
        RowSet groups = allGroups(dm);
        loader.rememberGroupNames(groups);
        loader.loadAllServers();
        QCOMPARE(loader.GroupCount(), 100001);
        QCOMPARE(loader.groupNames().size(), 100001);
        dm.commit();
        QCOMPARE(ui.boxTexts(), QStringList());
        QCOMPARE(store.count("Groups"), 100001);
        QCOMPARE(store.count(QStringLiteral("GroupServer WHERE Server = %1").arg(server)), 100001);
        QCOMPARE(store.rows("SELECT count(DISTINCT GroupName) FROM Groups"), QStringList({"100001"}));
    }
    // The count stops at the last multiple of 64 of each load; the known names
    // of the second load are reported while they are read.
    QCOMPARE(view.counts.last(), 100032 - 64);
    QCOMPARE(view.counts.size(), 2 * (100001 / 64));
    QCOMPARE(ui.status0.last(), QStringLiteral("Loaded 99840"));
    QCOMPARE(store.rows("SELECT GroupName FROM Groups WHERE GroupName LIKE '%g099999'"),
             QStringList({"quorbic.many.g099999"}));
}

void TestListLoader::namesComparedWithoutCase()
{
    FakeNewsServer fake;
    fake.addScript(Opening + listOf({"Comp.Lang.C", "NEW.group", "new.Group", "COMP.LANG.C", "DE.ärger"}) + Closing);
    LoadStore store;
    // The store folds only ASCII letters; the names known in memory fold all.
    store.store.exec("INSERT INTO Groups (GroupName) VALUES ('comp.lang.c'); "
                     "INSERT INTO Groups (GroupName) VALUES ('de.Ärger')");
    const int server = store.addServer(fake.host(), fake.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view, [] { return true; });
    RowSet groups = allGroups(dm);
    loader.rememberGroupNames(groups);
    loader.loadAllServers();
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    dm.commit();
    QCOMPARE(ui.boxTexts(), QStringList());
    // The first spelling seen is the one kept; every spelling links to it once.
    // A name with a letter beyond US-ASCII is no newsgroup name (RFC 5536
    // 3.1.4): skipped, so the stored "de.Ärger" gains no link.
    QCOMPARE(store.rows("SELECT Code, GroupName FROM Groups ORDER BY Code"),
             QStringList({"1|comp.lang.c", "2|de.Ärger", "3|NEW.group"}));
    QCOMPARE(store.links(), withServer({"comp.lang.c", "NEW.group"}, server));
    QCOMPARE(loader.skippedNames(), 1);
}

void TestListLoader::serverFailures_data()
{
    QTest::addColumn<QString>("first"); // "fake", "unresolved" or "closed port"
    QTest::addColumn<QString>("script"); // the first server's script
    QTest::addColumn<bool>("dialUp"); // the dial-up answer for the first server
    QTest::addColumn<QString>("storeSetup"); // statements run on the store before loading
    QTest::addColumn<QStringList>("boxes"); // "title|text" patterns; %server: "News Server host:port: " of the first
    QTest::addColumn<bool>("closedByItself"); // false: the window waits for the user
    QTest::addColumn<QStringList>("firstLinks");

    const QString quorbic = QStringLiteral("Quorbic\\|");
    const QString connectionError = QStringLiteral("Connection Error\\|");
    const QString named = connectionError + QStringLiteral("%server");
    const QString refuseBad
        = QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Groups WHEN NEW.GroupName = 'a.bad' "
                         "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
    const QString refuseLink
        = QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON GroupServer "
                         "WHEN NEW.Newsgroup = (SELECT Code FROM Groups WHERE GroupName = 'a.two') "
                         "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");

    QTest::newRow("list dropped midway") << "fake"
                                         << Opening + "C: List\nS: 215 list\nS: a.one 2 1 y\nS: a.two 2 1 y\n* close"
                                         << true << "" << QStringList{quorbic + "Connection Closed Gracefully\\."}
                                         << false << QStringList{"a.one", "a.two"};
    QTest::newRow("list refused, then disconnected")
        << "fake" << Opening + "C: List\nS: 503 program fault\n" + Closing << true << ""
        << QStringList{quorbic + "503 program fault\\."} << false << QStringList();
    QTest::newRow("server refuses the client")
        << "fake"
        << "S: 502 You have no permission to talk\n* closed" << true << ""
        << QStringList{named + "Connection explicitly refused by NNTP server\\."} << true << QStringList();
    QTest::newRow("server paused: no list, no message") << "fake"
                                                        << "S: 400 busy\nC: mode reader\nS: 400 busy\n" + Closing
                                                        << true << "" << QStringList() << true << QStringList();
    QTest::newRow("host not resolved") << "unresolved"
                                       << "" << true << ""
                                       << QStringList{connectionError + "The host nosuchhost\\.invalid is not resolved"}
                                       << false << QStringList();
    QTest::newRow("port closed") << "closed port"
                                 << "" << true << ""
                                 << QStringList{named
                                                + QRegularExpression::escape(
                                                    QStringLiteral("Socket Error # %1\n%2")
                                                        .arg(ECONNREFUSED)
                                                        .arg(SocketError::describe(ECONNREFUSED)))}
                                 << false << QStringList();
    QTest::newRow("dial-up declined: skipped without a message")
        << "fake"
        << "" << false << "" << QStringList() << true << QStringList();
    QTest::newRow("store refuses a group: list ends, client disconnected")
        << "fake" << Opening + listOf({"a.one", "a.bad", "a.three"}, false) + Closing << true << refuseBad
        << QStringList{quorbic + "refused by test.*"} << false << QStringList{"a.one"};
    // A refused link that the store does not hold (a full disk) is a failure
    // like any other; only a link the store holds already may be refused.
    QTest::newRow("store refuses a link: list ends, client disconnected")
        << "fake" << Opening + listOf({"a.one", "a.two", "a.three"}, false) + Closing << true << refuseLink
        << QStringList{quorbic + "refused by test.*"} << false << QStringList{"a.one"};
}

void TestListLoader::serverFailures()
{
    QFETCH(QString, first);
    QFETCH(QString, script);
    QFETCH(bool, dialUp);
    QFETCH(QString, storeSetup);
    QFETCH(QStringList, boxes);
    QFETCH(bool, closedByItself);
    QFETCH(QStringList, firstLinks);

    FakeNewsServer fakeA;
    if (!script.isEmpty())
        fakeA.addScript(script);
    FakeNewsServer fakeB;
    fakeB.addScript(Opening + listOf({"b.one", "a.one"}) + Closing);

    LoadStore store;
    QString hostA = fakeA.host();
    int portA = fakeA.port();
    if (first == QLatin1String("unresolved")) {
        hostA = QStringLiteral("nosuchhost.invalid");
        portA = 119;
    } else if (first == QLatin1String("closed port")) {
        portA = pickFreePort();
    }
    const int a = store.addServer(hostA, portA);
    const int b = store.addServer(fakeB.host(), fakeB.port());
    Tdm &dm = store.open();
    if (!storeSetup.isEmpty())
        dm.MainConnection().execDirect(storeSetup);

    RecordingRunUi ui;
    RecordingLoadView view;
    int dialUps = 0;
    NewsgroupListLoader loader(dm, ui, view, [&] { return ++dialUps > 1 || dialUp; });
    loader.loadAllServers();
    QVERIFY2(fakeA.waitForScripts(), qPrintable(fakeA.failure()));
    QVERIFY2(fakeB.waitForScripts(), qPrintable(fakeB.failure()));
    if (script.isEmpty())
        QCOMPARE(fakeA.connectionCount(), 0);
    dm.commit();

    const QStringList shown = ui.boxTexts();
    QCOMPARE(shown.size(), boxes.size());
    const QString serverA = QRegularExpression::escape(QStringLiteral("News Server %1:%2: ").arg(hostA).arg(portA));
    for (QString &box : boxes)
        box.replace(QStringLiteral("%server"), serverA);
    for (int i = 0; i < boxes.size(); ++i) {
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(boxes[i])).match(shown[i]).hasMatch(),
                 qPrintable(shown[i]));
        QCOMPARE(ui.boxes[i].icon, RunUi::Icon::Error);
    }
    QCOMPARE(view.closedByItself, QList<bool>({closedByItself, true}));
    QStringList expected = withServer(firstLinks, a) + withServer({"a.one", "b.one"}, b);
    expected.sort();
    QCOMPARE(store.links(), expected);
    // The second server found a.one in the store when the first had put it there.
    QCOMPARE(store.count("Groups WHERE GroupName = 'a.one'"), 1);
}

void TestListLoader::abortStopsOnlyThatServer_data()
{
    QTest::addColumn<int>("abortAtEvent"); // events: 1 connecting, 2 list requested, 3.. each line
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("firstLinks");

    const QStringList six{"a.1", "a.2", "a.3", "a.4", "a.5", "a.6"};
    QTest::newRow("abort while connecting: no list") << 1 << Opening + Closing << QStringList();
    // Seen while line 3 is handled: line 3 is stored, line 4 is answered with
    // the stop and still stored, the rest is not read.
    QTest::newRow("abort at the third line")
        << 5 << Opening + listOf(six, false) + Closing << QStringList{"a.1", "a.2", "a.3", "a.4"};
}

void TestListLoader::abortStopsOnlyThatServer()
{
    QFETCH(int, abortAtEvent);
    QFETCH(QString, script);
    QFETCH(QStringList, firstLinks);

    FakeNewsServer fakeA;
    fakeA.addScript(script);
    FakeNewsServer fakeB;
    fakeB.addScript(Opening + listOf({"b.1", "b.2", "b.3"}) + Closing);
    LoadStore store;
    const int a = store.addServer(fakeA.host(), fakeA.port());
    const int b = store.addServer(fakeB.host(), fakeB.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view, [] { return true; });
    loader.setEventInterval(0);
    ui.onEvents = [&] {
        if (ui.events == abortAtEvent)
            view.pressAbort();
    };
    loader.loadAllServers();
    QVERIFY2(fakeA.waitForScripts(), qPrintable(fakeA.failure()));
    QVERIFY2(fakeB.waitForScripts(), qPrintable(fakeB.failure()));
    dm.commit();
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(view.closedByItself, QList<bool>({true, true}));
    QCOMPARE(store.links(), withServer(firstLinks, a) + withServer({"b.1", "b.2", "b.3"}, b));
}

void TestListLoader::emptyServerList()
{
    LoadStore store;
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view, [] {
        QTest::qFail("no server, no dial-up check", __FILE__, __LINE__);
        return false;
    });
    loader.loadAllServers();
    QCOMPARE(ui.boxTexts(),
             QStringList({"Server list is empty|Please, select menu Tools>News Server and add a server"}));
    QCOMPARE(ui.boxes.value(0).icon, RunUi::Icon::Error);
    QVERIFY(view.closedByItself.isEmpty());
    QVERIFY(view.captions.isEmpty());
}

void TestListLoader::knownNamesReportedEvery512_data()
{
    QTest::addColumn<int>("groups");
    QTest::addColumn<QStringList>("statuses");
    QTest::newRow("511: nothing shown") << 511 << QStringList();
    QTest::newRow("1024: both multiples") << 1024 << QStringList({"Loaded 512", "Loaded 1024"});
    QTest::newRow("1300: the last multiple stays") << 1300 << QStringList({"Loaded 512", "Loaded 1024"});
}

void TestListLoader::knownNamesReportedEvery512()
{
    QFETCH(int, groups);
    QFETCH(QStringList, statuses);
    LoadStore store;
    store.store.exec(QStringLiteral("INSERT INTO Groups (GroupName) WITH RECURSIVE n(i) AS "
                                    "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                    "SELECT 'g.' || i FROM n")
                         .arg(groups));
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view);
    RowSet rows = allGroups(dm);
    loader.rememberGroupNames(rows);
    QCOMPARE(ui.status0, statuses);
    QCOMPARE(ui.events, statuses.size()); // events run with each report, so the window repaints
    QCOMPARE(loader.groupNames().size(), groups);
    QCOMPARE(loader.groupNames().code(QStringLiteral("G.1")), 1);
    QCOMPARE(loader.groupNames().code(QStringLiteral("g.%1").arg(groups)), groups);
}

QTEST_GUILESS_MAIN(TestListLoader)
#include "tst_listloader.moc"

void TestListLoader::onlyValidNamesAreTaken_data()
{
    QTest::addColumn<QString>("line"); // a script line: "S: ..." or "S> hex"
    QTest::addColumn<QString>("taken"); // the name stored, empty when skipped

    const auto bytes = [](const QByteArray &line) { return FakeNewsServer::sendBytesLine(line + "\r\n"); };
    QTest::newRow("plain") << "S: comp.lang.c 2 1 y"
                           << "comp.lang.c";
    QTest::newRow("one word") << "S: control 2 1 y"
                              << "control";
    QTest::newRow("signs RFC 5536 allows") << "S: comp.lang.c++ 2 1 y"
                                           << "comp.lang.c++";
    QTest::newRow("497 octets") << "S: " + QString(497, QLatin1Char('a')) + " 2 1 y" << QString(497, QLatin1Char('a'));
    QTest::newRow("quote and backslash") << "S: alt.\"quoted\\name 2 1 y"
                                         << "alt.\"quoted\\name";
    QTest::newRow("a comma would cross-post") << "S: sci.physics,alt.injected 2 1 y" << QString();
    QTest::newRow("NUL byte") << bytes(QByteArray("sci.phys\0ics 2 1 y", 19)) << QString();
    QTest::newRow("escape") << bytes("sci.\x1b[2Jphysics 2 1 y") << QString();
    QTest::newRow("DEL") << bytes("sci.physics\x7f 2 1 y") << QString();
    QTest::newRow("8-bit") << bytes("sci.\xc3\xa9migr\xc3\xa9 2 1 y") << QString();
    QTest::newRow("leading dot") << "S: ..sci.physics 2 1 y" << QString(); // ".sci.physics" once unstuffed
    QTest::newRow("trailing dot") << "S: sci.physics. 2 1 y" << QString();
    QTest::newRow("498 octets") << "S: " + QString(498, QLatin1Char('a')) + " 2 1 y" << QString();
    QTest::newRow("numbers that cannot be read") << "S: sci.physics many 1 y" << QString();
}

void TestListLoader::onlyValidNamesAreTaken()
{
    QFETCH(QString, line);
    QFETCH(QString, taken);

    FakeNewsServer fake;
    fake.addScript(Opening + QStringLiteral("C: List\nS: 215 list follows\nS: sci.chem 2 1 y\n") + line
                   + QStringLiteral("\nS: sci.bio 2 1 y\nS: .\nC: LIST NEWSGROUPS\nS: 503 not here\n") + Closing);
    LoadStore store;
    store.addServer(fake.host(), fake.port());
    Tdm &dm = store.open();
    RecordingRunUi ui;
    RecordingLoadView view;
    NewsgroupListLoader loader(dm, ui, view, [] { return true; });
    loader.loadAllServers();
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    dm.commit();

    QStringList expected{QStringLiteral("sci.bio"), QStringLiteral("sci.chem")};
    if (!taken.isEmpty())
        expected << taken;
    expected.sort();
    QCOMPARE(store.rows(QStringLiteral("SELECT GroupName FROM Groups ORDER BY GroupName")), expected);
    QCOMPARE(loader.GroupCount(), int(expected.size()));
    QCOMPARE(loader.skippedNames(), taken.isEmpty() ? 1 : 0);
    QVERIFY(!view.skipped.isEmpty());
    QCOMPARE(view.skipped.last(), taken.isEmpty() ? 1 : 0);
    QVERIFY(ui.boxes.isEmpty());
}
