// The road of one question through quorbic-cli and the store only, on two real
// INN servers (the second reached through microsocks): an empty store made
// by init, a server, an account, a folder with two categories sharing a
// group, both lists loaded, a question queued as the question editor leaves
// it, posted once per group, answered by another newsreader in two groups
// (one answer cross-posted to both), retrieved, shown as a thread, replied to
// as the Reply command and the reply editor leave it, posted as a follow-up,
// answered again and retrieved; a last retrieval finds nothing new.

#include "messagelist/sentdate.h"
#include "tests/cli/clirunner.h"
#include "tests/support/innserver.h"
#include "tests/support/socksproxy.h"

#include <QtTest>

#include <memory>

namespace {

const QString kGroupA = QStringLiteral("quorbic.road.a");
const QString kShared = QStringLiteral("quorbic.road.shared");
const QString kGroupB = QStringLiteral("quorbic.road.b");
const QString kAnn = QStringLiteral("Ann Asker <ann@test.invalid>");
const QString kQuestion = QStringLiteral("Why is the sky blue?");
const QString kE1 = QStringLiteral("<e1.road@expert.invalid>");
const QString kX = QStringLiteral("<x.road@expert.invalid>");
const QString kE2 = QStringLiteral("<e2.road@expert.invalid>");

QString storedNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A Date header some hours back, so that the answers' order by date is certain.
QByteArray dateHoursAgo(int hours)
{
    return QLocale::c()
               .toString(QDateTime::currentDateTimeUtc().addSecs(-3600 * hours),
                         QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"))
               .toLatin1()
        + " +0000";
}

// The article another newsreader posts.
QByteArray expertArticle(const QString &groups, const QString &messageId, const QString &references,
                         const QString &subject, const QByteArray &from, const QByteArray &date = {})
{
    QByteArray text = "From: " + from + "\nNewsgroups: " + groups.toUtf8() + "\nSubject: " + subject.toUtf8()
        + "\nMessage-ID: " + messageId.toUtf8() + "\nReferences: " + references.toUtf8() + "\n";
    if (!date.isEmpty())
        text += "Date: " + date + "\n";
    return text + "\n" + subject.toUtf8() + " body\n";
}

QString header(const QByteArray &article, const QByteArray &name)
{
    // A HEAD reply is the header alone; an ARTICLE ends its header at the empty line.
    const qsizetype end = article.indexOf("\r\n\r\n");
    for (const QByteArray &line : (end < 0 ? article : article.left(end + 2)).split('\n')) {
        if (line.startsWith(name + ": "))
            return QString::fromUtf8(line.mid(name.size() + 2).trimmed());
    }
    return QString();
}

} // namespace

class tst_CliRoad : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void wholeRoadOfOneQuestion();

private:
    void expertPosts(InnServer &server, const QByteArray &article);
    // The Code of the message recorded with a Message-ID.
    int codeOf(const QString &messageId) const;
    // A line of `show`: bold mark, indentation, and the columns of message code.
    QString shownLine(bool bold, int depth, int code) const;

    std::unique_ptr<InnServer> m_first;
    std::unique_ptr<InnServer> m_second;
    std::unique_ptr<SocksProxy> m_proxy;
    CliRunner m_cli;
};

void tst_CliRoad::initTestCase()
{
    InnServer::Options first;
    first.groups = {kGroupA, kShared};
    m_first = std::make_unique<InnServer>(first);
    QVERIFY2(m_first->start(), qPrintable(m_first->errorString()));
    InnServer::Options second;
    second.groups = {kGroupB, kShared};
    m_second = std::make_unique<InnServer>(second);
    QVERIFY2(m_second->start(), qPrintable(m_second->errorString()));
    m_proxy = std::make_unique<SocksProxy>(QStringLiteral("roaduser"), QStringLiteral("road pass"));
    QVERIFY2(m_proxy->start(), qPrintable(m_proxy->errorString()));
}

void tst_CliRoad::expertPosts(InnServer &server, const QByteArray &article)
{
    const QByteArray reply = server.post(article);
    QVERIFY2(reply.startsWith("240"), qPrintable(QString::fromUtf8(reply) + server.errorString()));
}

int tst_CliRoad::codeOf(const QString &messageId) const
{
    return m_cli
        .value(
            QStringLiteral("SELECT ArticleId FROM SentArticles WHERE MessageId=%1").arg(CliRunner::quoted(messageId)))
        .toInt();
}

