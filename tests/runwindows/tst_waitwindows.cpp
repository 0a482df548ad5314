// Windows while a server is slow: a run that waits for a greeting or a reply
// lets the window's events run, so a timer in the window keeps firing, Abort
// ends the run within a second, and the time limits of the waits stay.

#include "exchange/listloader.h"
#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "directories/recnews.h"
#include "exchange/newsaccess.h"
#include "runwindows/sendgroup.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/scratchstore.h"
#include "transport/clienterrors.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

const QString Greeting = QStringLiteral("S: 200 news.example.org ready\nC: mode reader\nS: 200 ok\n");

// A window's own timer and the moment the test presses Abort: once the fake
// server has had its connection for a while (the client is inside its wait by
// then), the ticks so far are counted and Abort is pressed.
struct Stall
{
    explicit Stall(FakeNewsServer &server)
        : server(server)
    {
        QObject::connect(&windowTimer, &QTimer::timeout, [this] { ++ticks; });
        windowTimer.start(20);
    }

    // Called by a timer of the window's event loop every few milliseconds.
    void step(const std::function<void()> &pressAbort)
    {
        if (server.connectionCount() == 0 || abortPressed.isValid())
            return;
        if (!connected.isValid()) {
            connected.start();
            ticksAtConnection = ticks;
            return;
        }
        if (connected.elapsed() < 400)
            return;
        ticksWhileWaiting = ticks - ticksAtConnection;
        abortPressed.start();
        pressAbort();
    }

    FakeNewsServer &server;
    QTimer windowTimer;
    int ticks = 0;
    int ticksAtConnection = 0;
    int ticksWhileWaiting = -1;
    QElapsedTimer connected;
    QElapsedTimer abortPressed;
};

void slowIdleLimit(Tdm &dm)
{
    // Long enough that a wait which ignores Abort fails the one-second check.
    NewsClientLimits limits = NewsAccess::of(dm).client().limits();
    limits.idleTimeoutMs = 8000;
    NewsAccess::of(dm).client().setLimits(limits);
}

// A RunUi whose events really run, as a window's do; boxes are recorded.
class EventsRunUi : public RecordingUi
{
public:
    EventsRunUi()
    {
        onProcessEvents = [](int) { QCoreApplication::processEvents(); };
        onWaiting = [] { QCoreApplication::processEvents(); };
    }
};

} // namespace

class tst_WaitWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postingAbortInsideAWait_data();
    void postingAbortInsideAWait();
    void listLoadingAbortInsideAWait_data();
    void listLoadingAbortInsideAWait();
    void retrievalKeepsTheWindowAliveAndTheTimeLimit();
};

void tst_WaitWindows::postingAbortInsideAWait_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("server never greets") << QStringLiteral("* stall");
    QTest::newRow("server never answers POST") << Greeting + QStringLiteral("C: Post\n* stall");
}

void tst_WaitWindows::postingAbortInsideAWait()
{
    QFETCH(QString, script);
    FakeNewsServer server;
    server.addScript(script);
    ScratchStore store;
    store.exec(fill::server(1, server.host(), server.port()) + fill::account(1, "Ann", "ann@example.org", {})
               + fill::group(1, QStringLiteral("sci.physics")) + fill::group(2, QStringLiteral("sci.math"))
               + fill::carries(1, 1) + fill::carries(1, 2)
               + fill::reply(5, 1, 0, QStringLiteral("sci.physics,sci.math"), QStringLiteral("Re: Entropy"),
                             QStringLiteral("See Landau."), 1));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    slowIdleLimit(dm);
    RecordingFolders folders{1};
    TfmSendGroup window(dm, folders);
    window.run().setDialUpCheck([] { return true; });

    Stall stall(server);
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] { stall.step([&] { window.btnAbort()->click(); }); });
    driver.start(5);
    const int result = window.exec();
    const qint64 afterAbort = stall.abortPressed.isValid() ? stall.abortPressed.elapsed() : -1;

    QCOMPARE(result, int(TfmSendGroup::Abort));
    QVERIFY2(afterAbort >= 0 && afterAbort < 1000, qPrintable(QString::number(afterAbort)));
    QVERIFY2(stall.ticksWhileWaiting >= 5, qPrintable(QString::number(stall.ticksWhileWaiting)));
    // No box for a wait the user gave up; sci.math was never started; the
    // message stays in the Outbox.
    QCOMPARE(window.SendTree()->topLevelItem(0)->child(0)->text(1), QString());
    QCOMPARE(window.SendTree()->topLevelItem(0)->child(1)->text(1), QString());
    QCOMPARE(store.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{"1"});
    QCOMPARE(server.connectionCount(), 1);
}

