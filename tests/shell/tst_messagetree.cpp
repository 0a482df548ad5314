// The message tree in the real window: threads and what they leave out, the
// bold marks as loaded, sorting by header clicks, and the three operations
// other commands keep the tree in step with.

#include "shellfixture.h"

#include <QHeaderView>
#include <QTest>

namespace {

// Question 1 (read) with answer 2 (read), reply 3 (unread) below it and
// answer 4 (read) beside 2; question 5 with answer 6; 7 answers question 8,
// which is in Deleted messages; 9 has a NULL Parent and 10 answers it.
const QString kInbox = articleRow(1, 0, 0, true, "Q1", "2024-03-01 10:00:00")
    + articleRow(2, 1, 0, true, "A2", "2024-03-02 10:00:00") + articleRow(3, 2, 0, false, "R3", "2024-03-03 10:00:00")
    + articleRow(4, 1, 0, true, "A4", "2024-03-04 10:00:00") + articleRow(5, 0, 0, true, "Q5", "2024-03-05 10:00:00")
    + articleRow(6, 5, 0, true, "A6", "2024-03-06 10:00:00") + articleRow(7, 8, 0, false, "A7", "2024-03-07 10:00:00")
    + articleRow(8, 0, 3, true, "Q8", "2024-03-08 10:00:00") + articleRow(9, -1, 0, false, "Q9", "2024-03-09 10:00:00")
    + articleRow(10, 9, 0, false, "A10", "2024-03-10 10:00:00");

QStringList topSubjects(QTreeWidget *tree)
{
    QStringList subjects;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        subjects << tree->topLevelItem(i)->text(0);
    return subjects;
}

void clickHeader(QTreeWidget *tree, int column)
{
    QHeaderView *header = tree->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

} // namespace

class tst_MessageTree : public QObject
{
    Q_OBJECT

private slots:
    void inboxThreadsLeaveOutUnreachableRows()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1*[A2*[R3*],A4] Q5[A6]"));
        QVERIFY(!f.node(7)); // its question is in Deleted messages
        QVERIFY(!f.node(9)); // NULL Parent
        QVERIFY(!f.node(10));
        // Nodes are added collapsed.
        QVERIFY(!f.node(1)->isExpanded());
        f.window->selectFolder(3);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q8"));
    }

    void emptyFolders()
    {
        MainFixture f;
        f.open();
        QCOMPARE(f.tree()->topLevelItemCount(), 0);
        f.window->selectFolder(1);
        QCOMPARE(f.tree()->topLevelItemCount(), 0);
    }

