// The posting run's cross-post mode against the scripted fake news server: one
// article per server naming its groups, ten at most; a refused article's
// groups going on together; a folder whose categories post in different
// modes; the warning before many separate copies; unreached groups kept for
// Post Again; a copy left pending looked for with STAT before it is posted,
// since some servers file a repeat twice.

#include "exchange/postagain.h"
#include "store/unpostedgroups.h"
#include "tests/exchange/postingfixture.h"

#include <QtTest>

namespace {

const QString kSubject = QStringLiteral("Which solver for stiff ODEs?");
const QString kBody = QStringLiteral("I need an implicit method.");
const QString kUnposted = QStringLiteral("SELECT ArticleId, GroupName, Reply FROM UnpostedGroups ORDER BY GroupName");
const QString kSent = QStringLiteral("SELECT ArticleId, MessageId, GroupId FROM SentArticles ORDER BY GroupId");

// The cross-post the run sends to groups as its n-th Message-ID.
NntpMessage crossPost(const QStringList &groups, int n)
{
    NntpMessage article = copy(kSubject, kBody, groups.first(), n);
    article.newsGroups = groups;
    return article;
}

QString crossPostMode(int category, bool on)
{
    return QStringLiteral("INSERT INTO CategoryPosting (Category, CrossPost) VALUES (%1, %2);")
        .arg(category)
        .arg(on ? -1 : 0);
}

// Groups 1..n named from names, all carried by server, in category 3; question 5 filed under it.
QString questionTo(const QStringList &names, int server = 1)
{
    QString sql = fill::category(3, 0, true, QStringLiteral("Numerics")) + fill::question(5, 1, 3, kSubject, kBody, 1);
    for (int i = 0; i < names.size(); ++i)
        sql += fill::group(i + 1, names.at(i)) + fill::carries(server, i + 1) + fill::groupCategory(i + 1, 3);
    return sql;
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i).rightJustified(2, QLatin1Char('0'));
    return names;
}

QStringList okLines(const QStringList &groups, const QString &result = QStringLiteral("Successful"))
{
    QStringList lines;
    for (const QString &group : groups)
        lines << QStringLiteral("  ") + group + QStringLiteral(" | ok | ") + result;
    return lines;
}

} // namespace

class tst_CrossPostRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneArticlePerServerAtMostTenGroups();
    void refusedArticleGoesTogetherToTheNextServer();
    void folderKeepsEachCategorysMode();
    void storeWithoutTheTablesPostsOneCopyPerGroup();
    void warnsBeforeManySeparateCopies_data();
    void warnsBeforeManySeparateCopies();
    void abortKeepsTheUntriedGroups();
    void postAgainOnlyForAnInboxMessageWithUnreachedGroups_data();
    void postAgainOnlyForAnInboxMessageWithUnreachedGroups();
    void pendingCopyIsLookedForFirst_data();
    void pendingCopyIsLookedForFirst();
};

void tst_CrossPostRun::oneArticlePerServerAtMostTenGroups()
{
    const QStringList groups = numbered(QStringLiteral("sci.math.num-analysis.part"), 12);
    Posting p(questionTo(groups) + crossPostMode(3, true));
    p.server.addScript(postConnection(crossPost(groups.mid(0, 10), 1)));
    p.server.addScript(postConnection(crossPost(groups.mid(10), 2)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.ui.boxTexts(), QStringList{});
    QCOMPARE(p.view.lines(), QStringList{kSubject} + okLines(groups));
    // One record per group, with the Message-ID of the article that reached it.
    QStringList sent;
    for (int i = 1; i <= 12; ++i)
        sent << QStringLiteral("5|%1|%2").arg(messageId(i <= 10 ? 1 : 2)).arg(i);
    QCOMPARE(p.rows(kSent), sent);
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder, Source FROM Article")),
             QStringList{QStringLiteral("0|") + groups.join(QLatin1Char(','))});
    QCOMPARE(p.rows(kUnposted), QStringList{});
    QCOMPARE(p.view.closeRequests, 1);
}

void tst_CrossPostRun::refusedArticleGoesTogetherToTheNextServer()
{
    // Server 1 comes first for all three; server 2 (the same fake server under
    // another name) carries two of them.
    const QStringList groups{QStringLiteral("sci.chem"), QStringLiteral("sci.chem.electrochem"),
                             QStringLiteral("sci.physics")};
    Posting p(questionTo(groups) + crossPostMode(3, true) + fill::server(2, QStringLiteral("localhost"), kFakePort)
              + fill::carries(2, 1) + fill::carries(2, 2));
    const QString emp = QStringLiteral("441 437 EMP (md5)");
    p.server.addScript(postConnection(crossPost(groups, 1), emp));
    p.server.addScript(postConnection(crossPost(groups.mid(0, 2), 2)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(),
             QStringList{kSubject} + okLines(groups.mid(0, 2))
                 + QStringList{QStringLiteral("  sci.physics | failed | ") + emp});
    QCOMPARE(p.run->errorCount(), 1);
    QCOMPARE(p.view.closeRequests, 0);
    QCOMPARE(p.rows(kSent),
             (QStringList{QStringLiteral("5|<m2@test.invalid>|1"), QStringLiteral("5|<m2@test.invalid>|2")}));
    // It reached some: to the Inbox, the group it missed kept with the reply.
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder, Source FROM Article")),
             QStringList{QStringLiteral("0|sci.chem,sci.chem.electrochem")});
    QCOMPARE(p.rows(kUnposted), QStringList{QStringLiteral("5|sci.physics|") + emp});
}

