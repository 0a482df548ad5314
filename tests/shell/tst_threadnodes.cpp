// The Inbox threads made as they are shown: the load makes the questions'
// nodes, a thread's answers are made when it is opened or one of them is
// needed, and finding, selecting, marking read, deleting, adding and keeping
// the expansion all work on threads that were never opened.

#include "shellfixture.h"

#include "shell/mainfolderview.h"
#include "widgets/linkview.h"

#include <QLabel>
#include <QTest>

namespace {

// Question 1 (read) with answer 2 (read), reply 3 (unread) below it, answer 4
// (read) beside 2 and reply 6 (read) below 4; question 5 (read) with answer 7
// (read). Answers are sent before their questions would sort them.
const QString kInbox = articleRow(1, 0, 0, true, "Q1", "2024-03-01 10:00:00", "Ann <ann@example.org>", "sci.physics")
    + articleRow(4, 1, 0, true, "A4", "2024-03-04 10:00:00", "Bob <bob@example.org>", "sci.physics")
    + articleRow(2, 1, 0, true, "A2", "2024-03-02 10:00:00", "Cy <cy@example.org>", "sci.physics")
    + articleRow(3, 2, 0, false, "R3", "2024-03-03 10:00:00", "Dee <dee@example.org>", "sci.physics",
                 "The reply's text.\r\n")
    + articleRow(6, 4, 0, true, "R6", "2024-03-06 10:00:00") + articleRow(5, 0, 0, true, "Q5", "2024-03-05 10:00:00")
    + articleRow(7, 5, 0, true, "A7", "2024-03-07 10:00:00");

QTreeWidgetItem *top(const MainFixture &f, int index)
{
    return f.tree()->topLevelItem(index);
}

} // namespace

