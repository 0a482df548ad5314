// Posting against a real INN whose Perl hook runs a spam filter like those of
// public servers (EmpFilter): the 6th article with one body is refused as
// "EMP", and so is a cross-post to more than 10 groups. A question to 3, 8 and
// 20 groups in each posting mode; Post Again after the filter forgot its
// counts; a cross-post refused by the first server; answers to a cross-post.
// Each test starts the filter afresh.

#include "exchange/postagain.h"
#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/empfilter.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/scratchstore.h"

#include <QtTest>

#include <memory>

namespace {

const QString kSubject = QStringLiteral("Which integrator for a stiff system?");
const QString kBody = QStringLiteral("My system has eigenvalues from -1 to -1e6.\r\nWhich method would you use?");
const QString kEmp = QStringLiteral("441 437 EMP (md5)");
const QString kSent = QStringLiteral("SELECT MessageId FROM SentArticles WHERE GroupId > 0");

struct Run
{
    // Question 5 in the Outbox, filed under category 3 of the given groups.
    Run(const QString &servers, const QStringList &groups, bool crossPost)
    {
        QString sql = fill::account(1, QStringLiteral("Ann Asker"), QStringLiteral("ann@test.invalid"), {}) + servers
            + fill::category(3, 0, true, QStringLiteral("Numerics"))
            + QStringLiteral("INSERT INTO CategoryPosting (Category, CrossPost) VALUES (3, %1);")
                  .arg(crossPost ? -1 : 0)
            + fill::question(5, 1, 3, kSubject, kBody, 1);
        for (int i = 0; i < groups.size(); ++i)
            sql += fill::group(i + 1, groups.at(i)) + fill::groupCategory(i + 1, 3);
        store.exec(sql);
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
    }

    PostingRun::Outcome post()
    {
        view.clearRows();
        ui.boxes.clear();
        PostingRun run(*dm, ui, view, folders);
        run.setDialUpCheck([] { return true; });
        const PostingRun::Outcome outcome = run.run();
        errors = run.errorCount();
        return outcome;
    }

    QStringList rows(const QString &query) const { return store.rows(query); }
    int reached() const { return int(rows(kSent).size()); }
    int articles() const
    {
        const QStringList ids = rows(kSent);
        return int(QSet<QString>(ids.begin(), ids.end()).size());
    }

    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    RecordingPostingView view;
    RecordingFolders folders{0};
    int errors = 0;
};

QStringList groupNames(const QString &prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << prefix + QString::number(i).rightJustified(2, QLatin1Char('0'));
    return names;
}

// GroupServer rows: server carries groups 1..count.
QString carried(int server, int count)
{
    QString sql;
    for (int i = 1; i <= count; ++i)
        sql += fill::carries(server, i);
    return sql;
}

} // namespace

class tst_CrossPostOnline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void filterRefusesTheSixthCopyAndWideCrossPosts();
    void questionToManyGroups_data();
    void questionToManyGroups();
    void postAgainReachesTheRestWithoutRepeating();
    void refusedCrossPostGoesToTheNextServer();
    void answersToACrossPostAreFoundOnce();

private:
    int articleCount(const QString &group);

    std::unique_ptr<InnServer> m_inn;
    quint16 m_loginPort = 0;
};

void tst_CrossPostOnline::initTestCase()
{
    InnServer::Options options;
    options.groups.clear();
    for (int count : {3, 8, 20}) {
        options.groups += groupNames(QStringLiteral("sci.math.num-analysis.copies%1.g").arg(count), count);
        options.groups += groupNames(QStringLiteral("sci.math.num-analysis.cross%1.g").arg(count), count);
    }
    options.groups += groupNames(QStringLiteral("comp.lang.fortran.again.g"), 8);
    options.groups += groupNames(QStringLiteral("comp.lang.c.refused.g"), 4);
    options.groups += groupNames(QStringLiteral("sci.physics.answers.g"), 3);
    options.groups += groupNames(QStringLiteral("sci.math.filter.g"), 11);
    options.perlFilter = EmpFilter::perl();
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    // A reader that wants a login: it greets 200 and refuses the post.
    InnServer::ReaderOptions login;
    login.user = QStringLiteral("reader");
    login.password = QStringLiteral("secret");
    m_loginPort = m_inn->startReader(login);
    QVERIFY2(m_loginPort != 0, qPrintable(m_inn->errorString()));
}

