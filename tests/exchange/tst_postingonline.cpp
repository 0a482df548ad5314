// The posting run against a real INN: one innd and, on the same spool, a
// standalone reader as a second server, a reader that wants a login (it greets
// 200 and refuses the post), and the microsocks proxy. Which server carries
// which group is the store's GroupServer, as the list loader would have filled
// it. Every posted copy is read back from INN.

#include "exchange/postingrun.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/freeport.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/scratchstore.h"
#include "tests/support/socksproxy.h"
#include "transport/clienterrors.h"

#include <QtTest>

#include <cerrno>
#include <memory>

namespace {

const QString kUser = QStringLiteral("Ann Asker");
const QString kAddress = QStringLiteral("ann@test.invalid");
const QString kOrganization = QStringLiteral("Quorbic Tests");
const QString kBody = QStringLiteral("First line\r\n.a line with a leading dot\r\nlast line");

struct Run
{
    explicit Run(const QString &sql)
    {
        store.exec(fill::account(1, kUser, kAddress, kOrganization) + sql);
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        run = std::make_unique<PostingRun>(*dm, ui, view, folders);
        run->setDialUpCheck([] { return true; });
    }
    QStringList rows(const QString &query) const { return store.rows(query); }

    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    RecordingPostingView view;
    RecordingFolders folders{0};
    std::unique_ptr<PostingRun> run;
};

// The value of a header of an article as INN holds it ("" when absent).
QString header(const QByteArray &article, const QByteArray &name)
{
    const QByteArray head = article.left(article.indexOf("\r\n\r\n") + 2);
    for (const QByteArray &line : head.split('\n')) {
        if (line.startsWith(name + ": "))
            return QString::fromUtf8(line.mid(name.size() + 2).trimmed());
    }
    return QString();
}

QByteArray bodyOf(const QByteArray &article)
{
    return article.mid(article.indexOf("\r\n\r\n") + 4);
}

} // namespace

class tst_PostingOnline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void postsEveryGroupOnceAndTheArticlesReadBack();
    void refusedOnTheFirstServerPostedOnTheSecond();
    void downServerIsAskedOnceAndUncarriedGroupNotFound();
    void replyToARetrievedAnswerThroughTheProxy();
    void copyPendingFromAnEarlierRunIsPostedOnce_data();
    void copyPendingFromAnEarlierRunIsPostedOnce();

private:
    // Servers in the store: 1 innd, 2 the second reader, 3 the login reader,
    // 4 nothing listening, 5 innd reached through the proxy.
    QString servers() const;
    // Checks the copy recorded as messageId on INN; fails the test otherwise.
    void checkArticle(const QString &messageId, const QString &group, const QString &subject,
                      const QString &references);
    int articleCount(const QString &group);

    std::unique_ptr<InnServer> m_inn;
    std::unique_ptr<SocksProxy> m_proxy;
    quint16 m_secondPort = 0;
    quint16 m_loginPort = 0;
    quint16 m_downPort = 0;
};

void tst_PostingOnline::initTestCase()
{
    InnServer::Options options;
    options.groups = {"quorbic.a",  "quorbic.b",  "quorbic.shared",  "quorbic.c",        "quorbic.d1",
                      "quorbic.d2", "quorbic.d3", "quorbic.answers", "quorbic.pending1", "quorbic.pending2"};
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    m_secondPort = m_inn->startReader({});
    QVERIFY2(m_secondPort != 0, qPrintable(m_inn->errorString()));
    InnServer::ReaderOptions login;
    login.user = QStringLiteral("reader");
    login.password = QStringLiteral("secret");
    m_loginPort = m_inn->startReader(login);
    QVERIFY2(m_loginPort != 0, qPrintable(m_inn->errorString()));
    m_downPort = pickFreePort();
    m_proxy = std::make_unique<SocksProxy>(QStringLiteral("proxyuser"), QStringLiteral("proxypass"));
    QVERIFY2(m_proxy->start(), qPrintable(m_proxy->errorString()));
}

