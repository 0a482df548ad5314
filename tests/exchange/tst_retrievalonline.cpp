// Retrieval against a real INN: the whole road of one question (posted by the
// posting run, answered by an expert writing raw NNTP, retrieved, replied to,
// answered again, retrieved again), threads in one overview, a cross-posted
// answer, the start number from the Xref, a busy group read whole and then
// only what is new, a read-only server, a run with nothing to scan, and
// answers as real mail and news programs write them, kept with their headers
// and read as a reader should see them.

#include "articletext/storedanswer.h"
#include "exchange/certificatequestions.h"
#include "exchange/newsaccess.h"
#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "store/storeconnection.h"
#include "tests/support/answercorpus.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/scratchstore.h"

#include <QtTest>

#include <memory>

namespace {

// A store on the test's INN; posting and retrieval runs on it share one tree.
struct Store
{
    explicit Store(const QString &sql)
    {
        store.exec(fill::account(1, QStringLiteral("Ann Asker"), QStringLiteral("ann@test.invalid"), {}) + sql);
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
    }

    // Statements through the program's own connection, committed.
    void exec(const QString &sql)
    {
        for (const QString &statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!statement.trimmed().isEmpty())
                dm->MainConnection().execDirect(statement);
        }
        dm->checkpoint();
    }

    PostingRun::Outcome post()
    {
        RecordingPostingView view;
        PostingRun run(*dm, ui, view, folders);
        run.setDialUpCheck([] { return true; });
        return run.run();
    }

    // Runs a retrieval; returns its count text.
    QString retrieve()
    {
        RetrievalRun run(*dm, ui, folders);
        run.setDialUpCheck([] { return true; });
        run.RetrieveAnswers();
        return ui.status0.value(ui.status0.size() - 1);
    }

    QStringList rows(const QString &query) const { return store.rows(query); }

    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    RecordingFolders folders{0};
};

QByteArray article(const QString &groups, const QString &messageId, const QString &references, const QString &subject)
{
    QByteArray text = "From: Expert <expert@test.invalid>\nNewsgroups: " + groups.toUtf8()
        + "\nSubject: " + subject.toUtf8() + "\nMessage-ID: " + messageId.toUtf8() + "\n";
    if (!references.isEmpty())
        text += "References: " + references.toUtf8() + "\n";
    return text + "\n" + subject.toUtf8() + " body\n";
}

const QString kAnswers = QStringLiteral("SELECT Code, Parent, Folder, ArticleType, IsRead, Subject, Source "
                                        "FROM Article WHERE ArticleType=0 ORDER BY Code");

} // namespace

class tst_RetrievalOnline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void wholeRoadOfOneQuestion();
    void threadsInOneOverviewAndACrossPostedAnswer();
    void startNumberFromTheOldestRecord();
    void busyGroupReadWholeThenOnlyWhatIsNew();
    void readOnlyServerAndADeletedQuestion();
    void nothingToScanConnectsNowhere();
    void answersFromRealProgramsKeepTheirHeaders();

private:
    // Posts an article as another newsreader would; fails the test when INN refuses it.
    void expertPosts(const QString &groups, const QString &messageId, const QString &references,
                     const QString &subject);

    std::unique_ptr<InnServer> m_inn;
    quint16 m_readOnlyPort = 0;
    quint16 m_refusingPort = 0;
};

void tst_RetrievalOnline::initTestCase()
{
    InnServer::Options options;
    options.groups = {"quorbic.r1", "quorbic.r2", "quorbic.r3", "quorbic.r4", "quorbic.r5",
                      "quorbic.r6", "quorbic.r7", "quorbic.r8", "quorbic.r9", "sci.optics", "comp.mail.mime"};
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
    InnServer::ReaderOptions readOnly;
    readOnly.postingAllowed = false;
    m_readOnlyPort = m_inn->startReader(readOnly);
    QVERIFY2(m_readOnlyPort != 0, qPrintable(m_inn->errorString()));
    InnServer::ReaderOptions refusing;
    refusing.refuseAll = true;
    m_refusingPort = m_inn->startReader(refusing);
    QVERIFY2(m_refusingPort != 0, qPrintable(m_inn->errorString()));
}

