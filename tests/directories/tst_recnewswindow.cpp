// The loading window fmRecNewsgroup driven by the list loader, offscreen:
// Abort, Esc and the close box during a list, the window that waits for the user
// after a failure, and the count that stays between servers.

#include "exchange/listloader.h"
#include "directories/recnews.h"
#include "tests/exchange/listloadfixture.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/innserver.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

const QString Opening = QStringLiteral("S: 200 hi\nC: mode reader\nS: 200 ok\n");
const QString Closing = QStringLiteral("C: Quit\n* closed");

QStringList names(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << prefix + QString::number(i);
    return list;
}

QString listOf(const QStringList &groups)
{
    QString script = QStringLiteral("C: List\nS: 215 list follows\n");
    for (const QString &name : groups)
        script += QStringLiteral("S: %1 2 1 y\n").arg(name);
    return script + QStringLiteral("S: .\n");
}

QString text(const QWidget &window, const char *label)
{
    const QLabel *found = window.findChild<QLabel *>(QLatin1String(label));
    return found ? found->text() : QStringLiteral("<no %1>").arg(QLatin1String(label));
}

// A RunUi as a window has it: events really run. Boxes are recorded, not shown.
class WindowRunUi : public RecordingRunUi
{
public:
    WindowRunUi()
    {
        onEvents = [this] {
            if (beforeEvents)
                beforeEvents();
            QCoreApplication::processEvents();
        };
    }
    std::function<void()> beforeEvents;
};

} // namespace

class TestRecNewsWindow : public QObject
{
    Q_OBJECT

private slots:
    void abortInFirstServerLeavesSecondInFull();
    void userActionsDuringAList_data();
    void userActionsDuringAList();
    void failureKeepsTheWindowUntilClosed_data();
    void failureKeepsTheWindowUntilClosed();
    void countStaysBetweenServers();
};

void TestRecNewsWindow::abortInFirstServerLeavesSecondInFull()
{
    InnServer::Options bigOptions;
    bigOptions.generatedGroups = 20000;
    InnServer big(bigOptions);
    QVERIFY2(big.start(), qPrintable(big.errorString()));
    InnServer::Options smallOptions;
    smallOptions.groups = {QStringLiteral("small.one"), QStringLiteral("small.two"), QStringLiteral("small.three")};
    InnServer small(smallOptions);
    QVERIFY2(small.start(), qPrintable(small.errorString()));

    LoadStore store;
    const int a = store.addServer(big.host(), big.port());
    const int b = store.addServer(small.host(), small.port());
    Tdm &dm = store.open();
    WindowRunUi ui;
    TfmRecNewsgroup window;
    NewsgroupListLoader loader(dm, ui, window, [] { return true; });
    int countAtAbort = -1;
    ui.beforeEvents = [&] {
        // Abort once the first server's count has shown.
        if (countAtAbort < 0 && text(window, "lbCount") != QLatin1String("0")) {
            countAtAbort = text(window, "lbCount").toInt();
            QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        }
    };
    loader.loadAllServers();
    dm.commit();

    QCOMPARE(ui.boxTexts(), QStringList());
    QVERIFY(!window.isVisible());
    const int firstLinks = store.count(QStringLiteral("GroupServer WHERE Server = %1").arg(a));
    QVERIFY2(countAtAbort >= 64 && firstLinks > countAtAbort && firstLinks < 20000,
             qPrintable(QStringLiteral("abort at %1, %2 links").arg(countAtAbort).arg(firstLinks)));
    QCOMPARE(store.rows(QStringLiteral("SELECT GroupName FROM Groups JOIN GroupServer ON Code = Newsgroup "
                                       "WHERE Server = %1 ORDER BY GroupName")
                            .arg(b)),
             QStringList({"small.one", "small.three", "small.two"}));
    // The second server's 3 lines never reach 64: the first server's last count stays.
    QCOMPARE(text(window, "lbCount").toInt() % 64, 0);
    QVERIFY(text(window, "lbCount").toInt() >= countAtAbort);
}

void TestRecNewsWindow::userActionsDuringAList_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("linksKept");
    // The action comes while line 3 of 10 is handled: a stop is answered by line 4.
    QTest::newRow("Abort button stops the list") << "abort" << 4;
    QTest::newRow("Esc stops the list") << "esc" << 4;
    QTest::newRow("close box does not stop it") << "close" << 10;
}