QString tst_PostingOnline::servers() const
{
    return fill::server(1, m_inn->host(), m_inn->port()) + fill::server(2, QStringLiteral("localhost"), m_secondPort)
        + fill::server(3, m_inn->host(), m_loginPort)
        // A host of its own: the failed-host list goes by host name.
        + fill::server(4, QStringLiteral("127.0.0.2"), m_downPort)
        + fill::proxiedServer(5, QStringLiteral("localhost"), m_inn->port(), m_proxy->host(), m_proxy->port(),
                              m_proxy->user(), m_proxy->password());
}

void tst_PostingOnline::checkArticle(const QString &messageId, const QString &group, const QString &subject,
                                     const QString &references)
{
    QByteArray status;
    const QByteArray article = m_inn->fetch("ARTICLE " + messageId.toUtf8(), &status);
    QVERIFY2(!article.isNull(), qPrintable(messageId + QStringLiteral(": ") + QString::fromUtf8(status)));
    QCOMPARE(header(article, "Message-ID"), messageId);
    QCOMPARE(header(article, "Newsgroups"), group);
    QCOMPARE(header(article, "Subject"), subject);
    QCOMPARE(header(article, "From"), QStringLiteral("\"Ann Asker\" <ann@test.invalid>"));
    QCOMPARE(header(article, "Organization"), kOrganization);
    QCOMPARE(header(article, "References"), references);
    QCOMPARE(header(article, "X-Newsreader"), QStringLiteral("Quorbic 1.0"));
    QCOMPARE(header(article, "Lines"), QStringLiteral("3"));
    QCOMPARE(bodyOf(article), kBody.toUtf8() + "\r\n");
}

int tst_PostingOnline::articleCount(const QString &group)
{
    NntpProbe probe;
    if (!probe.open(m_inn->host(), m_inn->port()))
        return -1;
    const QByteArray reply = probe.command("GROUP " + group.toUtf8());
    return reply.split(' ').value(1).toInt();
}

void tst_PostingOnline::postsEveryGroupOnceAndTheArticlesReadBack()
{
    // Question 10 under folder 1, whose categories 2 (a, shared) and 3
    // (shared, b) share a group; reply 11 to it names "A,B,,A".
    Run r(servers() + fill::group(1, QStringLiteral("quorbic.a")) + fill::group(2, QStringLiteral("quorbic.b"))
          + fill::group(3, QStringLiteral("quorbic.shared")) + fill::carries(1, 1) + fill::carries(2, 2)
          + fill::carries(1, 3) + fill::category(1, 0, false, QStringLiteral("Folder"))
          + fill::category(2, 1, true, QStringLiteral("One")) + fill::category(3, 1, true, QStringLiteral("Two"))
          + fill::groupCategory(1, 2) + fill::groupCategory(3, 2) + fill::groupCategory(3, 3)
          + fill::groupCategory(2, 3) + fill::question(10, 1, 1, QStringLiteral("Why is the sky blue?"), kBody, 1)
          + fill::reply(11, 1, 10, QStringLiteral("quorbic.a,quorbic.b,,quorbic.a"), QStringLiteral("Re: sky"), kBody,
                        1));
    QCOMPARE(r.run->run(), PostingRun::Outcome::Finished);
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.view.lines(),
             (QStringList{QStringLiteral("Why is the sky blue?"), QStringLiteral("  quorbic.a | ok | Successful"),
                          QStringLiteral("  quorbic.b | ok | Successful"),
                          QStringLiteral("  quorbic.shared | ok | Successful"), QStringLiteral("Re: sky"),
                          QStringLiteral("  quorbic.a | ok | Successful"),
                          QStringLiteral("  quorbic.b | ok | Successful")}));
    QCOMPARE(r.view.closeRequests, 1);
    QCOMPARE(r.rows(QStringLiteral("SELECT Code, Folder, Source FROM Article ORDER BY Code")),
             (QStringList{QStringLiteral("10|0|quorbic.a,quorbic.b,quorbic.shared"),
                          QStringLiteral("11|0|quorbic.a,quorbic.b")}));
    QCOMPARE(r.folders.ops, (QStringList{QStringLiteral("add 10 under 0"), QStringLiteral("add 11 under 10")}));

    const QStringList copies
        = r.rows(QStringLiteral("SELECT s.ArticleId, s.MessageId, s.ReferencesId, g.GroupName FROM SentArticles s, "
                                "Groups g WHERE g.Code=s.GroupId ORDER BY s.Code"));
    QCOMPARE(copies.size(), 5);
    QHash<QString, QString> questionCopy; // group -> Message-ID of the question's copy there
    for (const QString &row : copies) {
        const QStringList f = row.split(QLatin1Char('|'));
        const bool reply = f.at(0) == QLatin1String("11");
        if (!reply)
            questionCopy.insert(f.at(3), f.at(1));
        // A reply to the user's own question refers, in each group, to the copy there.
        const QString references = reply ? questionCopy.value(f.at(3)) : QString();
        QCOMPARE(f.at(2), references);
        checkArticle(f.at(1), f.at(3), reply ? QStringLiteral("Re: sky") : QStringLiteral("Why is the sky blue?"),
                     references);
    }
    QCOMPARE(articleCount(QStringLiteral("quorbic.shared")), 1);
    QCOMPARE(articleCount(QStringLiteral("quorbic.a")), 2);
    QCOMPARE(articleCount(QStringLiteral("quorbic.b")), 2);
}

