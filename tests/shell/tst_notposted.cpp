// A message that did not reach some of its newsgroups, in the main window: the
// header area says "Not posted to:" with each group and the server's reply,
// and Post Again, enabled for such a message in the Inbox only, moves it to
// the Outbox. A store without the table shows neither.

#include "shell/mainactions.h"
#include "tests/shell/shellfixture.h"

#include <QAction>
#include <QLabel>
#include <QtTest>

namespace {

const QString kMessages = articleRow(1, 0, 0, true, "Partly posted", "2024-03-01 10:00:00", "Ann", "sci.math")
    + articleRow(2, 0, 0, true, "Posted everywhere", "2024-03-02 10:00:00", "Ann", "sci.math,sci.stat")
    + QStringLiteral("INSERT INTO UnpostedGroups (ArticleId, GroupName, Reply) VALUES "
                     "(1, 'sci.stat', '441 437 EMP (md5)'), (1, 'sci.physics', 'Error: The group is not found');");

} // namespace

class tst_NotPosted : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerAreaAndPostAgain();
    void storeWithoutTheTable();
};

void tst_NotPosted::headerAreaAndPostAgain()
{
    MainFixture f;
    f.store.exec(kMessages);
    f.open();
    auto *notPosted = f.window->findChild<QLabel *>(QStringLiteral("lbNotPosted"));
    QAction *again = f.window->actions().acPostAgain;
    QCOMPARE(notPosted->accessibleName(), QStringLiteral("Not posted to"));

    f.select(1);
    QVERIFY(!notPosted->isHidden());
    QCOMPARE(notPosted->text(),
             QStringLiteral("Not posted to: sci.physics: Error: The group is not found; "
                            "sci.stat: 441 437 EMP (md5)"));
    QVERIFY(again->isEnabled());
    f.select(2);
    QVERIFY(notPosted->isHidden());
    QVERIFY(!again->isEnabled());

    f.select(1);
    again->trigger();
    QVERIFY(!f.node(1));
    QCOMPARE(f.store.rows(QStringLiteral("SELECT Code, Folder FROM Article ORDER BY Code")),
             (QStringList{QStringLiteral("1|1"), QStringLiteral("2|0")}));
    // In the Outbox it waits for the next posting run.
    f.window->selectFolder(1);
    QVERIFY(notPosted->isHidden());
    f.select(1);
    QVERIFY(!notPosted->isHidden());
    QVERIFY(!again->isEnabled());
}

void tst_NotPosted::storeWithoutTheTable()
{
    MainFixture f;
    f.store.exec(articleRow(1, 0, 0, true, "Posted", "2024-03-01 10:00:00", "Ann", "sci.math")
                 + QStringLiteral("DROP TABLE UnpostedGroups;"));
    f.open();
    f.select(1);
    QVERIFY(f.window->findChild<QLabel *>(QStringLiteral("lbNotPosted"))->isHidden());
    QVERIFY(!f.window->actions().acPostAgain->isEnabled());
}

QTEST_MAIN(tst_NotPosted)
#include "tst_notposted.moc"