void tst_CrossPostOnline::init()
{
    QVERIFY2(m_inn->reloadFilter(), qPrintable(m_inn->errorString()));
}

int tst_CrossPostOnline::articleCount(const QString &group)
{
    NntpProbe probe;
    if (!probe.open(m_inn->host(), m_inn->port()))
        return -1;
    return probe.command("GROUP " + group.toUtf8()).split(' ').value(1).toInt();
}

void tst_CrossPostOnline::filterRefusesTheSixthCopyAndWideCrossPosts()
{
    // The filter as another newsreader meets it.
    const QStringList names = groupNames(QStringLiteral("sci.math.filter.g"), 11);
    const auto article = [](const QString &groups, int n) {
        return "From: Expert <expert@test.invalid>\nNewsgroups: " + groups.toUtf8() + "\nSubject: Same\nMessage-ID: <f"
            + QByteArray::number(n) + "@expert.invalid>\n\nThe same text.\n";
    };
    QCOMPARE(m_inn->post(article(names.join(QLatin1Char(',')), 0)), QByteArray("441 437 Crosspost Limit Exceeded"));
    for (int n = 1; n <= 4; ++n)
        QVERIFY(m_inn->post(article(names.at(n), n)).startsWith("240"));
    QCOMPARE(m_inn->post(article(names.at(5), 5)), QByteArray("441 437 EMP (md5)"));
}

void tst_CrossPostOnline::questionToManyGroups_data()
{
    QTest::addColumn<int>("groups");
    QTest::addColumn<bool>("crossPost");
    QTest::addColumn<int>("reached");
    QTest::addColumn<int>("articles");
    QTest::addColumn<bool>("warned");
    QTest::newRow("3 groups, one copy each") << 3 << false << 3 << 3 << false;
    QTest::newRow("3 groups, one cross-post") << 3 << true << 3 << 1 << false;
    QTest::newRow("8 groups, one copy each") << 8 << false << 5 << 5 << true;
    QTest::newRow("8 groups, one cross-post") << 8 << true << 8 << 1 << false;
    QTest::newRow("20 groups, one copy each") << 20 << false << 5 << 5 << true;
    QTest::newRow("20 groups, cross-posts of 10") << 20 << true << 20 << 2 << false;
}

void tst_CrossPostOnline::questionToManyGroups()
{
    QFETCH(int, groups);
    QFETCH(bool, crossPost);
    QFETCH(int, reached);
    QFETCH(int, articles);
    QFETCH(bool, warned);
    const QStringList names
        = groupNames(QStringLiteral("sci.math.num-analysis.%1%2.g").arg(crossPost ? "cross" : "copies").arg(groups),
                     groups);
    Run r(fill::server(1, m_inn->host(), m_inn->port()) + carried(1, groups), names, crossPost);

    QCOMPARE(r.post(), PostingRun::Outcome::Finished);
    qInfo("%d groups, %s: %d reached with %d articles, %d refused%s", groups,
          crossPost ? "cross-post mode" : "one copy per group", r.reached(), r.articles(), r.errors,
          warned ? ", warned before the run" : "");
    QCOMPARE(r.reached(), reached);
    QCOMPARE(r.articles(), articles);
    QCOMPARE(!r.ui.boxes.isEmpty() && r.ui.boxes.first().icon == RunUi::Icon::Warning, warned);
    QCOMPARE(r.ui.boxes.size(), warned ? 1 : 0); // a refused post has no box
    QCOMPARE(r.errors, groups - reached);
    // The first groups in name order are reached; each of the rest is kept with the filter's reply.
    QStringList kept;
    for (int i = 0; i < groups; ++i) {
        QCOMPARE(articleCount(names.at(i)), i < reached ? 1 : 0);
        if (i >= reached)
            kept << QStringLiteral("5|") + names.at(i) + QStringLiteral("|") + kEmp;
    }
    QCOMPARE(r.rows(QStringLiteral("SELECT ArticleId, GroupName, Reply FROM UnpostedGroups ORDER BY GroupName")), kept);
    QCOMPARE(r.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("0")});
    if (crossPost) {
        // One article names its groups; retrieval finds it in each.
        QByteArray status;
        const QByteArray head = m_inn->fetch("HEAD " + r.rows(kSent).first().toUtf8(), &status);
        QVERIFY2(head.contains("Newsgroups: " + names.mid(0, 10).join(QLatin1Char(',')).toUtf8() + "\r\n"),
                 head.constData());
    }
}