void tst_PostingOnline::refusedOnTheFirstServerPostedOnTheSecond()
{
    // The login reader comes first for quorbic.c: it greets 200, and refuses
    // the post since the empty login it is then offered is not accepted.
    Run r(servers() + fill::group(1, QStringLiteral("quorbic.c")) + fill::carries(3, 1) + fill::carries(1, 1)
          + fill::reply(5, 1, 0, QStringLiteral("quorbic.c"), QStringLiteral("Refused first"), kBody, 1));
    QCOMPARE(r.run->run(), PostingRun::Outcome::Finished);
    QCOMPARE(r.ui.boxTexts(), QStringList{}); // a refused post has no box
    QCOMPARE(r.view.lines(),
             (QStringList{QStringLiteral("Refused first"), QStringLiteral("  quorbic.c | ok | Successful")}));
    QCOMPARE(r.run->errorCount(), 1);
    QCOMPARE(r.view.closeRequests, 0);
    const QStringList sent = r.rows(QStringLiteral("SELECT MessageId FROM SentArticles"));
    QCOMPARE(sent.size(), 1);
    checkArticle(sent.first(), QStringLiteral("quorbic.c"), QStringLiteral("Refused first"), QString());
    QCOMPARE(articleCount(QStringLiteral("quorbic.c")), 1);
}

void tst_PostingOnline::downServerIsAskedOnceAndUncarriedGroupNotFound()
{
    // Server 4 (nothing listening) comes first for d1, d2 and d3; innd carries them too.
    Run r(servers() + fill::group(1, QStringLiteral("quorbic.d1")) + fill::group(2, QStringLiteral("quorbic.d2"))
          + fill::group(3, QStringLiteral("quorbic.d3")) + fill::group(4, QStringLiteral("quorbic.nowhere"))
          + fill::carries(4, 1) + fill::carries(1, 1) + fill::carries(4, 2) + fill::carries(1, 2) + fill::carries(4, 3)
          + fill::carries(1, 3)
          + fill::reply(5, 1, 0, QStringLiteral("quorbic.d1,quorbic.d2,quorbic.d3,quorbic.nowhere"),
                        QStringLiteral("Down"), kBody, 1));
    r.run->run();
    QCOMPARE(r.ui.boxTexts(),
             QStringList{
                 QStringLiteral("News Server 127.0.0.2 |  Connection Error: News Server 127.0.0.2:%1: ").arg(m_downPort)
                 + SocketError(ECONNREFUSED).text()});
    QCOMPARE(r.view.lines(),
             (QStringList{QStringLiteral("Down"), QStringLiteral("  quorbic.d1 | ok | Successful"),
                          QStringLiteral("  quorbic.d2 | ok | Successful"),
                          QStringLiteral("  quorbic.d3 | ok | Successful"),
                          QStringLiteral("  quorbic.nowhere | failed | Error: The group is not found")}));
    QCOMPARE(r.run->errorCount(), 1);
    QCOMPARE(r.rows(QStringLiteral("SELECT Folder, Source FROM Article")),
             QStringList{QStringLiteral("0|quorbic.d1,quorbic.d2,quorbic.d3")});
    for (const QString &group :
         {QStringLiteral("quorbic.d1"), QStringLiteral("quorbic.d2"), QStringLiteral("quorbic.d3")})
        QCOMPARE(articleCount(group), 1);
}