class tst_ThreadNodes : public QObject
{
    Q_OBJECT

private slots:
    // The load makes the questions only; their arrows and bold marks are
    // there all the same, and opening a thread makes its answers in order.
    void loadMakesQuestionsAndOpeningMakesAnswers()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        QCOMPARE(f.tree()->topLevelItemCount(), 2);
        QCOMPARE(top(f, 0)->childCount(), 0);
        QCOMPARE(top(f, 0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        QVERIFY(f.window->messageTree().widget()->model()->hasChildren(f.tree()->model()->index(0, 0)));
        QVERIFY(ArticleItem::from(top(f, 0))->isBold()); // R3 is unread, three levels down
        QVERIFY(!ArticleItem::from(top(f, 1))->isBold());

        f.tree()->expandItem(top(f, 0));
        QCOMPARE(top(f, 0)->childCount(), 2);
        QCOMPARE(top(f, 0)->child(0)->text(0), QStringLiteral("A2"));
        QCOMPARE(top(f, 0)->child(0)->text(2), QStringLiteral("Cy <cy@example.org>"));
        QCOMPARE(top(f, 0)->child(0)->text(3), QStringLiteral("sci.physics"));
        QVERIFY(ArticleItem::from(top(f, 0)->child(0))->isBold());
        QCOMPARE(top(f, 0)->child(0)->childCount(), 0); // one level at a time
        QCOMPARE(top(f, 0)->child(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        QCOMPARE(top(f, 1)->childCount(), 0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1*[A2*[R3*],A4[R6]] Q5[A7]"));
    }

    // From the keyboard: Right opens a thread never opened, a second Right
    // goes to its first answer, "*" opens everything below that.
    void keyboardOpensThreads()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.tree()->setFocus();
        f.tree()->setCurrentItem(top(f, 0));
        QTest::keyClick(f.tree(), Qt::Key_Right);
        QVERIFY(top(f, 0)->isExpanded());
        QCOMPARE(top(f, 0)->childCount(), 2);
        QTest::keyClick(f.tree(), Qt::Key_Right);
        QCOMPARE(f.tree()->currentItem(), top(f, 0)->child(0));
        QTest::keyClick(f.tree(), Qt::Key_Asterisk);
        QVERIFY(top(f, 0)->child(0)->isExpanded());
        QCOMPARE(top(f, 0)->child(0)->childCount(), 1);
        QCOMPARE(top(f, 0)->child(0)->child(0)->text(0), QStringLiteral("R3"));
        QVERIFY(!top(f, 0)->child(1)->isExpanded());
    }

    // A reply inside a thread never opened is found, selected and shown,
    // marked read by the timer, and the marks above it follow.
    void replyInAClosedThreadIsSelectedAndMarkedRead()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open(20);
        f.select(3);
        ArticleItem *reply = f.window->messageTree().selectedNode();
        QVERIFY(reply);
        QCOMPARE(reply->rec().Code, 3);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("The reply's text.\n"));
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbFrom"))->text(),
                 QStringLiteral("Dee <dee@example.org>"));
        QTRY_VERIFY(reply->rec().IsRead);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A2[R3],A4[R6]] Q5[A7]"));
        QCOMPARE(f.store.rows(QStringLiteral("SELECT IsRead FROM Article WHERE Code=3")), QStringList{"-1"});
    }

    // Deleting nodes of threads never opened: the unread counts below follow,
    // and what was below a deleted node is found no more.
    void deletingInClosedThreads()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        f.window->DeleteArticleNode(3);
        QVERIFY(!ArticleItem::from(top(f, 0))->isBold());
        QVERIFY(!f.node(3));
        f.window->DeleteArticleNode(4);
        QVERIFY(!f.node(6));
        f.window->DeleteArticleNode(5);
        QVERIFY(!f.node(7));
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A2]"));
    }

    // The commands and the runs see a thread's answers whether it was opened
    // or not: a Delete takes them all, a retrieved answer takes its sorted
    // place among its siblings.
    void folderViewOnClosedThreads()
    {
        MainFixture f;
        f.store.exec(kInbox + articleRow(8, 1, 0, false, "A8", "2024-03-03 00:00:00"));
        f.open();
        f.dm->MainConnection().execDirect(QStringLiteral("DELETE FROM Article WHERE Code=8"));
        MainFolderView view(*f.window);
        QCOMPARE(view.childCodes(1), (QList<int>{2, 4})); // 8 left the folder since the load
        QVERIFY(ArticleItem::from(top(f, 0))->isBold());

        f.dm->MainConnection().execDirect(
            QStringLiteral("INSERT INTO Article (Code, Parent, Folder, IsRead, Subject, SentDate) "
                           "VALUES (9, 5, 0, 0, 'A9', '2024-03-06 00:00:00')"));
        // Stored after the load: added once, by the one who stored it.
        view.addArticleNode(9, 5);
        view.expandArticleNode(5);
        QVERIFY(f.node(5)->isExpanded());
        QCOMPARE(view.childCodes(5), (QList<int>{9, 7}));
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1*[A2*[R3*],A4[R6]] Q5*[A9*,A7]"));
        f.window->DeleteArticleNode(3);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A2,A4[R6]] Q5*[A9*,A7]"));
    }

    // A reply whose row left the folder after the load goes with its unread
    // mark when its thread is opened.
    void answersGoneFromTheStore()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        f.dm->MainConnection().execDirect(QStringLiteral("UPDATE Article SET Folder=3 WHERE Code=3"));
        QVERIFY(ArticleItem::from(top(f, 0))->isBold());
        QVERIFY(!f.node(3));
        QVERIFY(!ArticleItem::from(top(f, 0))->isBold());
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A2,A4[R6]] Q5[A7]"));
    }

    // The expansion the user gave the Inbox comes back with it, reaching
    // into threads whose answers are made again.
    void expansionKeptAcrossFolders()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        f.node(2)->setExpanded(true);
        f.node(1)->setExpanded(true);
        f.window->selectFolder(2);
        f.window->selectFolder(0);
        QVERIFY(top(f, 0)->isExpanded());
        QCOMPARE(top(f, 0)->childCount(), 2);
        QVERIFY(top(f, 0)->child(0)->isExpanded());
        QCOMPARE(top(f, 0)->child(0)->child(0)->text(0), QStringLiteral("R3"));
        QVERIFY(!top(f, 0)->child(1)->isExpanded());
        QVERIFY(!top(f, 1)->isExpanded());
        QCOMPARE(top(f, 1)->childCount(), 0);
    }

    // Answers made after header clicks stand where sorting the whole tree
    // would have put them: by the last column clicked, equal ones by the
    // clicks before.
    void answersMadeAfterSortingTakeTheSortedOrder_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("shape");
        QTest::newRow("as loaded") << QList<int>{} << QStringLiteral("Q[b,A,a]");
        QTest::newRow("subject") << QList<int>{0} << QStringLiteral("Q[A,a,b]");
        QTest::newRow("subject twice") << QList<int>{0, 0} << QStringLiteral("Q[b,A,a]");
        QTest::newRow("sent down, subject") << QList<int>{1, 0} << QStringLiteral("Q[a,A,b]");
    }
    void answersMadeAfterSortingTakeTheSortedOrder()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, shape);
        // "a" and "A" are equal to the "Subject" column.
        const QString rows = articleRow(1, 0, 0, true, "Q", "2024-01-01 10:00:00")
            + articleRow(2, 1, 0, true, "a", "2024-01-05 10:00:00")
            + articleRow(3, 1, 0, true, "b", "2024-01-02 10:00:00")
            + articleRow(4, 1, 0, true, "A", "2024-01-03 10:00:00");
        MainFixture eager, lazy;
        eager.store.exec(rows);
        lazy.store.exec(rows);
        eager.open();
        lazy.open();
        eager.window->messageTree().makeAllNodes();
        for (const int column : clicks) {
            eager.window->messageTree().headerClicked(column);
            lazy.window->messageTree().headerClicked(column);
        }
        QCOMPARE(treeShape(*eager.window), shape);
        QCOMPARE(treeShape(*lazy.window), shape);
    }
};

QTEST_MAIN(tst_ThreadNodes)
#include "tst_threadnodes.moc"