void tst_RetrievalOnline::expertPosts(const QString &groups, const QString &messageId, const QString &references,
                                      const QString &subject)
{
    const QByteArray reply = m_inn->post(article(groups, messageId, references, subject));
    QVERIFY2(reply.startsWith("240"),
             qPrintable(messageId + QStringLiteral(": ") + QString::fromUtf8(reply) + m_inn->errorString()));
}

void tst_RetrievalOnline::wholeRoadOfOneQuestion()
{
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(1, QStringLiteral("quorbic.r1"))
            + fill::group(2, QStringLiteral("quorbic.r2")) + fill::carries(1, 1) + fill::carries(1, 2)
            + fill::category(1, 0, true, QStringLiteral("Sky")) + fill::groupCategory(1, 1) + fill::groupCategory(2, 1)
            + fill::question(10, 1, 1, QStringLiteral("Why blue?"), QStringLiteral("?"), 1));
    QCOMPARE(s.post(), PostingRun::Outcome::Finished);
    const QString q1 = s.rows(QStringLiteral("SELECT MessageId FROM SentArticles WHERE GroupId=1")).value(0);
    QVERIFY(q1.startsWith(QLatin1Char('<')));

    expertPosts(QStringLiteral("quorbic.r1"), QStringLiteral("<e1@expert.invalid>"), q1,
                QStringLiteral("Re: Why blue?"));
    QCOMPARE(s.retrieve(), QStringLiteral("1 new message"));

    // The user replies to the answer (message 11), as the Reply command queues it.
    s.exec(fill::reply(12, 1, 11, QStringLiteral("quorbic.r1"), QStringLiteral("Re: Re: Why blue?"),
                       QStringLiteral("Thanks"), 1));
    QCOMPARE(s.post(), PostingRun::Outcome::Finished);
    const QStringList reply
        = s.rows(QStringLiteral("SELECT MessageId, ReferencesId FROM SentArticles WHERE ArticleId=12"));
    QCOMPARE(reply.size(), 1);
    const QString replyId = reply.first().section(QLatin1Char('|'), 0, 0);
    const QString replyReferences = q1 + QStringLiteral(" <e1@expert.invalid>");
    QCOMPARE(reply.first().section(QLatin1Char('|'), 1), replyReferences);
    const QByteArray head = m_inn->fetch("HEAD " + replyId.toUtf8());
    QVERIFY2(head.contains("\r\nReferences: " + replyReferences.toUtf8() + "\r\n"), head.constData());

    // The expert answers the answer; the user's reply in the group is not taken as an answer.
    expertPosts(QStringLiteral("quorbic.r1"), QStringLiteral("<e2@expert.invalid>"),
                q1 + QStringLiteral(" <e1@expert.invalid>"), QStringLiteral("Re: Re: Why blue?"));
    QCOMPARE(s.retrieve(), QStringLiteral("1 new message"));
    QCOMPARE(s.retrieve(), QStringLiteral("0 new messages"));

    // The rows of one conversation: question, answer, the user's reply to it, the answer to the answer.
    QCOMPARE(s.rows(QStringLiteral(
                 "SELECT Code, Parent, Folder, ArticleType, Source, Newsgroup FROM Article ORDER BY Code")),
             (QStringList{QStringLiteral("10|0|0|-1|quorbic.r1,quorbic.r2|NULL"),
                          QStringLiteral("11|10|0|0|quorbic.r1|NULL"),
                          QStringLiteral("12|11|0|0|quorbic.r1|quorbic.r1"),
                          QStringLiteral("13|11|0|0|quorbic.r1|NULL")}));
    QCOMPARE(s.rows(QStringLiteral("SELECT ArticleId, MessageId, GroupId FROM SentArticles ORDER BY Code")).mid(2),
             (QStringList{QStringLiteral("11|<e1@expert.invalid>|1"), QStringLiteral("12|%1|1").arg(replyId),
                          QStringLiteral("13|<e2@expert.invalid>|1")}));
    QCOMPARE(s.rows(QStringLiteral("SELECT Subject, \"From\", IsRead, Body FROM Article WHERE Code=11")),
             QStringList{QStringLiteral("Re: Why blue?|Expert <expert@test.invalid>|0|Re: Why blue? body\r\n")});
    QCOMPARE(s.folders.ops,
             (QStringList{QStringLiteral("add 10 under 0"), QStringLiteral("add 11 under 10"),
                          QStringLiteral("expand 10"), QStringLiteral("add 12 under 11"),
                          QStringLiteral("add 13 under 11"), QStringLiteral("expand 11")}));
    QCOMPARE(s.ui.boxTexts(), QStringList{});
}