void tst_PostingOnline::replyToARetrievedAnswerThroughTheProxy()
{
    // Message 20 is an answer retrieval stored, found in quorbic.answers.
    Run r(servers() + fill::group(1, QStringLiteral("quorbic.answers")) + fill::carries(5, 1)
          + fill::question(19, 0, 0, QStringLiteral("Q"), {}, 1, QStringLiteral("quorbic.answers"))
          + fill::reply(20, 0, 19, {}, QStringLiteral("Re: Q"), QStringLiteral("answer"), 0)
          + fill::sent(20, QStringLiteral("<answer.1@expert.invalid>"), QStringLiteral("<q.1@test.invalid>"), 1)
          + fill::reply(21, 1, 20, QStringLiteral("quorbic.answers"), QStringLiteral("Re: Re: Q"), kBody, 1));
    r.folders.nodes.insert(19, 0);
    r.folders.nodes.insert(20, 19);
    QCOMPARE(r.run->run(), PostingRun::Outcome::Finished);
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    const QString references = QStringLiteral("<q.1@test.invalid> <answer.1@expert.invalid>");
    const QStringList sent
        = r.rows(QStringLiteral("SELECT MessageId, ReferencesId FROM SentArticles WHERE ArticleId=21"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().section(QLatin1Char('|'), 1), references);
    checkArticle(sent.first().section(QLatin1Char('|'), 0, 0), QStringLiteral("quorbic.answers"),
                 QStringLiteral("Re: Re: Q"), references);
    QCOMPARE(r.folders.ops, QStringList{QStringLiteral("add 21 under 20")});
}

void tst_PostingOnline::copyPendingFromAnEarlierRunIsPostedOnce_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("serverTookIt"); // before the earlier run could read its 240
    QTest::newRow("the server took it") << "quorbic.pending1" << true;
    QTest::newRow("it never reached the server") << "quorbic.pending2" << false;
}

void tst_PostingOnline::copyPendingFromAnEarlierRunIsPostedOnce()
{
    QFETCH(QString, group);
    QFETCH(bool, serverTookIt);
    const QString messageId = QStringLiteral("<%1@test.invalid>").arg(group);
    // An earlier run recorded the copy as pending, sent it and never learnt
    // whether the server took it.
    Run r(servers() + fill::group(1, group) + fill::carries(1, 1)
          + fill::reply(5, 1, 0, group, QStringLiteral("Pending"), kBody, 1)
          + QStringLiteral("INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                           "VALUES (5, '%1', '', -1);")
                .arg(messageId));
    if (serverTookIt) {
        NntpProbe probe;
        QVERIFY(probe.open(m_inn->host(), m_inn->port()));
        QVERIFY(probe.command("POST").startsWith("340"));
        const QByteArray posted = probe.sendText("From: \"Ann Asker\" <ann@test.invalid>\nNewsgroups: " + group.toUtf8()
                                                 + "\nSubject: Pending\nMessage-ID: " + messageId.toUtf8() + "\n\n"
                                                 + kBody.toUtf8() + "\n");
        QVERIFY2(posted.startsWith("240"), posted.constData());
    }

    QCOMPARE(r.run->run(), PostingRun::Outcome::Finished);
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.view.lines(),
             (QStringList{QStringLiteral("Pending"),
                          QStringLiteral("  ") + group + QStringLiteral(" | ok | Successful")}));
    QCOMPARE(r.run->errorCount(), 0);
    QCOMPARE(r.rows(QStringLiteral("SELECT ArticleId, MessageId, GroupId FROM SentArticles")),
             QStringList{QStringLiteral("5|%1|1").arg(messageId)});
    QCOMPARE(articleCount(group), 1);
    QByteArray status;
    QVERIFY2(!m_inn->fetch("ARTICLE " + messageId.toUtf8(), &status).isNull(), status.constData());
}

QTEST_GUILESS_MAIN(tst_PostingOnline)
#include "tst_postingonline.moc"