    void sentColumnShowsTheDate()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 2, true, "noon", "2024-03-01 12:30:15")
                     + articleRow(2, 0, 2, true, "midnight", "2024-03-02 00:00:00")
                     + articleRow(3, 0, 2, true, "never queued"));
        f.open();
        f.window->selectFolder(2);
        const QLocale locale;
        const QString date = locale.toString(QDate(2024, 3, 1), locale.dateFormat(QLocale::ShortFormat));
        QVERIFY2(f.node(1)->text(1).startsWith(date + QLatin1Char(' ')), qPrintable(f.node(1)->text(1)));
        QCOMPARE(f.node(2)->text(1), locale.toString(QDate(2024, 3, 2), locale.dateFormat(QLocale::ShortFormat)));
        QCOMPARE(f.node(3)->text(1), QString());
    }

    // Drafts never queued have no "Sent" text: first ascending, last descending.
    void sortingByHeaderClicks()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 2, true, "banana", "2024-03-02 10:00:00")
                     + articleRow(2, 0, 2, true, "Apple", QString())
                     + articleRow(3, 0, 2, true, "cherry", "2023-12-31 23:00:00")
                     + articleRow(4, 0, 2, true, "apricot", QString())
                     + articleRow(5, 0, 2, true, "Date", "2024-03-02 09:00:00"));
        f.open();
        f.window->selectFolder(2);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QTreeWidget *tree = f.tree();
        QStringList order = topSubjects(tree);
        QCOMPARE(order.mid(2), (QStringList{"cherry", "Date", "banana"}));
        QCOMPARE((QSet<QString>{order[0], order[1]}), (QSet<QString>{"Apple", "apricot"}));

        clickHeader(tree, 1); // "Sent" was ascending: its first click sorts descending
        order = topSubjects(tree);
        QCOMPARE(order.mid(0, 3), (QStringList{"banana", "Date", "cherry"}));
        QCOMPARE(tree->header()->sortIndicatorOrder(), Qt::DescendingOrder);

        clickHeader(tree, 0); // a column without a direction sorts ascending, case-blind
        QCOMPARE(topSubjects(tree), (QStringList{"Apple", "apricot", "banana", "cherry", "Date"}));
        clickHeader(tree, 0);
        QCOMPARE(topSubjects(tree), (QStringList{"Date", "cherry", "banana", "apricot", "Apple"}));

        // A node added now goes straight into its place by the new order.
        f.dm->MainConnection().execDirect(QStringLiteral(
            "INSERT INTO Article (Code, Parent, Folder, IsRead, Subject) VALUES (6, 0, 2, -1, 'Blueberry')"));
        RowSet &edit = f.dm->qryArticleEdit();
        edit.close();
        edit.setParam(QStringLiteral("Code"), 6);
        edit.open();
        f.window->AddArticleNode(nullptr, edit);
        QCOMPARE(topSubjects(tree), (QStringList{"Date", "cherry", "Blueberry", "banana", "apricot", "Apple"}));
        // Switching folders keeps the sort order chosen.
        f.window->selectFolder(0);
        f.window->selectFolder(2);
        QCOMPARE(topSubjects(tree), (QStringList{"Date", "cherry", "Blueberry", "banana", "apricot", "Apple"}));
    }

    void sortingReachesEveryLevel()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Q", "2024-01-01 10:00:00")
                     + articleRow(2, 1, 0, true, "a late", "2024-01-05 10:00:00")
                     + articleRow(3, 1, 0, true, "b early", "2024-01-02 10:00:00")
                     + articleRow(4, 2, 0, true, "z", "2024-01-07 10:00:00")
                     + articleRow(5, 2, 0, true, "y", "2024-01-06 10:00:00"));
        f.open();
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q[b early,a late[y,z]]"));
        f.window->messageTree().headerClicked(0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q[a late[y,z],b early]"));
        f.window->messageTree().headerClicked(0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q[b early,a late[z,y]]"));
    }

    void deletingANodeTakesItsThread()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        f.window->DeleteArticleNode(2);
        // The unread reply went with it, so nothing above is bold any more.
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A4] Q5[A6]"));
        QVERIFY(!f.node(3));
        f.window->DeleteArticleNode(77);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A4] Q5[A6]"));
        f.window->DeleteArticleNode(5);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A4]"));
        // The rows stay in the store.
        QCOMPARE(f.store.rows(QStringLiteral("SELECT Code FROM Article WHERE Code IN (2, 3, 5, 6)")).size(), 4);
    }

    void findingNodes()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        ArticleItem *reply = f.window->FindArticleNode(3);
        QVERIFY(reply);
        QCOMPARE(reply->text(0), QStringLiteral("R3"));
        QVERIFY(!reply->parent()->isExpanded()); // found inside a collapsed thread
        QVERIFY(!f.window->FindArticleNode(8)); // in another folder
        QVERIFY(!f.window->FindArticleNode(7)); // not shown
        // The first in display order when a message shows twice.
        RowSet &edit = f.dm->qryArticleEdit();
        edit.close();
        edit.setParam(QStringLiteral("Code"), 6);
        edit.open();
        ArticleItem *copy = f.window->AddArticleNode(f.node(1), edit);
        QCOMPARE(f.window->FindArticleNode(6), copy);
    }

    // Node records carry the message's code and read flag as loaded.
    void nodesCarryTheirRecords()
    {
        MainFixture f;
        f.store.exec(kInbox);
        f.open();
        QCOMPARE(f.node(3)->rec().Code, 3);
        QVERIFY(!f.node(3)->rec().IsRead);
        QVERIFY(f.node(2)->rec().IsRead);
    }
};

QTEST_MAIN(tst_MessageTree)
#include "tst_messagetree.moc"