void tst_RetrievalOnline::threadsInOneOverviewAndACrossPostedAnswer()
{
    // Question 20 went to r3 and r4 (posted here by the fixture, recorded as the run would).
    expertPosts(QStringLiteral("quorbic.r3"), QStringLiteral("<q3@test.invalid>"), {}, QStringLiteral("Q"));
    expertPosts(QStringLiteral("quorbic.r4"), QStringLiteral("<q4@test.invalid>"), {}, QStringLiteral("Q"));
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(3, QStringLiteral("quorbic.r3"))
            + fill::group(4, QStringLiteral("quorbic.r4")) + fill::carries(1, 3) + fill::carries(1, 4)
            + fill::question(20, 0, 0, QStringLiteral("Q"), {}, 1, QStringLiteral("quorbic.r3,quorbic.r4"))
            + fill::sent(20, QStringLiteral("<q3@test.invalid>"), {}, 3)
            + fill::sent(20, QStringLiteral("<q4@test.invalid>"), {}, 4));
    s.folders.nodes.insert(20, 0);
    expertPosts(QStringLiteral("quorbic.r3"), QStringLiteral("<a1@expert.invalid>"),
                QStringLiteral("<q3@test.invalid>"), QStringLiteral("A1"));
    expertPosts(QStringLiteral("quorbic.r3"), QStringLiteral("<a2@expert.invalid>"),
                QStringLiteral("<q3@test.invalid>"), QStringLiteral("A2"));
    expertPosts(QStringLiteral("quorbic.r3"), QStringLiteral("<a3@expert.invalid>"),
                QStringLiteral("<q3@test.invalid> <a1@expert.invalid>"), QStringLiteral("A3"));
    expertPosts(QStringLiteral("quorbic.r3,quorbic.r4"), QStringLiteral("<x@expert.invalid>"),
                QStringLiteral("<q3@test.invalid> <q4@test.invalid>"), QStringLiteral("X"));

    QCOMPARE(s.retrieve(), QStringLiteral("4 new messages"));
    QCOMPARE(s.rows(kAnswers),
             (QStringList{QStringLiteral("21|20|0|0|0|A1|quorbic.r3"), QStringLiteral("22|20|0|0|0|A2|quorbic.r3"),
                          QStringLiteral("23|21|0|0|0|A3|quorbic.r3"), QStringLiteral("24|20|0|0|0|X|quorbic.r3")}));
    QCOMPARE(s.rows(QStringLiteral("SELECT COUNT(*) FROM SentArticles WHERE MessageId='<x@expert.invalid>'")),
             QStringList{QStringLiteral("1")});
    QCOMPARE(s.ui.boxTexts(), QStringList{});
}

