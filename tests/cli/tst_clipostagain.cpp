// quorbic-cli post against a real INN whose spam filter refuses the 6th copy
// of one text: the warning before the run, each unreached newsgroup with the
// server's reply on standard error and exit status 1, the groups listed by
// show below their message, and post --again sending the message to them
// alone once the filter has forgotten the copies.

#include "tests/cli/clirunner.h"
#include "tests/support/empfilter.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"

#include <QtTest>

#include <memory>

namespace {

QStringList groupNames()
{
    QStringList names;
    for (int i = 1; i <= 8; ++i)
        names << QStringLiteral("sci.engr.control.g%1").arg(i);
    return names;
}

const QString kEmp = QStringLiteral("441 437 EMP (md5)");

} // namespace

class tst_CliPostAgain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void unreachedGroupsAreReportedAndPostedAgain();
    void postAgainWantsAMessageWithUnreachedGroups_data();
    void postAgainWantsAMessageWithUnreachedGroups();

private:
    int articleCount(const QString &group);

    std::unique_ptr<InnServer> m_inn;
};

void tst_CliPostAgain::initTestCase()
{
    InnServer::Options options;
    options.groups = groupNames();
    options.perlFilter = EmpFilter::perl();
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
}

int tst_CliPostAgain::articleCount(const QString &group)
{
    NntpProbe probe;
    if (!probe.open(m_inn->host(), m_inn->port()))
        return -1;
    return probe.command("GROUP " + group.toUtf8()).split(' ').value(1).toInt();
}

void tst_CliPostAgain::unreachedGroupsAreReportedAndPostedAgain()
{
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    const QStringList groups = groupNames();
    QString sql
        = QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'inn', '%1', %2);"
                         "INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\") "
                         "VALUES (1, 'Ann', 'Ann Asker', 'ann@test.invalid');"
                         "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (3, 0, -1, 'Control');"
                         "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, "
                         "Category, Account) VALUES (5, 0, 1, -1, -1, 'PID tuning?', 'How?', 3, 1);")
              .arg(m_inn->host())
              .arg(m_inn->port());
    for (int i = 0; i < groups.size(); ++i)
        sql += QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (%1, '%2');"
                              "INSERT INTO GroupServer (Newsgroup, Server) VALUES (%1, 1);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, 3);")
                   .arg(i + 1)
                   .arg(groups.at(i));
    cli.exec(sql);

    CliRunner::Result r = cli.run({QStringLiteral("post")});
    QVERIFY2(!r.crashed && r.exitCode == 1, qPrintable(r.describe()));
    const QStringList err = r.errLines();
    QVERIFY2(err.value(0).contains(QStringLiteral("\"PID tuning?\" goes to 127.0.0.1 as 8 separate copies of one "
                                                  "text.")),
             qPrintable(r.describe()));
    QStringList unreached;
    for (int i = 5; i < 8; ++i)
        unreached << QStringLiteral("Not posted to ") + groups.at(i) + QStringLiteral(": ") + kEmp;
    unreached << QStringLiteral(
        "\"PID tuning?\" is in the Inbox without these newsgroups; quorbic-cli post --again 5 posts it to them.");
    QCOMPARE(err.mid(err.size() - 4), unreached);

    r = cli.run({QStringLiteral("show"), QStringLiteral("Inbox")});
    QCOMPARE(r.exitCode, 0);
    QStringList shown = r.outLines().mid(1);
    QStringList expected;
    for (int i = 5; i < 8; ++i)
        expected << QStringLiteral("    ! Not posted to ") + groups.at(i) + QStringLiteral(": ") + kEmp;
    expected << QStringLiteral("    ! Post again: quorbic-cli post --again 5");
    QCOMPARE(shown, expected);

    // Hours later the server has forgotten the copies.
    QVERIFY2(m_inn->reloadFilter(), qPrintable(m_inn->errorString()));
    r = cli.run({QStringLiteral("post"), QStringLiteral("--again"), QStringLiteral("5")});
    QVERIFY2(!r.crashed && r.exitCode == 0 && r.err.isEmpty(), qPrintable(r.describe()));
    QStringList posted{QStringLiteral("PID tuning?")};
    for (int i = 0; i < groups.size(); ++i)
        posted << QStringLiteral("  %1\tok\t%2")
                      .arg(groups.at(i),
                           i < 5 ? QStringLiteral("Successful (posted in an earlier run)")
                                 : QStringLiteral("Successful"));
    QCOMPARE(r.outLines(), posted);
    for (const QString &group : groups)
        QCOMPARE(articleCount(group), 1);
    QCOMPARE(cli.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("0")});
    r = cli.run({QStringLiteral("show"), QStringLiteral("Inbox")});
    QCOMPARE(r.outLines().size(), 1);
}

void tst_CliPostAgain::postAgainWantsAMessageWithUnreachedGroups_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::newRow("no such message") << QStringList{"post", "--again", "7"} << 1
                                     << "quorbic-cli post: message 7 is not in the Inbox with newsgroups it did not "
                                        "reach; nothing to post again";
    QTest::newRow("no code") << QStringList{"post", "--again"} << 2
                             << "quorbic-cli post: --again wants the code of one message";
    QTest::newRow("not a code") << QStringList{"post", "--again", "sci.math"} << 2
                                << "quorbic-cli post: --again wants the code of one message";
}

void tst_CliPostAgain::postAgainWantsAMessageWithUnreachedGroups()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    // Message 7 is in the Inbox and reached every group.
    cli.exec(QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject) "
                            "VALUES (7, 0, 0, -1, -1, 'Posted');"));
    const CliRunner::Result r = cli.run(args);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.errLines().value(0), err);
    QCOMPARE(cli.rows(QStringLiteral("SELECT Folder FROM Article")), QStringList{QStringLiteral("0")});
}

QTEST_GUILESS_MAIN(tst_CliPostAgain)
#include "tst_clipostagain.moc"
