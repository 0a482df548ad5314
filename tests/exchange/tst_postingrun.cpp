// The posting run against the scripted fake news server: the exact traffic of
// each copy, what it records and moves, its result texts and boxes for every
// kind of failure, the failed-host list, Abort, and that what it records is
// committed at once.

#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "store/dmod.h"
#include "tests/exchange/postingfixture.h"
#include "tests/support/freeport.h"
#include "transport/clienterrors.h"

#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

const QString kSent
    = QStringLiteral("SELECT ArticleId, MessageId, ReferencesId, GroupId FROM SentArticles ORDER BY Code");

} // namespace

class tst_PostingRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void postsOneCopyPerGroupAndMovesTheMessage_data();
    void postsOneCopyPerGroupAndMovesTheMessage();
    void connectionFailure_data();
    void connectionFailure();
    void refusedPostGoesToTheNextServer_data();
    void refusedPostGoesToTheNextServer();
    void failedHostIsSkippedAndUncarriedGroupNotFound();
    void replyReferences_data();
    void replyReferences();
    void newsgroupList_data();
    void newsgroupList();
    void abort_data();
    void abort();
    void failureEndsTheRunAndTheNextRunDoesNotRepost_data();
    void failureEndsTheRunAndTheNextRunDoesNotRepost();
    void recordsAreCommittedWhileTheRunGoes();
    void nothingToPost_data();
    void nothingToPost();
    void secondRunIsRefusedWhileOneRuns();
    void storedInvalidGroupNameIsNotPosted();
};

void tst_PostingRun::postsOneCopyPerGroupAndMovesTheMessage_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<QStringList>("treeOps");
    QTest::newRow("Inbox on view") << 0 << QStringList{QStringLiteral("add 5 under 0")};
    QTest::newRow("Outbox on view") << 1 << QStringList{QStringLiteral("delete 5")};
    QTest::newRow("Drafts on view") << 2 << QStringList{};
}

void tst_PostingRun::postsOneCopyPerGroupAndMovesTheMessage()
{
    QFETCH(int, folder);
    QFETCH(QStringList, treeOps);
    // A question filed under category 3, whose groups are listed out of order.
    Posting p(fill::group(1, QStringLiteral("b.grp")) + fill::group(2, QStringLiteral("a.grp")) + fill::carries(1, 1)
                  + fill::carries(1, 2) + fill::category(3, 0, true, QStringLiteral("Cat")) + fill::groupCategory(1, 3)
                  + fill::groupCategory(2, 3)
                  + fill::question(5, 1, 3, QStringLiteral("What is X?"), QStringLiteral("Line one\r\n.dot line"), 1),
              folder);
    p.server.addScript(postConnection(
        copy(QStringLiteral("What is X?"), QStringLiteral("Line one\r\n.dot line"), QStringLiteral("a.grp"), 1)));
    p.server.addScript(postConnection(
        copy(QStringLiteral("What is X?"), QStringLiteral("Line one\r\n.dot line"), QStringLiteral("b.grp"), 2)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(),
             (QStringList{QStringLiteral("What is X?"), QStringLiteral("  a.grp | ok | Successful"),
                          QStringLiteral("  b.grp | ok | Successful")}));
    QCOMPARE(p.rows(kSent),
             (QStringList{QStringLiteral("5|<m1@test.invalid>||2"), QStringLiteral("5|<m2@test.invalid>||1")}));
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder, Source FROM Article WHERE Code=5")),
             QStringList{QStringLiteral("0|a.grp,b.grp")});
    QCOMPARE(p.folders.ops, treeOps);
    QCOMPARE(p.view.events,
             (QStringList{QStringLiteral("started"), QStringLiteral("message finished"),
                          QStringLiteral("ended without errors")}));
    QCOMPARE(p.view.closeRequests, 1);
    QCOMPARE(p.run->errorCount(), 0);
    QCOMPARE(p.ui.boxTexts(), QStringList{});
}