void tst_RetrievalOnline::startNumberFromTheOldestRecord()
{
    // In r5 and r6 an article naming the question comes before the question.
    // r5: INN numbers the oldest record 0 in its STAT reply (as RFC 3977 has
    // it for a Message-ID), but its Xref gives the number in r5, where reading
    // starts: the article before it is not read. r6: the oldest record is
    // unknown to INN, and 300 more articles follow, so reading starts 300
    // below the highest number.
    for (const QString &n : {QStringLiteral("5"), QStringLiteral("6")}) {
        const QString group = QStringLiteral("quorbic.r") + n;
        const QString question = QStringLiteral("<q%1@test.invalid>").arg(n);
        expertPosts(group, QStringLiteral("<early%1@expert.invalid>").arg(n), question, QStringLiteral("Early ") + n);
        expertPosts(group, question, {}, QStringLiteral("Q"));
        expertPosts(group, QStringLiteral("<late%1@expert.invalid>").arg(n), question, QStringLiteral("Late ") + n);
    }
    NntpProbe probe;
    QVERIFY2(probe.open(m_inn->host(), m_inn->port()), qPrintable(probe.errorString()));
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(probe.command("POST").left(3), QByteArray("340"));
        const QByteArray reply
            = probe.sendText(article(QStringLiteral("quorbic.r6"), QStringLiteral("<filler%1@expert.invalid>").arg(i),
                                     {}, QStringLiteral("Filler")));
        QVERIFY2(reply.startsWith("240"), reply.constData());
    }
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(5, QStringLiteral("quorbic.r5"))
            + fill::group(6, QStringLiteral("quorbic.r6")) + fill::carries(1, 5) + fill::carries(1, 6)
            + fill::question(30, 0, 0, QStringLiteral("Q"), {}, 1, QStringLiteral("quorbic.r5"))
            + fill::question(31, 0, 0, QStringLiteral("Q"), {}, 1, QStringLiteral("quorbic.r6"))
            + fill::sent(31, QStringLiteral("<lost@test.invalid>"), {}, 6)
            + fill::sent(30, QStringLiteral("<q5@test.invalid>"), {}, 5)
            + fill::sent(31, QStringLiteral("<q6@test.invalid>"), {}, 6));
    QCOMPARE(s.retrieve(), QStringLiteral("2 new messages"));
    QCOMPARE(s.rows(QStringLiteral("SELECT Subject, Parent FROM Article WHERE ArticleType=0 ORDER BY Code")),
             (QStringList{QStringLiteral("Late 5|30"), QStringLiteral("Late 6|31")}));
}

void tst_RetrievalOnline::busyGroupReadWholeThenOnlyWhatIsNew()
{
    // The question, then 2,000 articles, every 100th an answer to it.
    const QString group = QStringLiteral("sci.optics");
    const QString question = QStringLiteral("<lens.question@test.invalid>");
    expertPosts(group, question, {}, QStringLiteral("Which lens?"));
    NntpProbe probe;
    QVERIFY2(probe.open(m_inn->host(), m_inn->port()), qPrintable(probe.errorString()));
    const auto postMany = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            const bool answer = i % 100 == 99;
            QCOMPARE(probe.command("POST").left(3), QByteArray("340"));
            const QByteArray reply = probe.sendText(
                article(group, QStringLiteral("<busy%1@elsewhere.invalid>").arg(i),
                        answer ? QStringLiteral("<other@elsewhere.invalid> ") + question
                               : QStringLiteral("<thread%1@elsewhere.invalid>").arg(i % 37),
                        (answer ? QStringLiteral("Re: Which lens? %1") : QStringLiteral("Chatter %1")).arg(i)));
            QVERIFY2(reply.startsWith("240"), reply.constData());
        }
    };
    postMany(0, 2000);
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(1, group) + fill::carries(1, 1)
            + fill::question(70, 0, 0, QStringLiteral("Which lens?"), {}, 1, group) + fill::sent(70, question, {}, 1));
    // As the program connects: CAPABILITIES, where INN lists HDR, which then
    // reads the Xref; STARTTLS refused (no certificate), read in plain text.
    preferEncryption(NewsAccess::of(*s.dm).client());
    QCOMPARE(s.retrieve(), QStringLiteral("20 new messages"));
    // From the question on: the question and the 2,000 after it.
    QCOMPARE(s.ui.status1.size(), 2001);
    QCOMPARE(s.rows(QStringLiteral("SELECT count(*), min(Subject), max(Subject) FROM Article WHERE Parent=70")),
             QStringList{QStringLiteral("20|Re: Which lens? 1099|Re: Which lens? 999")});

    // 50 more, 1 of them an answer: only those 50 are read.
    postMany(2050, 50);
    const qsizetype examinedBefore = s.ui.status1.size();
    QCOMPARE(s.retrieve(), QStringLiteral("1 new message"));
    QCOMPARE(s.ui.status1.size() - examinedBefore, 50);
    QCOMPARE(s.rows(QStringLiteral("SELECT Subject FROM Article WHERE Code > 90")),
             QStringList{QStringLiteral("Re: Which lens? 2099")});
    // Nothing new: not even an overview.
    const qsizetype examinedThen = s.ui.status1.size();
    QCOMPARE(s.retrieve(), QStringLiteral("0 new messages"));
    QCOMPARE(s.ui.status1.size(), examinedThen);
    QCOMPARE(s.ui.boxTexts(), QStringList{});
}