QString tst_CliRoad::shownLine(bool bold, int depth, int code) const
{
    const QStringList row = m_cli
                                .value(QStringLiteral("SELECT Subject, SentDate, \"From\", Source FROM Article "
                                                      "WHERE Code=%1")
                                           .arg(code))
                                .split(QLatin1Char('|'));
    QDate date;
    QTime time;
    const QString sent = SentDate::fromStored(row.value(1), date, time) ? SentDate::format(date, time) : QString();
    // Subjects and names are plain here except the first expert's, encoded as received.
    const QString from = row.value(2).startsWith(QLatin1String("=?UTF-8?Q?J=C3=B6rg_Expert?="))
        ? QStringLiteral("Jörg Expert <joerg@expert.invalid>")
        : row.value(2);
    return (bold ? QStringLiteral("* ") : QStringLiteral("  ")) + QString(2 * depth, QLatin1Char(' ')) + row.value(0)
        + QLatin1Char('\t') + sent + QLatin1Char('\t') + from + QLatin1Char('\t') + row.value(3);
}

void tst_CliRoad::wholeRoadOfOneQuestion()
{
    CliRunner::Result r = m_cli.run({QStringLiteral("init")});
    QVERIFY2(r.exitCode == 0 && !r.crashed, qPrintable(r.describe()));
    QVERIFY(QFileInfo::exists(m_cli.storePath()));

    // The servers and the account, as their windows store them.
    m_cli.exec(QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('First', '%1', %2);"
                              "INSERT INTO Servers (ProfileName, ServerName, Port, IsProxy, Host, ProxyPort, "
                              "ProxyLogin, ProxyPassword) VALUES ('Second', 'localhost', %3, -1, '%4', %5, '%6', "
                              "'%7');"
                              "INSERT INTO Account (AccountName, UserName, \"E-mail address\", Organization, "
                              "DefaultAccount) VALUES ('Ann', 'Ann Asker', 'ann@test.invalid', 'Road Tests', -1);")
                   .arg(m_first->host())
                   .arg(m_first->port())
                   .arg(m_second->port())
                   .arg(m_proxy->host())
                   .arg(m_proxy->port())
                   .arg(m_proxy->user(), m_proxy->password()));

    r = m_cli.run({QStringLiteral("update-lists")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.out, QString());
    QCOMPARE(r.errLines().size(), 2);
    QVERIFY2(r.errLines().at(0).startsWith(QStringLiteral("Loading Newsgroups from 127.0.0.1... "))
                 && r.errLines().at(1).startsWith(QStringLiteral("Loading Newsgroups from localhost... ")),
             qPrintable(r.describe()));
    QCOMPARE(m_cli.rows(QStringLiteral("SELECT g.GroupName, s.Server FROM GroupServer s, Groups g "
                                       "WHERE g.Code=s.Newsgroup AND g.GroupName LIKE 'quorbic.road.%' "
                                       "ORDER BY g.GroupName, s.Server")),
             (QStringList{kGroupA + QStringLiteral("|1"), kGroupB + QStringLiteral("|2"),
                          kShared + QStringLiteral("|1"), kShared + QStringLiteral("|2")}));

    // A folder with two categories that share a group; the question goes to the folder.
    const auto groupCode = [](const QString &name) {
        return QStringLiteral("(SELECT Code FROM Groups WHERE GroupName='%1')").arg(name);
    };
    m_cli.exec(QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, 0, 'Road');"
                              "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (2, 1, -1, 'One');"
                              "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (3, 1, -1, 'Two');"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, 2);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%2, 2);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%2, 3);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%3, 3);")
                   .arg(groupCode(kGroupA), groupCode(kShared), groupCode(kGroupB)));
    // As the question editor queues it.
    m_cli.exec(QStringLiteral("INSERT INTO Article (Parent, Folder, ArticleType, IsRead, Subject, \"From\", SentDate, "
                              "Body, Category, CategoryPath, Account) VALUES (0, 1, -1, -1, %1, %2, '%3', "
                              "'Is it the air?', 1, '\\All\\Road', 1);")
                   .arg(CliRunner::quoted(kQuestion), CliRunner::quoted(kAnn), storedNow()));
    const int question = m_cli.value(QStringLiteral("SELECT Code FROM Article")).toInt();

    r = m_cli.run({QStringLiteral("post")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.err, QString());
    QStringList posted = r.outLines();
    QCOMPARE(posted.value(0), kQuestion);
    posted.removeFirst();
    posted.sort();
    QCOMPARE(posted,
             (QStringList{QStringLiteral("  quorbic.road.a\tok\tSuccessful"),
                          QStringLiteral("  quorbic.road.b\tok\tSuccessful"),
                          QStringLiteral("  quorbic.road.shared\tok\tSuccessful")}));
    const QStringList copies = m_cli.rows(QStringLiteral("SELECT g.GroupName, s.MessageId, s.ReferencesId FROM "
                                                         "SentArticles s, Groups g WHERE g.Code=s.GroupId "
                                                         "AND s.ArticleId=%1 ORDER BY g.GroupName")
                                              .arg(question));
    QCOMPARE(copies.size(), 3);
    QHash<QString, QString> copyIn; // group -> Message-ID of the question's copy
    for (const QString &copy : copies) {
        const QStringList f = copy.split(QLatin1Char('|'));
        QCOMPARE(f.value(2), QString()); // a question refers to nothing
        copyIn.insert(f.at(0), f.at(1));
    }
    // Each copy is on the server that carries its group; the shared group on
    // the first server, whose list was loaded first.
    for (const auto &[group, server] :
         {std::pair{kGroupA, m_first.get()}, std::pair{kShared, m_first.get()}, std::pair{kGroupB, m_second.get()}}) {
        const QByteArray head = server->fetch("HEAD " + copyIn.value(group).toUtf8());
        QVERIFY2(!head.isNull(), qPrintable(group + QStringLiteral(" copy missing: ") + copyIn.value(group)));
        QCOMPARE(header(head, "Newsgroups"), group);
        QCOMPARE(header(head, "Subject"), kQuestion);
        QCOMPARE(header(head, "Organization"), QStringLiteral("Road Tests"));
    }
    QCOMPARE(m_cli.value(QStringLiteral("SELECT Folder FROM Article")), QStringLiteral("0"));
    const QString source = m_cli.value(QStringLiteral("SELECT Source FROM Article"));
    QStringList sourceGroups = source.split(QLatin1Char(','));
    sourceGroups.sort();
    QCOMPARE(sourceGroups, (QStringList{kGroupA, kGroupB, kShared}));

    // Another newsreader answers in two groups, once cross-posted to both.
    expertPosts(*m_second,
                expertArticle(kGroupB, kE1, copyIn.value(kGroupB), QStringLiteral("Re: ") + kQuestion,
                              "=?UTF-8?Q?J=C3=B6rg_Expert?= <joerg@expert.invalid>", dateHoursAgo(3)));
    expertPosts(*m_first,
                expertArticle(kGroupA + QLatin1Char(',') + kShared, kX, copyIn.value(kGroupA),
                              QStringLiteral("Rayleigh scattering"), "Expert <x@expert.invalid>", dateHoursAgo(2)));

    r = m_cli.run({QStringLiteral("retrieve")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(), QStringList{QStringLiteral("2 new messages")});
    for (const QString &group : {kGroupA, kShared, kGroupB})
        QVERIFY2(r.errLines().contains(QStringLiteral("Loading articles from ") + group), qPrintable(r.describe()));
    QCOMPARE(m_cli.value(
                 QStringLiteral("SELECT COUNT(*) FROM SentArticles WHERE MessageId=%1").arg(CliRunner::quoted(kX))),
             QStringLiteral("1"));
    const int e1 = codeOf(kE1);
    const int x = codeOf(kX);
    QVERIFY(e1 > question && x > question);

    // The thread as the main window shows it: everything unread or above an unread answer is bold.
    r = m_cli.run({QStringLiteral("show"), QStringLiteral("Inbox")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(), (QStringList{shownLine(true, 0, question), shownLine(true, 1, e1), shownLine(true, 1, x)}));
    QVERIFY2(r.out.contains(QStringLiteral("\tJörg Expert <joerg@expert.invalid>\t")), qPrintable(r.out));

    // The cross-posted answer has been read; the first answer is replied to,
    // as the Reply command and the reply editor leave it (the answer has no
    // account, so the reply gets the default one).
    m_cli.exec(QStringLiteral("UPDATE Article SET IsRead=-1 WHERE Code=%1;"
                              "INSERT INTO Article (Parent, Folder, ArticleType, IsRead, Subject, Newsgroup, Account, "
                              "\"From\", SentDate, Body) SELECT Code, 1, 0, -1, Subject, Source, 1, %2, '%3', "
                              "'> Re: Why is the sky blue? body' FROM Article WHERE Code=%4;")
                   .arg(x)
                   .arg(CliRunner::quoted(kAnn), storedNow())
                   .arg(e1));
    const int reply = m_cli.value(QStringLiteral("SELECT MAX(Code) FROM Article")).toInt();

    r = m_cli.run({QStringLiteral("post")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(),
             (QStringList{QStringLiteral("Re: ") + kQuestion, QStringLiteral("  quorbic.road.b\tok\tSuccessful")}));
    const QStringList replyCopy
        = m_cli.rows(QStringLiteral("SELECT MessageId, ReferencesId FROM SentArticles WHERE ArticleId=%1").arg(reply));
    QCOMPARE(replyCopy.size(), 1);
    const QString replyId = replyCopy.first().section(QLatin1Char('|'), 0, 0);
    const QString followUp = copyIn.value(kGroupB) + QLatin1Char(' ') + kE1;
    QCOMPARE(replyCopy.first().section(QLatin1Char('|'), 1), followUp);
    const QByteArray replyHead = m_second->fetch("HEAD " + replyId.toUtf8());
    QCOMPARE(header(replyHead, "References"), followUp);
    QCOMPARE(header(replyHead, "Newsgroups"), kGroupB);

    expertPosts(*m_second,
                expertArticle(kGroupB, kE2, followUp + QLatin1Char(' ') + replyId, QStringLiteral("Glad to help"),
                              "Expert <x@expert.invalid>"));
    r = m_cli.run({QStringLiteral("retrieve")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(), QStringList{QStringLiteral("1 new message")});
    r = m_cli.run({QStringLiteral("retrieve")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(), QStringList{QStringLiteral("0 new messages")});
    const int e2 = codeOf(kE2);

    // The rows of the conversation: question, answers, the reply, the answer to the reply.
    const auto row = [&](int code) {
        return m_cli.value(QStringLiteral("SELECT Parent, Folder, ArticleType, IsRead, Source, Newsgroup FROM Article "
                                          "WHERE Code=%1")
                               .arg(code));
    };
    QCOMPARE(m_cli.value(QStringLiteral("SELECT COUNT(*) FROM Article")), QStringLiteral("5"));
    QCOMPARE(row(question), QStringLiteral("0|0|-1|-1|%1|NULL").arg(source));
    QCOMPARE(row(e1), QStringLiteral("%1|0|0|0|%2|NULL").arg(question).arg(kGroupB));
    QCOMPARE(row(x), QStringLiteral("%1|0|0|-1|%2|NULL").arg(question).arg(kGroupA));
    QCOMPARE(row(reply), QStringLiteral("%1|0|0|-1|%2|%2").arg(e1).arg(kGroupB));
    QCOMPARE(row(e2), QStringLiteral("%1|0|0|0|%2|NULL").arg(reply).arg(kGroupB));
    QStringList records = m_cli.rows(QStringLiteral("SELECT s.ArticleId, s.MessageId, g.GroupName FROM SentArticles s, "
                                                    "Groups g WHERE g.Code=s.GroupId"));
    records.sort();
    QStringList expected{QStringLiteral("%1|%2|%3").arg(question).arg(copyIn.value(kGroupA), kGroupA),
                         QStringLiteral("%1|%2|%3").arg(question).arg(copyIn.value(kShared), kShared),
                         QStringLiteral("%1|%2|%3").arg(question).arg(copyIn.value(kGroupB), kGroupB),
                         QStringLiteral("%1|%2|%3").arg(e1).arg(kE1, kGroupB),
                         QStringLiteral("%1|%2|%3").arg(x).arg(kX, kGroupA),
                         QStringLiteral("%1|%2|%3").arg(reply).arg(replyId, kGroupB),
                         QStringLiteral("%1|%2|%3").arg(e2).arg(kE2, kGroupB)};
    expected.sort();
    QCOMPARE(records, expected);

    // The read reply is bold for the unread answer below it; the read answer is not.
    r = m_cli.run({QStringLiteral("show"), QStringLiteral("0")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(),
             (QStringList{shownLine(true, 0, question), shownLine(true, 1, e1), shownLine(true, 2, reply),
                          shownLine(true, 3, e2), shownLine(false, 1, x)}));
    r = m_cli.run({QStringLiteral("show"), QStringLiteral("Outbox")});
    QVERIFY2(r.exitCode == 0 && r.out.isEmpty(), qPrintable(r.describe()));
}

QTEST_GUILESS_MAIN(tst_CliRoad)
#include "tst_cliroad.moc"
