// The main window's status bar after a run: what posting did, and a retrieval
// that could not read its newsgroups says so, naming the server and port,
// instead of counting no new messages.

#include "shellfixture.h"

#include "exchange/postingtally.h"
#include "shell/mainactions.h"
#include "shell/program.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/freeport.h"
#include "transport/clienterrors.h"

#include <QAction>
#include <QTest>

#include <cerrno>

class tst_StatusFeedback : public QObject
{
    Q_OBJECT

private slots:
    void postingTallyText_data()
    {
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("newsgroups");
        QTest::addColumn<int>("failed");
        QTest::addColumn<bool>("aborted");
        QTest::addColumn<QString>("text");
        QTest::newRow("some failed") << 2 << 5 << 1 << false << "Posted 2 messages to 5 newsgroups; 1 newsgroup failed";
        QTest::newRow("one of each") << 1 << 1 << 0 << false << "Posted 1 message to 1 newsgroup";
        QTest::newRow("all failed") << 0 << 0 << 3 << false << "Posted 0 messages to 0 newsgroups; 3 newsgroups failed";
        QTest::newRow("aborted") << 1 << 2 << 0 << true << "Posted 1 message to 2 newsgroups; aborted";
    }
    void postingTallyText()
    {
        QFETCH(int, messages);
        QFETCH(int, newsgroups);
        QFETCH(int, failed);
        QFETCH(bool, aborted);
        QFETCH(QString, text);
        PostingTally tally;
        tally.messages = messages;
        tally.newsgroups = newsgroups;
        tally.failedNewsgroups = failed;
        tally.aborted = aborted;
        QCOMPARE(tally.text(), text);
    }

    void postingWritesTheStatusBar()
    {
        ScratchStore store;
        RecordingOpener opener;
        ModalWatcher boxes;
        QuorbicProgram program(opener, store.path());
        program.start();
        program.fmMain()->setStatusText(0, QStringLiteral("3 new messages"));
        program.fmMain()->actions().acSend->trigger();
        QCOMPARE(program.fmMain()->statusText(0), QStringLiteral("Nothing to post: the Outbox is empty"));
        program.shutdown();
    }

    void failedRetrievalSaysSo()
    {
        const quint16 closedPort = pickFreePort();
        ScratchStore store;
        store.exec(fill::server(1, QStringLiteral("127.0.0.1"), closedPort)
                   + fill::group(1, QStringLiteral("sci.physics")) + fill::carries(1, 1)
                   + fill::question(10, 0, 0, QStringLiteral("Entropy?"), {}, 0, QStringLiteral("sci.physics"))
                   + fill::sent(10, QStringLiteral("<q@example.org>"), QString(), 1));
        RecordingOpener opener;
        ModalWatcher boxes;
        QuorbicProgram program(opener, store.path());
        program.start();
        program.fmMain()->actions().acReceive->trigger();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("News Server 127.0.0.1"));
        QCOMPARE(program.fmMain()->statusText(0),
                 QStringLiteral("Retrieval failed: News Server 127.0.0.1:%1: %2")
                     .arg(closedPort)
                     .arg(SocketError::describe(ECONNREFUSED)));
        program.shutdown();
    }
};

QTEST_MAIN(tst_StatusFeedback)
#include "tst_statusfeedback.moc"
