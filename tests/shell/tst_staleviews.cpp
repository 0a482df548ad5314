// The main window never shows what is no longer there: the preview of a
// message that left the folder on view is cleared, and the Inbox's threads
// come back as open as the user left them.

#include "shellfixture.h"

#include "shell/mainfolderview.h"
#include "widgets/linkview.h"

#include <QLabel>
#include <QTest>

class tst_StaleViews : public QObject
{
    Q_OBJECT

private slots:
    void previewOfAMessageThatLeftTheFolderIsCleared_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<int>("gone");
        QTest::addColumn<QString>("shown"); // the preview afterwards
        // Posted from its editor: Drafts loses it. Moved by the posting run:
        // the Outbox loses it. With nothing left to select, the preview is
        // empty; otherwise it shows what the tree now selects.
        QTest::newRow("posted from the editor") << 2 << 1 << "";
        QTest::newRow("moved to the Inbox by posting") << 1 << 1 << "";
        QTest::newRow("another message left") << 1 << 2 << "Why does it grow?";
        QTest::newRow("the selection moves on") << 2 << 1 << "Other text";
    }
    void previewOfAMessageThatLeftTheFolderIsCleared()
    {
        QFETCH(int, folder);
        QFETCH(int, gone);
        QFETCH(QString, shown);
        MainFixture f;
        // Message 2 lives in the folder on view only where the selection can move to it.
        const int otherFolder = shown == QLatin1String("Other text") || gone == 2 ? folder : 3;
        f.store.exec(articleRow(1, 0, folder, true, "Entropy?", {}, "ann@example.org", {}, "Why does it grow?")
                     + articleRow(2, 0, otherFolder, true, "Other", {}, "ann@example.org", {}, "Other text"));
        f.open();
        f.window->selectFolder(folder);
        f.select(1);
        QCOMPARE(f.window->preview()->toPlainText(), QStringLiteral("Why does it grow?"));
        MainFolderView view(*f.window);
        view.deleteArticleNode(gone);
        QCOMPARE(f.window->preview()->toPlainText(), shown);
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbSubject"))->text().isEmpty(), shown.isEmpty());
    }

    void threadsKeepTheirExpansion()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Q1", "2024-03-01 10:00:00")
                     + articleRow(2, 1, 0, true, "A1", "2024-03-01 11:00:00")
                     + articleRow(3, 2, 0, true, "A1.1", "2024-03-01 12:00:00")
                     + articleRow(4, 0, 0, true, "Q2", "2024-03-02 10:00:00")
                     + articleRow(5, 4, 0, true, "A2", "2024-03-02 11:00:00"));
        f.open();
        f.node(1)->setExpanded(true);
        f.node(2)->setExpanded(true);
        f.window->selectFolder(1);
        f.window->selectFolder(0);
        QVERIFY(f.node(1)->isExpanded());
        QVERIFY(f.node(2)->isExpanded());
        QVERIFY(!f.node(4)->isExpanded());
        // Closed again, it stays closed the next time.
        f.node(2)->setExpanded(false);
        f.window->selectFolder(3);
        f.window->selectFolder(0);
        QVERIFY(f.node(1)->isExpanded());
        QVERIFY(!f.node(2)->isExpanded());
    }
};

QTEST_MAIN(tst_StaleViews)
#include "tst_staleviews.moc"