void tst_CrossPostRun::folderKeepsEachCategorysMode()
{
    // Folder 2 holds category 3 (one cross-post) and 4 (copies); sci.stat is
    // in both, and goes with the cross-post.
    Posting p(fill::category(2, 0, false, QStringLiteral("Science")) + fill::category(3, 2, true, QStringLiteral("A"))
              + fill::category(4, 2, true, QStringLiteral("B")) + crossPostMode(3, true) + crossPostMode(4, false)
              + fill::group(1, QStringLiteral("sci.math")) + fill::group(2, QStringLiteral("sci.stat"))
              + fill::group(3, QStringLiteral("comp.lang.fortran")) + fill::carries(1, 1) + fill::carries(1, 2)
              + fill::carries(1, 3) + fill::groupCategory(1, 3) + fill::groupCategory(2, 3) + fill::groupCategory(2, 4)
              + fill::groupCategory(3, 4) + fill::question(5, 1, 2, kSubject, kBody, 1));
    p.server.addScript(postConnection(crossPost({QStringLiteral("sci.math"), QStringLiteral("sci.stat")}, 1)));
    p.server.addScript(postConnection(copy(kSubject, kBody, QStringLiteral("comp.lang.fortran"), 2)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(), QStringList{kSubject} + okLines({"comp.lang.fortran", "sci.math", "sci.stat"}));
    QCOMPARE(p.rows(QStringLiteral("SELECT Source FROM Article")),
             QStringList{QStringLiteral("comp.lang.fortran,sci.math,sci.stat")});
}

void tst_CrossPostRun::storeWithoutTheTablesPostsOneCopyPerGroup()
{
    const QStringList groups{QStringLiteral("sci.math"), QStringLiteral("sci.stat")};
    Posting p(questionTo(groups + QStringList{QStringLiteral("sci.nowhere")}).replace(fill::carries(1, 3), QString()),
              1, StoreSchema::Tables::FirstDesignOnly);
    p.server.addScript(postConnection(copy(kSubject, kBody, groups.at(0), 1)));
    p.server.addScript(postConnection(copy(kSubject, kBody, groups.at(1), 2)));

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(),
             (QStringList{kSubject, QStringLiteral("  sci.math | ok | Successful"),
                          QStringLiteral("  sci.nowhere | failed | Error: The group is not found"),
                          QStringLiteral("  sci.stat | ok | Successful")}));
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("0")});
    QVERIFY(!PostAgain::possible(*p.dm, 5));
}

void tst_CrossPostRun::warnsBeforeManySeparateCopies_data()
{
    QTest::addColumn<int>("groups");
    QTest::addColumn<bool>("crossPosting");
    QTest::addColumn<bool>("warned");
    QTest::newRow("5 copies") << 5 << false << false;
    QTest::newRow("6 copies") << 6 << false << true;
    QTest::newRow("6 groups in one cross-post") << 6 << true << false;
}

void tst_CrossPostRun::warnsBeforeManySeparateCopies()
{
    QFETCH(int, groups);
    QFETCH(bool, crossPosting);
    QFETCH(bool, warned);
    Posting p(questionTo(numbered(QStringLiteral("comp.os.linux.part"), groups)) + crossPostMode(3, crossPosting));
    // Aborted where the run first lets events run after the warning: nothing is posted.
    p.ui.onProcessEvents = [&](int call) {
        if (call == 2)
            p.run->abort();
    };
    QCOMPARE(p.run->run(), PostingRun::Outcome::Aborted);
    const QStringList boxes = warned
        ? QStringList{QStringLiteral(
            "Quorbic | \"Which solver for stiff ODEs?\" goes to 127.0.0.1 as 6 separate copies of one text.\n\n"
            "Many news servers take at most 5 copies of one text and refuse the rest as spam (\"EMP\"). The "
            "newsgroups not reached are kept: Post Again sends the message to them later.\n"
            "One cross-post reaches every newsgroup at once: check \"Post as one cross-post\" for the category "
            "(Tools, Categories..., Edit).")}
        : QStringList{};
    QCOMPARE(p.ui.boxTexts(), boxes);
    if (warned)
        QVERIFY(p.ui.boxes.first().icon == RunUi::Icon::Warning);
    QCOMPARE(p.server.connectionCount(), 0);
}