void TestRecNewsWindow::userActionsDuringAList()
{
    QFETCH(QString, action);
    QFETCH(int, linksKept);

    FakeNewsServer fake;
    fake.addScript(Opening + listOf(names("a.", 10)) + Closing);
    LoadStore store;
    store.addServer(fake.host(), fake.port());
    Tdm &dm = store.open();
    WindowRunUi ui;
    TfmRecNewsgroup window;
    NewsgroupListLoader loader(dm, ui, window, [] { return true; });
    loader.setEventInterval(0);
    QString captionDuringList;
    ui.beforeEvents = [&] {
        if (loader.GroupCount() != 3 || !captionDuringList.isEmpty())
            return;
        captionDuringList = window.windowTitle();
        if (action == QLatin1String("abort"))
            window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        else if (action == QLatin1String("esc"))
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QVERIFY(window.isVisible()); // it closes once the server's work is over
    };
    loader.loadAllServers();
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    dm.commit();
    QCOMPARE(captionDuringList, "Loading Newsgroups from " + fake.host() + "...");
    QCOMPARE(store.count("GroupServer"), linksKept);
    QVERIFY(!window.isVisible());
}

void TestRecNewsWindow::failureKeepsTheWindowUntilClosed_data()
{
    QTest::addColumn<bool>("unresolved");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<QString>("waitingCaption");
    QTest::newRow("host not resolved, closed with Abort")
        << true << ""
        << "Connection Error|The host nosuchhost.invalid is not resolved"
        << "abort"
        << "Connecting to nosuchhost.invalid...";
    QTest::newRow("list dropped, closed with the close box")
        << false << Opening + "C: List\nS: 215 list\nS: a.1 2 1 y\n* close"
        << "Quorbic|Connection Closed Gracefully."
        << "close"
        << "Loading Newsgroups from 127.0.0.1...";
}

void TestRecNewsWindow::failureKeepsTheWindowUntilClosed()
{
    QFETCH(bool, unresolved);
    QFETCH(QString, script);
    QFETCH(QString, box);
    QFETCH(QString, closeWith);
    QFETCH(QString, waitingCaption);

    FakeNewsServer first;
    if (!script.isEmpty())
        first.addScript(script);
    FakeNewsServer second;
    second.addScript(Opening + listOf({"b.1", "b.2"}) + Closing);
    LoadStore store;
    if (unresolved)
        store.addServer(QStringLiteral("nosuchhost.invalid"), 119);
    else
        store.addServer(first.host(), first.port());
    const int b = store.addServer(second.host(), second.port());
    Tdm &dm = store.open();
    WindowRunUi ui;
    TfmRecNewsgroup window;
    NewsgroupListLoader loader(dm, ui, window, [] { return true; });

    // The user closes the window once the failure has been shown and the window
    // is still waiting; it must be waiting in vain for that to happen.
    QString captionWhileWaiting;
    QTimer user;
    user.setInterval(10);
    connect(&user, &QTimer::timeout, &window, [&] {
        if (ui.boxes.size() != 1 || !window.isVisible() || !captionWhileWaiting.isEmpty())
            return;
        captionWhileWaiting = window.windowTitle();
        if (closeWith == QLatin1String("abort"))
            window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        else
            window.close();
    });
    user.start();
    loader.loadAllServers();
    user.stop();
    QVERIFY2(first.waitForScripts(), qPrintable(first.failure()));
    QVERIFY2(second.waitForScripts(), qPrintable(second.failure()));
    dm.commit();

    QCOMPARE(ui.boxTexts(), QStringList({box}));
    QCOMPARE(captionWhileWaiting, waitingCaption);
    QCOMPARE(store.count(QStringLiteral("GroupServer WHERE Server = %1").arg(b)), 2);
    QVERIFY(!window.isVisible());
}

void TestRecNewsWindow::countStaysBetweenServers()
{
    FakeNewsServer first;
    first.addScript(Opening + listOf(names("a.", 100)) + Closing);
    FakeNewsServer second;
    second.addScript(Opening + listOf(names("b.", 10)) + Closing);
    LoadStore store;
    store.addServer(first.host(), first.port());
    store.addServer(second.host(), second.port());
    Tdm &dm = store.open();
    WindowRunUi ui;
    TfmRecNewsgroup window;
    NewsgroupListLoader loader(dm, ui, window, [] { return true; });
    QStringList countAfterFirst;
    loader.setEventInterval(0);
    ui.beforeEvents = [&] {
        if (window.windowTitle().startsWith(QLatin1String("Connecting to")) && loader.GroupCount() == 100)
            countAfterFirst << text(window, "lbCount");
    };
    loader.loadAllServers();
    QVERIFY2(first.waitForScripts(), qPrintable(first.failure()));
    QVERIFY2(second.waitForScripts(), qPrintable(second.failure()));
    QCOMPARE(countAfterFirst, QStringList({"64"}));
    QCOMPARE(text(window, "lbCount"), QStringLiteral("64"));
    QCOMPARE(text(window, "Label2"), QStringLiteral("b.10"));
    QCOMPARE(text(window, "Label1"), QStringLiteral("Received newsgroups: "));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("Abort"));
}

QTEST_MAIN(TestRecNewsWindow)
#include "tst_recnewswindow.moc"