void tst_PostingRun::connectionFailure_data()
{
    QTest::addColumn<QStringList>("script"); // empty: nothing listens on the server's port
    QTest::addColumn<bool>("viaProxy");
    QTest::addColumn<bool>("triedAgain"); // for the second group, in the same run
    QTest::addColumn<QString>("result"); // "%server" stands for "News Server host:port: "
    QTest::addColumn<QString>("unhandledBox");

    QTest::newRow("greeting 502") << QStringList{QStringLiteral("S: 502 you may not talk")} << false << false
                                  << QStringLiteral(
                                         " Connection Error: %serverConnection explicitly refused by NNTP server.")
                                  << QString();
    QTest::newRow("nothing listening") << QStringList{} << false << false
                                       << QStringLiteral(" Connection Error: %server")
            + SocketError(ECONNREFUSED).text()
                                       << QString();
    QTest::newRow("closed before the greeting") << QStringList{QStringLiteral("* close")} << false << true
                                                << QStringLiteral("The server broke off the connection") << QString();
    QTest::newRow("greeting 201")
        << QStringList{QStringLiteral("S: 201 read only"), QStringLiteral("C: mode reader"),
                       QStringLiteral("S: 201 read only"), QStringLiteral("C: Quit")}
        << false << true
        << QStringLiteral(" Connected successfully. You only have read-only access. No posting is permitted.")
        << QString();
    QTest::newRow("greeting 400") << QStringList{QStringLiteral("S: 400 paused"), QStringLiteral("C: mode reader"),
                                                 QStringLiteral("S: 400 paused"), QStringLiteral("C: Quit")}
                                  << false << true << QStringLiteral(" The news service is temporarily unavailable.")
                                  << QString();
    QTest::newRow("login refused") << QStringList{QStringLiteral("S: 200 ready"), QStringLiteral("C: mode reader"),
                                                  QStringLiteral("S: 480 login first"),
                                                  QStringLiteral("C: AuthInfo User "),
                                                  QStringLiteral("S: 482 no such user")}
                                   << false << true << QStringLiteral(" 482 no such user") << QString();
    QTest::newRow("proxy offers no method")
        << QStringList{QStringLiteral("C> 05 01 02"), QStringLiteral("S> 05 ff")} << true << true
        << QStringLiteral(" Invalid socks authentication method.")
        << QStringLiteral("Quorbic | Unhandled error: Invalid socks authentication method.");
}

void tst_PostingRun::connectionFailure()
{
    QFETCH(QStringList, script);
    QFETCH(bool, viaProxy);
    QFETCH(bool, triedAgain);
    QFETCH(QString, result);
    QFETCH(QString, unhandledBox);

    FakeNewsServer proxy;
    const QString host = viaProxy ? QStringLiteral("news.invalid") : QStringLiteral("127.0.0.1");
    const int port = script.isEmpty() ? pickFreePort() : viaProxy ? 119 : kFakePort;
    // Server 2 fails; server 1 (the fake, unless server 2 is played by it) carries nothing here.
    const QString serverSql = viaProxy ? fill::proxiedServer(2, host, port, proxy.host(), proxy.port(), {}, {})
                                       : fill::server(2, host, port);
    Posting p(
        serverSql + fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp"))
        + fill::carries(2, 1) + fill::carries(2, 2)
        + fill::reply(5, 1, 0, QStringLiteral("a.grp,b.grp"), QStringLiteral("Re: X"), QStringLiteral("Body"), 1));
    const int namedPort = port == kFakePort ? p.server.port() : port;
    result.replace(QStringLiteral("%server"), QStringLiteral("News Server %1:%2: ").arg(host).arg(namedPort));
    FakeNewsServer &scripted = viaProxy ? proxy : p.server;
    if (!script.isEmpty()) {
        scripted.addScript(script);
        if (triedAgain)
            scripted.addScript(script);
    }

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    if (!script.isEmpty())
        QVERIFY2(scripted.waitForScripts(), qPrintable(scripted.failure()));
    const QString title = QStringLiteral("News Server ") + host + QStringLiteral(" | ");
    QStringList boxes;
    if (!unhandledBox.isEmpty())
        boxes << unhandledBox;
    boxes << title + result;
    if (triedAgain)
        boxes += boxes;
    QCOMPARE(p.ui.boxTexts(), boxes);
    QVERIFY(p.ui.boxes.last().icon == RunUi::Icon::Error);
    const QString second = triedAgain ? result : QStringLiteral("Error: no server could be reached");
    QCOMPARE(p.view.lines(),
             (QStringList{QStringLiteral("Re: X"), QStringLiteral("  a.grp | failed | ") + result,
                          QStringLiteral("  b.grp | failed | ") + second}));
    QCOMPARE(p.run->errorCount(), triedAgain ? 2 : 1);
    QCOMPARE(p.view.closeRequests, 0);
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{QStringLiteral("1")});
    QCOMPARE(p.rows(kSent), QStringList{});
}