void tst_RetrievalOnline::readOnlyServerAndADeletedQuestion()
{
    // r7 is carried only by the read-only reader. In r8, question 50 was
    // deleted (not expired); message 51 in the Inbox names r8.
    expertPosts(QStringLiteral("quorbic.r7"), QStringLiteral("<a7@expert.invalid>"),
                QStringLiteral("<q7@test.invalid>"), QStringLiteral("A7"));
    expertPosts(QStringLiteral("quorbic.r8"), QStringLiteral("<a8@expert.invalid>"),
                QStringLiteral("<q8@test.invalid>"), QStringLiteral("A8"));
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::server(2, QStringLiteral("localhost"), m_readOnlyPort)
            + fill::group(7, QStringLiteral("quorbic.r7")) + fill::group(8, QStringLiteral("quorbic.r8"))
            + fill::carries(2, 7) + fill::carries(1, 8)
            + fill::question(40, 0, 0, QStringLiteral("Q7"), {}, 1, QStringLiteral("quorbic.r7"))
            + fill::sent(40, QStringLiteral("<q7@test.invalid>"), {}, 7)
            + fill::question(50, 3, 0, QStringLiteral("Q8"), {}, 1, QStringLiteral("quorbic.r8"))
            + fill::sent(50, QStringLiteral("<q8@test.invalid>"), {}, 8)
            + fill::question(51, 0, 0, QStringLiteral("Other"), {}, 1, QStringLiteral("quorbic.r8"))
            + fill::sent(51, QStringLiteral("<other8@test.invalid>"), {}, 8));
    s.folders.nodes.insert(40, 0);
    s.folders.nodes.insert(51, 0);
    QCOMPARE(s.retrieve(), QStringLiteral("2 new messages"));
    QCOMPARE(s.ui.boxTexts(), QStringList{}); // the read-only server needs no box
    QCOMPARE(s.rows(kAnswers),
             (QStringList{QStringLiteral("52|40|0|0|0|A7|quorbic.r7"), QStringLiteral("53|50|0|0|0|A8|quorbic.r8")}));
    // The deleted question has no node in the Inbox: its answer is a top-level node.
    QCOMPARE(s.folders.ops,
             (QStringList{QStringLiteral("add 52 under 40"), QStringLiteral("expand 40"),
                          QStringLiteral("add 53 under 0")}));
}

void tst_RetrievalOnline::nothingToScanConnectsNowhere()
{
    // The only server refuses everyone: contacting it would show a box.
    Store s(fill::server(1, m_inn->host(), m_refusingPort) + fill::group(9, QStringLiteral("quorbic.r9"))
            + fill::carries(1, 9)
            + fill::question(60, 1, 0, QStringLiteral("Queued"), {}, 1, QStringLiteral("quorbic.r9"))
            + fill::question(61, 0, 0, QStringLiteral("Expired"), {}, 1, QStringLiteral("quorbic.r9"))
            + fill::sent(61, QStringLiteral("<q9@test.invalid>"), {}, 9)
            + QStringLiteral("UPDATE Article SET Expire=-1 WHERE Code=61;"));
    QCOMPARE(s.retrieve(), QStringLiteral("0 new messages"));
    QCOMPARE(s.ui.boxTexts(), QStringList{});
    QCOMPARE(s.ui.status0, QStringList{QStringLiteral("0 new messages")});
}