void tst_WaitWindows::listLoadingAbortInsideAWait_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("groupsKept");
    QTest::newRow("server never greets") << QStringLiteral("* stall") << 0;
    QTest::newRow("list stops in the middle")
        << Greeting + QStringLiteral("C: List\nS: 215 list follows\nS: comp.lang.c 2 1 y\n* stall") << 1;
}

void tst_WaitWindows::listLoadingAbortInsideAWait()
{
    QFETCH(QString, script);
    QFETCH(int, groupsKept);
    FakeNewsServer server;
    server.addScript(script);
    ScratchStore store;
    store.exec(fill::server(1, server.host(), server.port()));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    slowIdleLimit(dm);
    EventsRunUi ui;
    TfmRecNewsgroup window;
    NewsgroupListLoader loader(dm, ui, window, [] { return true; });

    Stall stall(server);
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout,
                     [&] { stall.step([&] { window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click(); }); });
    driver.start(5);
    loader.loadAllServers();
    const qint64 afterAbort = stall.abortPressed.isValid() ? stall.abortPressed.elapsed() : -1;
    dm.commit();

    QVERIFY2(afterAbort >= 0 && afterAbort < 1000, qPrintable(QString::number(afterAbort)));
    QVERIFY2(stall.ticksWhileWaiting >= 5, qPrintable(QString::number(stall.ticksWhileWaiting)));
    QVERIFY(!window.isVisible());
    QCOMPARE(ui.boxTexts(), QStringList());
    QCOMPARE(store.rows(QStringLiteral("SELECT COUNT(*) FROM Groups")), QStringList{QString::number(groupsKept)});
}

void tst_WaitWindows::retrievalKeepsTheWindowAliveAndTheTimeLimit()
{
    // Retrieval has no Abort: its waits keep the window painted and still end
    // at the idle limit.
    FakeNewsServer server;
    server.addScript(QStringLiteral("* stall"));
    ScratchStore store;
    store.exec(fill::server(1, server.host(), server.port()) + fill::group(1, QStringLiteral("sci.physics"))
               + fill::carries(1, 1)
               + fill::question(10, 0, 0, QStringLiteral("Entropy?"), {}, 0, QStringLiteral("sci.physics"))
               + fill::sent(10, QStringLiteral("<q@example.org>"), QString(), 1));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    NewsClientLimits limits = NewsAccess::of(dm).client().limits();
    limits.idleTimeoutMs = 1500;
    NewsAccess::of(dm).client().setLimits(limits);
    EventsRunUi ui;
    RecordingFolders folders;
    RetrievalRun run(dm, ui, folders);
    run.setDialUpCheck([] { return true; });

    int ticks = 0;
    QTimer windowTimer;
    QObject::connect(&windowTimer, &QTimer::timeout, [&] { ++ticks; });
    windowTimer.start(20);
    QElapsedTimer clock;
    clock.start();
    run.RetrieveAnswers();
    const qint64 took = clock.elapsed();

    QVERIFY2(took >= 1400, qPrintable(QString::number(took)));
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QCOMPARE(ui.boxTexts(),
             QStringList{QStringLiteral("News Server 127.0.0.1 | Connection Error: ") + SocketError(ETIMEDOUT).text()});
}

QTEST_MAIN(tst_WaitWindows)
#include "tst_waitwindows.moc"