void tst_PostingRun::refusedPostGoesToTheNextServer_data()
{
    QTest::addColumn<bool>("refusedBeforeTheArticle");
    QTest::newRow("440 to POST") << true;
    QTest::newRow("441 after the article") << false;
}

void tst_PostingRun::refusedPostGoesToTheNextServer()
{
    QFETCH(bool, refusedBeforeTheArticle);
    FakeNewsServer second;
    Posting p(fill::server(2, second.host(), second.port()) + fill::group(1, QStringLiteral("a.grp"))
              + fill::carries(1, 1) + fill::carries(2, 1)
              + fill::reply(5, 1, 0, QStringLiteral("a.grp"), QStringLiteral("Re: X"), QStringLiteral("Body"), 1));
    const QString refusal
        = refusedBeforeTheArticle ? QStringLiteral("440 posting not allowed") : QStringLiteral("441 435 Duplicate");
    if (refusedBeforeTheArticle) {
        p.server.addScript(QStringList{QStringLiteral("S: 200 ready"), QStringLiteral("C: mode reader"),
                                       QStringLiteral("S: 200 ok"), QStringLiteral("C: Post"),
                                       QStringLiteral("S: ") + refusal, QStringLiteral("C: Quit")});
    } else {
        p.server.addScript(
            postConnection(copy(QStringLiteral("Re: X"), QStringLiteral("Body"), QStringLiteral("a.grp"), 1), refusal));
    }
    // Each attempt gets a Message-ID of its own.
    second.addScript(postConnection(copy(QStringLiteral("Re: X"), QStringLiteral("Body"), QStringLiteral("a.grp"), 2)));

    p.run->run();
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QVERIFY2(second.waitForScripts(), qPrintable(second.failure()));
    QCOMPARE(p.view.lines(), (QStringList{QStringLiteral("Re: X"), QStringLiteral("  a.grp | ok | Successful")}));
    QCOMPARE(p.run->errorCount(), 1);
    QCOMPARE(p.ui.boxTexts(), QStringList{}); // a refused post has no box
    QCOMPARE(p.view.closeRequests, 0); // the error keeps the window open
    QCOMPARE(p.rows(kSent), QStringList{QStringLiteral("5|<m2@test.invalid>||1")});
}

void tst_PostingRun::failedHostIsSkippedAndUncarriedGroupNotFound()
{
    // Server 2 is down and carries a, b, c and d; the fake (server 1) carries b and c.
    const int downPort = pickFreePort();
    QString sql = fill::server(2, QStringLiteral("localhost"), downPort);
    const QStringList names{QStringLiteral("a.grp"), QStringLiteral("b.grp"), QStringLiteral("c.grp"),
                            QStringLiteral("d.grp"), QStringLiteral("e.grp")};
    for (int i = 0; i < names.size(); ++i)
        sql += fill::group(i + 1, names.at(i));
    sql += fill::carries(2, 1) + fill::carries(2, 2) + fill::carries(1, 2) + fill::carries(2, 3) + fill::carries(1, 3)
        + fill::carries(2, 4);
    Posting p(sql
              + fill::reply(5, 1, 0, names.join(QLatin1Char(',')), QStringLiteral("Re: X"), QStringLiteral("B"), 1));
    p.server.addScript(postConnection(copy(QStringLiteral("Re: X"), QStringLiteral("B"), QStringLiteral("b.grp"), 1)));
    p.server.addScript(postConnection(copy(QStringLiteral("Re: X"), QStringLiteral("B"), QStringLiteral("c.grp"), 2)));

    p.run->run();
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    const QString refused = QStringLiteral(" Connection Error: News Server localhost:%1: ").arg(downPort)
        + SocketError(ECONNREFUSED).text();
    QCOMPARE(p.ui.boxTexts(), QStringList{QStringLiteral("News Server localhost | ") + refused});
    QCOMPARE(p.view.lines(),
             (QStringList{QStringLiteral("Re: X"), QStringLiteral("  a.grp | failed | ") + refused,
                          QStringLiteral("  b.grp | ok | Successful"), QStringLiteral("  c.grp | ok | Successful"),
                          QStringLiteral("  d.grp | failed | Error: no server could be reached"),
                          QStringLiteral("  e.grp | failed | Error: The group is not found")}));
    QCOMPARE(p.run->errorCount(), 1);
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder, Source FROM Article WHERE Code=5")),
             QStringList{QStringLiteral("0|b.grp,c.grp")});
}