void tst_CrossPostRun::abortKeepsTheUntriedGroups()
{
    const QStringList groups{QStringLiteral("sci.math"), QStringLiteral("sci.stat"), QStringLiteral("sci.physics")};
    Posting p(questionTo(groups));
    p.server.addScript(postConnection(copy(kSubject, kBody, QStringLiteral("sci.math"), 1)));
    // Abort while the first copy's row is finished.
    p.ui.onProcessEvents = [&](int call) {
        if (call == 3)
            p.run->abort();
    };
    QCOMPARE(p.run->run(), PostingRun::Outcome::Aborted);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("0")});
    QCOMPARE(p.rows(kUnposted),
             (QStringList{QStringLiteral("5|sci.physics|Not tried: posting was stopped"),
                          QStringLiteral("5|sci.stat|Not tried: posting was stopped")}));
    QVERIFY(PostAgain::possible(*p.dm, 5));
}

void tst_CrossPostRun::postAgainOnlyForAnInboxMessageWithUnreachedGroups_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<bool>("unreached");
    QTest::addColumn<bool>("possible");
    QTest::newRow("Inbox, one group unreached") << 0 << true << true;
    QTest::newRow("Inbox, every group reached") << 0 << false << false;
    QTest::newRow("Outbox") << 1 << true << false;
    QTest::newRow("Deleted messages") << 3 << true << false;
}

void tst_CrossPostRun::postAgainOnlyForAnInboxMessageWithUnreachedGroups()
{
    QFETCH(int, folder);
    QFETCH(bool, unreached);
    QFETCH(bool, possible);
    Posting p(fill::question(5, folder, 0, kSubject, kBody, 1, QStringLiteral("sci.math"))
              + (unreached ? QStringLiteral("INSERT INTO UnpostedGroups (ArticleId, GroupName, Reply) "
                                            "VALUES (5, 'sci.stat', '441 437 EMP (md5)');")
                           : QString()));
    QCOMPARE(PostAgain::possible(*p.dm, 5), possible);
    QCOMPARE(PostAgain::move(*p.dm, 5), possible);
    // Moved and durable, or left alone.
    QCOMPARE(p.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QString::number(possible ? 1 : folder)});
}

void tst_CrossPostRun::pendingCopyIsLookedForFirst_data()
{
    QTest::addColumn<bool>("serverHasIt");
    QTest::addColumn<bool>("crossPosting");
    QTest::newRow("one copy, the server has it") << true << false;
    QTest::newRow("one copy, the server lacks it") << false << false;
    QTest::newRow("a cross-post, the server has it") << true << true;
    QTest::newRow("a cross-post, the server lacks it") << false << true;
}

void tst_CrossPostRun::pendingCopyIsLookedForFirst()
{
    QFETCH(bool, serverHasIt);
    QFETCH(bool, crossPosting);
    // An earlier run sent <m9> to both groups and never read the answer. The
    // fake server takes whatever is posted, a repeat too, as sn does.
    const QStringList groups{QStringLiteral("sci.math"), QStringLiteral("sci.stat")};
    QString sql = questionTo(groups) + crossPostMode(3, crossPosting);
    for (int group : {1, 2})
        sql += fill::sent(5, messageId(9), {}, -group);
    Posting p(sql);
    const QStringList greeting{QStringLiteral("S: 200 fake news server ready (posting ok)"),
                               QStringLiteral("C: mode reader"), QStringLiteral("S: 200 reader mode"),
                               QStringLiteral("C: Stat <m9@test.invalid>")};
    const QString statReply
        = serverHasIt ? QStringLiteral("S: 223 0 <m9@test.invalid>") : QStringLiteral("S: 430 no such article");
    const QList<NntpMessage> articles = crossPosting
        ? QList<NntpMessage>{crossPost(groups, 9)}
        : QList<NntpMessage>{copy(kSubject, kBody, groups.at(0), 9), copy(kSubject, kBody, groups.at(1), 9)};
    for (const NntpMessage &article : articles) {
        if (serverHasIt) {
            p.server.addScript(greeting + QStringList{statReply, QStringLiteral("C: Quit")});
        } else {
            QStringList script = postConnection(article);
            script.insert(3, greeting.last());
            script.insert(4, statReply);
            p.server.addScript(script);
        }
    }

    QCOMPARE(p.run->run(), PostingRun::Outcome::Finished);
    QVERIFY2(p.server.waitForScripts(), qPrintable(p.server.failure()));
    QCOMPARE(p.view.lines(), QStringList{kSubject} + okLines(groups));
    QCOMPARE(p.rows(kSent),
             (QStringList{QStringLiteral("5|<m9@test.invalid>|1"), QStringLiteral("5|<m9@test.invalid>|2")}));
    QCOMPARE(p.ids, 0); // no new Message-ID
}

QTEST_GUILESS_MAIN(tst_CrossPostRun)
#include "tst_crosspostrun.moc"