void tst_CrossPostOnline::postAgainReachesTheRestWithoutRepeating()
{
    const QStringList names = groupNames(QStringLiteral("comp.lang.fortran.again.g"), 8);
    Run r(fill::server(1, m_inn->host(), m_inn->port()) + carried(1, 8), names, false);
    QCOMPARE(r.post(), PostingRun::Outcome::Finished);
    QCOMPARE(r.reached(), 5);
    QVERIFY(!PostAgain::possible(*r.dm, 6));
    QVERIFY(PostAgain::move(*r.dm, 5));
    QCOMPARE(r.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("1")});

    // Some hours later the server has forgotten the copies.
    QVERIFY2(m_inn->reloadFilter(), qPrintable(m_inn->errorString()));
    QCOMPARE(r.post(), PostingRun::Outcome::Finished);
    QStringList lines{kSubject};
    for (int i = 0; i < 8; ++i)
        lines << QStringLiteral("  %1 | ok | %2")
                     .arg(names.at(i),
                          i < 5 ? QStringLiteral("Successful (posted in an earlier run)")
                                : QStringLiteral("Successful"));
    QCOMPARE(r.view.lines(), lines);
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    for (const QString &group : names)
        QCOMPARE(articleCount(group), 1);
    QCOMPARE(r.reached(), 8);
    QCOMPARE(r.rows(QStringLiteral("SELECT Folder, Source FROM Article")),
             QStringList{QStringLiteral("0|") + names.join(QLatin1Char(','))});
    QCOMPARE(r.rows(QStringLiteral("SELECT * FROM UnpostedGroups")), QStringList{});
    QVERIFY(!PostAgain::possible(*r.dm, 5));
}

void tst_CrossPostOnline::refusedCrossPostGoesToTheNextServer()
{
    // The login reader comes first for every group; innd second.
    const QStringList names = groupNames(QStringLiteral("comp.lang.c.refused.g"), 4);
    Run r(fill::server(1, m_inn->host(), m_inn->port()) + fill::server(2, m_inn->host(), m_loginPort) + carried(2, 4)
              + carried(1, 4),
          names, true);
    QCOMPARE(r.post(), PostingRun::Outcome::Finished);
    QCOMPARE(r.ui.boxTexts(), QStringList{});
    QCOMPARE(r.errors, 1);
    QCOMPARE(r.reached(), 4);
    QCOMPARE(r.articles(), 1);
    for (const QString &group : names)
        QCOMPARE(articleCount(group), 1);
}

void tst_CrossPostOnline::answersToACrossPostAreFoundOnce()
{
    const QStringList names = groupNames(QStringLiteral("sci.physics.answers.g"), 3);
    Run r(fill::server(1, m_inn->host(), m_inn->port()) + carried(1, 3), names, true);
    QCOMPARE(r.post(), PostingRun::Outcome::Finished);
    QCOMPARE(r.articles(), 1);
    const QString question = r.rows(kSent).first();

    // One answer follows up in every group, one in the second group only.
    const auto answer = [&](const QString &groups, const QString &id) {
        return "From: Expert <expert@test.invalid>\nNewsgroups: " + groups.toUtf8()
            + "\nSubject: Re: " + kSubject.toUtf8() + "\nMessage-ID: " + id.toUtf8()
            + "\nReferences: " + question.toUtf8() + "\n\nA Rosenbrock method.\n";
    };
    QVERIFY(m_inn->post(answer(names.join(QLatin1Char(',')), QStringLiteral("<everywhere@expert.invalid>")))
                .startsWith("240"));
    QVERIFY(m_inn->post(answer(names.at(1), QStringLiteral("<second@expert.invalid>"))).startsWith("240"));

    RetrievalRun retrieval(*r.dm, r.ui, r.folders);
    retrieval.setDialUpCheck([] { return true; });
    retrieval.RetrieveAnswers();
    QCOMPARE(r.rows(QStringLiteral("SELECT Parent, Subject FROM Article WHERE Code <> 5 ORDER BY Code")),
             (QStringList{QStringLiteral("5|Re: ") + kSubject, QStringLiteral("5|Re: ") + kSubject}));
    QCOMPARE(r.rows(QStringLiteral("SELECT COUNT(*) FROM SentArticles WHERE MessageId IN "
                                   "('<everywhere@expert.invalid>', '<second@expert.invalid>')")),
             QStringList{QStringLiteral("2")});
}

QTEST_GUILESS_MAIN(tst_CrossPostOnline)
#include "tst_crosspostonline.moc"