void tst_PostingRun::replyReferences_data()
{
    QTest::addColumn<QString>("parentSql"); // message 7 and its copies
    QTest::addColumn<QString>("newsgroup");
    QTest::addColumn<QString>("ownReferences");
    QTest::addColumn<QStringList>("expected"); // References per group, in the groups' order

    QTest::newRow("reply to a retrieved answer")
        << fill::sent(7, QStringLiteral("<a@x>"), QStringLiteral("<q@x>"), 1) << QStringLiteral("a.grp") << QString()
        << QStringList{QStringLiteral("<q@x> <a@x>")};
    QTest::newRow("reply to the user's question in two groups")
        << fill::sent(7, QStringLiteral("<q1@x>"), QString(), 1) + fill::sent(7, QStringLiteral("<q2@x>"), QString(), 2)
        << QStringLiteral("b.grp,a.grp") << QString()
        << QStringList{QStringLiteral("<q1@x>"), QStringLiteral("<q2@x>")};
    QTest::newRow("parent without a copy in the group")
        << fill::sent(7, QStringLiteral("<q1@x>"), QString(), 1) << QStringLiteral("a.grp,b.grp")
        << QStringLiteral("<old@x> <older@x>")
        << QStringList{QStringLiteral("<q1@x>"), QStringLiteral("<old@x> <older@x>")};
}

void tst_PostingRun::replyReferences()
{
    QFETCH(QString, parentSql);
    QFETCH(QString, newsgroup);
    QFETCH(QString, ownReferences);
    QFETCH(QStringList, expected);
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp")) + fill::carries(1, 1)
                  + fill::carries(1, 2) + fill::question(7, 0, 0, QStringLiteral("Q"), QStringLiteral("q"), 1)
                  + parentSql
                  + fill::reply(5, 1, 7, newsgroup, QStringLiteral("Re: Q"), QStringLiteral("r"), 1, ownReferences),
              0);
    p.folders.nodes.insert(7, 0);
    const QStringList groups{QStringLiteral("a.grp"), QStringLiteral("b.grp")};
    QStringList sent;
    for (int i = 0; i < expected.size(); ++i) {
        p.server.addScript(
            postConnection(copy(QStringLiteral("Re: Q"), QStringLiteral("r"), groups.at(i), i + 1, expected.at(i))));
        sent << QStringLiteral("5|%1|%2|%3").arg(messageId(i + 1), expected.at(i)).arg(i + 1);
    }

    p.run->run();
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.rows(QStringLiteral("SELECT ArticleId, MessageId, ReferencesId, GroupId FROM SentArticles "
                                   "WHERE ArticleId=5 ORDER BY Code")),
             sent);
    QCOMPARE(p.folders.ops, QStringList{QStringLiteral("add 5 under 7")});
}

void tst_PostingRun::newsgroupList_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("reply: repeats and an empty piece")
        << fill::reply(5, 1, 0, QStringLiteral("b.grp,a.grp,,B.GRP"), QStringLiteral("S"), {}, 1)
        << QStringList{QStringLiteral("a.grp"), QStringLiteral("b.grp")};
    QTest::newRow("reply: blanks kept") << fill::reply(5, 1, 0, QStringLiteral(" a.grp"), QStringLiteral("S"), {}, 1)
                                        << QStringList{QStringLiteral(" a.grp")};
    // Folder 10 holds categories 11 (a, b) and 12 (b, c) and folder 13 with category 14 (a).
    QTest::newRow("question under a folder whose categories share groups")
        << fill::question(5, 1, 10, QStringLiteral("S"), {}, 1)
        << QStringList{QStringLiteral("a.grp"), QStringLiteral("b.grp"), QStringLiteral("c.grp")};
    QTest::newRow("question under a category that is gone")
        << fill::question(5, 1, 99, QStringLiteral("S"), {}, 1) << QStringList{};
}