void tst_RetrievalOnline::answersFromRealProgramsKeepTheirHeaders()
{
    const QString group = QStringLiteral("comp.mail.mime");
    expertPosts(group, QStringLiteral("<q30@test.invalid>"), {}, QStringLiteral("MIME question"));
    Store s(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(30, group) + fill::carries(1, 30)
            + fill::question(30, 0, 0, QStringLiteral("MIME question"), {}, 1, group)
            + fill::sent(30, QStringLiteral("<q30@test.invalid>"), {}, 30));
    const QStringList names{QStringLiteral("thunderbird-alternative"),
                            QStringLiteral("newsreader-flowed"),
                            QStringLiteral("iso-2022-jp"),
                            QStringLiteral("forwarded-rfc822"),
                            QStringLiteral("latin1-holding-windows1252"),
                            QStringLiteral("uuencode")};
    QList<AnswerCorpus::Answer> answers;
    for (const QString &name : names) {
        AnswerCorpus::Answer answer = AnswerCorpus::load(name);
        // Posted as answers to the question in the test's group.
        QList<QByteArray> lines = answer.article.split('\n');
        for (QByteArray &line : lines) {
            if (line.startsWith("Newsgroups: "))
                line = "Newsgroups: " + group.toUtf8();
            else if (line.startsWith("References: "))
                line = "References: <q30@test.invalid>";
            else if (line.isEmpty())
                break;
        }
        answer.article = lines.join('\n');
        const QByteArray reply = m_inn->post(answer.article);
        QVERIFY2(reply.startsWith("240"), qPrintable(name + QStringLiteral(": ") + QString::fromUtf8(reply)));
        answers << answer;
    }
    QCOMPARE(s.retrieve(), QStringLiteral("%1 new messages").arg(names.size()));
    QCOMPARE(s.ui.boxTexts(), QStringList{});

    SqlCommand stored(s.dm->MainConnection(),
                      QStringLiteral("SELECT A.Body, H.Header, A.Code FROM Article A, ArticleHeader H, SentArticles S "
                                     "WHERE A.Code=S.ArticleId AND A.Code=H.ArticleId AND S.MessageId=:Id"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const AnswerCorpus::Answer &answer = answers[i];
        const QByteArray messageIdLine
            = answer.article.mid(answer.article.indexOf("\nMessage-I") + 1).split('\n').value(0);
        const QByteArray messageId = messageIdLine.mid(messageIdLine.indexOf('<'));
        stored.bind(QStringLiteral("Id"), QString::fromLatin1(messageId)).exec();
        QVERIFY2(stored.next(), messageId.constData());
        const QVariant body = stored.value(0);
        const QByteArray header = stored.value(1).toByteArray();
        const int code = stored.value(2).toInt();
        stored.finish();
        // The header as INN sends it: the poster's lines (INN adds its own),
        // each ending in CR LF, no empty line; the body as posted.
        QVERIFY2(header.endsWith("\r\n") && !header.contains("\r\n\r\n"), header.constData());
        const QByteArray contentType = answer.header.mid(answer.header.indexOf("Content-Type:"));
        if (answer.header.contains("Content-Type:"))
            QVERIFY2(header.contains(contentType.left(contentType.indexOf("\r\n", 14) + 2)), header.constData());
        QVERIFY2(header.contains(messageIdLine + "\r\n"), header.constData());
        QCOMPARE(body.toByteArray(), answer.body);
        // What the preview and quorbic-cli show of it.
        QCOMPARE(ArticleText::ofStored(s.dm->MainConnection(), code, body).displayText(), answer.expected);
    }
}

QTEST_GUILESS_MAIN(tst_RetrievalOnline)
#include "tst_retrievalonline.moc"