void tst_PostingRun::newsgroupList()
{
    QFETCH(QString, message);
    QFETCH(QStringList, groups);
    // No server carries any group: the rows show the list without going on line.
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp"))
              + fill::group(3, QStringLiteral("c.grp")) + fill::category(10, 0, false, QStringLiteral("F"))
              + fill::category(11, 10, true, QStringLiteral("C1")) + fill::category(12, 10, true, QStringLiteral("C2"))
              + fill::category(13, 10, false, QStringLiteral("F2")) + fill::category(14, 13, true, QStringLiteral("C3"))
              + fill::groupCategory(1, 11) + fill::groupCategory(2, 11) + fill::groupCategory(2, 12)
              + fill::groupCategory(3, 12) + fill::groupCategory(1, 14) + message);
    p.run->run();
    QStringList expected{QStringLiteral("S")};
    for (const QString &group : groups)
        expected << QStringLiteral("  %1 | failed | Error: The group is not found").arg(group);
    QCOMPARE(p.view.lines(), expected);
    QCOMPARE(p.server.connectionCount(), 0);
    QCOMPARE(p.run->errorCount(), 0);
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{QStringLiteral("1")});
}

void tst_PostingRun::abort_data()
{
    QTest::addColumn<int>("abortAt"); // the processEvents call that sees the click
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message5");
    QTest::newRow("while the article is prepared")
        << 2 << QStringList{QStringLiteral("Q5"), QStringLiteral("  a.grp | - | "), QStringLiteral("  b.grp | - | ")}
        << QStringLiteral("1|NULL");
    QTest::newRow("while the first group is posted")
        << 3
        << QStringList{QStringLiteral("Q5"), QStringLiteral("  a.grp | ok | Successful"),
                       QStringLiteral("  b.grp | - | ")}
        << QStringLiteral("0|a.grp");
}

void tst_PostingRun::abort()
{
    QFETCH(int, abortAt);
    QFETCH(QStringList, lines);
    QFETCH(QString, message5);
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp")) + fill::carries(1, 1)
              + fill::carries(1, 2)
              + fill::reply(5, 1, 0, QStringLiteral("a.grp,b.grp"), QStringLiteral("Q5"), QStringLiteral("b"), 1)
              + fill::reply(6, 1, 0, QStringLiteral("a.grp"), QStringLiteral("Q6"), QStringLiteral("b"), 1));
    if (abortAt == 3)
        p.server.addScript(postConnection(copy(QStringLiteral("Q5"), QStringLiteral("b"), QStringLiteral("a.grp"), 1)));
    p.ui.onProcessEvents = [&](int call) {
        if (call == abortAt)
            p.run->abort();
    };

    QCOMPARE(p.run->run(), PostingRun::Outcome::Aborted);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(), lines); // message 6 is not started
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder, Source FROM Article ORDER BY Code")),
             (QStringList{message5, QStringLiteral("1|NULL")}));
    // No newsgroup failed: the window closes by itself, as after a whole run.
    QCOMPARE(p.view.events,
             (QStringList{QStringLiteral("started"), QStringLiteral("message finished"),
                          QStringLiteral("ended without errors")}));
}

void tst_PostingRun::failureEndsTheRunAndTheNextRunDoesNotRepost_data()
{
    // How the next run finds the copy whose confirmation never came: STAT
    // first, and a post only when the server lacks it.
    QTest::addColumn<QString>("statReply");
    QTest::addColumn<QString>("finalReply"); // empty: not posted again
    QTest::addColumn<QString>("bLine");
    QTest::addColumn<QStringList>("sentAfter");
    const QString m1 = QStringLiteral("5|<m1@test.invalid>||1");
    QTest::newRow("the server never got it")
        << "430 no such article"
        << "240 article posted ok"
        << "  b.grp | ok | Successful" << QStringList{m1, QStringLiteral("5|<m2@test.invalid>||2")};
    QTest::newRow("the server has it") << "223 0 <m2@test.invalid>" << QString() << "  b.grp | ok | Successful"
                                       << QStringList{m1, QStringLiteral("5|<m2@test.invalid>||2")};
    QTest::newRow("refused, and the server has no such article")
        << "430 no such article"
        << "441 posting failed"
        << "  b.grp | failed | 441 posting failed" << QStringList{m1, QStringLiteral("5|<m2@test.invalid>||-2")};
}

void tst_PostingRun::failureEndsTheRunAndTheNextRunDoesNotRepost()
{
    QFETCH(QString, statReply);
    QFETCH(QString, finalReply);
    QFETCH(QString, bLine);
    QFETCH(QStringList, sentAfter);
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp")) + fill::carries(1, 1)
              + fill::carries(1, 2)
              + fill::reply(5, 1, 0, QStringLiteral("a.grp,b.grp"), QStringLiteral("Re"), QStringLiteral("b"), 1));
    p.server.addScript(postConnection(copy(QStringLiteral("Re"), QStringLiteral("b"), QStringLiteral("a.grp"), 1)));
    // The server goes away while the second copy is being posted.
    p.server.addScript(QStringList{QStringLiteral("S: 200 ready"), QStringLiteral("C: mode reader"),
                                   QStringLiteral("S: 200 ok"), QStringLiteral("C: Post"), QStringLiteral("* close")});

    QCOMPARE(p.run->run(), PostingRun::Outcome::Failed);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.ui.boxTexts(), QStringList{QStringLiteral("Quorbic | Connection Closed Gracefully.")});
    QCOMPARE(p.view.closeRequests, 0);
    // Read through a connection of its own: what is recorded is committed. The
    // copy for b.grp was recorded before it was sent, as pending (group -2).
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{QStringLiteral("1")});
    QCOMPARE(p.rows(kSent),
             (QStringList{QStringLiteral("5|<m1@test.invalid>||1"), QStringLiteral("5|<m2@test.invalid>||-2")}));

    // The next run looks for the copy that is missing, and posts it with its
    // Message-ID only where the server lacks it.
    QStringList next{QStringLiteral("S: 200 ready"),    QStringLiteral("C: mode reader"),
                     QStringLiteral("S: 200 ok"),       QStringLiteral("C: Stat <m2@test.invalid>"),
                     QStringLiteral("S: ") + statReply, QStringLiteral("C: Quit")};
    if (!finalReply.isEmpty()) {
        next = postConnection(copy(QStringLiteral("Re"), QStringLiteral("b"), QStringLiteral("b.grp"), 2), finalReply);
        next.insert(3, QStringLiteral("C: Stat <m2@test.invalid>"));
        next.insert(4, QStringLiteral("S: ") + statReply);
    }
    p.server.addScript(next);
    p.run->run();
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.server.connectionCount(), 3);
    QCOMPARE(p.view.lines(),
             (QStringList{QStringLiteral("Re"), QStringLiteral("  a.grp | ok | Successful (posted in an earlier run)"),
                          bLine}));
    QCOMPARE(p.rows(kSent), sentAfter);
}

void tst_PostingRun::recordsAreCommittedWhileTheRunGoes()
{
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::carries(1, 1)
              + fill::reply(5, 1, 0, QStringLiteral("a.grp"), QStringLiteral("R5"), QStringLiteral("b"), 1)
              + fill::reply(6, 1, 0, QStringLiteral("a.grp"), QStringLiteral("R6"), QStringLiteral("b"), 1));
    p.server.addScript(postConnection(copy(QStringLiteral("R5"), QStringLiteral("b"), QStringLiteral("a.grp"), 1)));
    p.server.addScript(postConnection(copy(QStringLiteral("R6"), QStringLiteral("b"), QStringLiteral("a.grp"), 2)));
    // What another connection to the file sees at each pause of the run.
    QStringList seen;
    p.ui.onProcessEvents = [&](int call) {
        seen << QStringLiteral("%1: %2 / %3")
                    .arg(call)
                    .arg(p.rows(QStringLiteral("SELECT ArticleId FROM SentArticles")).join(QLatin1Char(',')),
                         p.rows(QStringLiteral("SELECT Folder FROM Article ORDER BY Code")).join(QLatin1Char(',')));
    };
    p.run->run();
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(seen,
             (QStringList{QStringLiteral("1:  / 1,1"), // the run has started
                          QStringLiteral("2:  / 1,1"), // message 5 prepared
                          QStringLiteral("3: 5 / 1,1"), // its copy is recorded, before it moves
                          QStringLiteral("4: 5 / 0,1"), // message 6 prepared: 5 has moved
                          QStringLiteral("5: 5,6 / 0,1")}));
}

void tst_PostingRun::nothingToPost_data()
{
    QTest::addColumn<QString>("outbox");
    QTest::addColumn<bool>("goOnLine");
    QTest::newRow("empty Outbox") << fill::reply(5, 2, 0, QStringLiteral("a.grp"), QStringLiteral("draft"), {}, 1)
                                  << true;
    QTest::newRow("dial-up declined") << fill::reply(5, 1, 0, QStringLiteral("a.grp"), QStringLiteral("queued"), {}, 1)
                                      << false;
}

void tst_PostingRun::nothingToPost()
{
    QFETCH(QString, outbox);
    QFETCH(bool, goOnLine);
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::carries(1, 1) + outbox);
    int dialUpChecks = 0;
    p.run->setDialUpCheck([&] {
        ++dialUpChecks;
        return goOnLine;
    });
    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QCOMPARE(dialUpChecks, goOnLine ? 0 : 1); // no dial-up question for an empty Outbox
    QCOMPARE(p.server.connectionCount(), 0);
    QCOMPARE(p.view.lines(), QStringList{});
    QCOMPARE(p.view.closeRequests, 1);
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article")),
             QStringList{goOnLine ? QStringLiteral("2") : QStringLiteral("1")});
}

void tst_PostingRun::secondRunIsRefusedWhileOneRuns()
{
    Posting p(fill::group(1, QStringLiteral("a.grp"))
              + fill::reply(5, 1, 0, QStringLiteral("a.grp"), QStringLiteral("R"), {}, 1));
    RecordingUi otherUi;
    RecordingPostingView otherView;
    RecordingFolders otherFolders;
    QList<int> outcomes;
    p.ui.onProcessEvents = [&](int call) {
        if (call != 3)
            return;
        PostingRun posting(*p.dm, otherUi, otherView, otherFolders);
        RetrievalRun retrieval(*p.dm, otherUi, otherFolders);
        outcomes << int(posting.run()) << int(retrieval.RetrieveAnswers());
    };
    p.run->run();
    QCOMPARE(outcomes, (QList<int>{int(PostingRun::Outcome::Refused), int(RetrievalRun::Outcome::Refused)}));
    QCOMPARE(otherView.lines(), QStringList{});
    QCOMPARE(otherUi.status0, QStringList{}); // the refused retrieval did not even show a count
    // Once the run is over, the next one may start.
    RetrievalRun after(*p.dm, otherUi, otherFolders);
    after.setDialUpCheck([] { return false; });
    QCOMPARE(after.RetrieveAnswers(), RetrievalRun::Outcome::Finished);
}

QTEST_GUILESS_MAIN(tst_PostingRun)
#include "tst_postingrun.moc"

// A store from before names from lists were checked may hold a name with a
// comma: its copy is neither recorded nor sent, the other groups are posted.
void tst_PostingRun::storedInvalidGroupNameIsNotPosted()
{
    Posting p(fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("a.grp,alt.injected"))
              + fill::carries(1, 1) + fill::carries(1, 2) + fill::category(3, 0, true, QStringLiteral("Cat"))
              + fill::groupCategory(1, 3) + fill::groupCategory(2, 3)
              + fill::question(5, 1, 3, QStringLiteral("What is X?"), QStringLiteral("Body"), 1));
    p.server.addScript(
        postConnection(copy(QStringLiteral("What is X?"), QStringLiteral("Body"), QStringLiteral("a.grp"), 1)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.server.connectionCount(), 1);
    QCOMPARE(p.view.lines(),
             (QStringList{QStringLiteral("What is X?"), QStringLiteral("  a.grp | ok | Successful"),
                          QStringLiteral(
                              "  a.grp,alt.injected | failed | Error: this is not a valid newsgroup name")}));
    QCOMPARE(p.rows(kSent), QStringList{QStringLiteral("5|<m1@test.invalid>||1")});
    QCOMPARE(p.run->errorCount(), 1);
}
