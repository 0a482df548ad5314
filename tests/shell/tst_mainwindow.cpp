// The main window as the user meets it: start-up, layout, actions, menus and
// switching folders, driven offscreen on a scratch store.

#include "shellfixture.h"

#include "shell/helpcontents.h"
#include "shell/helpwindow.h"
#include "shell/mainactions.h"
#include "shell/mainqueries.h"
#include "messagelist/sentdate.h"
#include "widgets/linkview.h"
#include "widgets/outbar.h"

#include <QAction>
#include <QTextBrowser>
#include <QFontDatabase>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace {

const QString kThreads = articleRow(1, 0, 0, true, "Question one", "2024-03-01 10:00:00")
    + articleRow(2, 1, 0, true, "Answer one", "2024-03-02 10:00:00")
    + articleRow(3, 0, 0, true, "Question two", "2024-03-03 10:00:00") + articleRow(4, 0, 2, true, "Draft", QString());

QString actionNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *action : actions)
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names.join(QLatin1Char(' '));
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUpSelectsAndLoadsTheInboxBeforeShowing()
    {
        MainFixture f;
        f.store.exec(kThreads);
        f.open();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.window->currentFolder(), 0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Question one[Answer one] Question two"));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->currentFolder(), 0);
    }

    void layout()
    {
        MainFixture f;
        f.open();
        TfmMain &w = *f.window;
        QCOMPARE(w.objectName(), QStringLiteral("fmMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quorbic 1 beta"));
        QCOMPARE(w.size(), QSize(769, 573));
        for (const char *name : {"OutBar", "treeMessage", "lbFrom", "lbNewsgroup", "lbSubject", "reView", "stMain",
                                 "ToolBar1", "MainMenu1", "pmTeeMsg", "pmRichEdit"})
            QVERIFY2(w.findChild<QWidget *>(QLatin1String(name)), name);
        QVERIFY(w.findChild<QObject *>(QStringLiteral("tmrMain")));
        QVERIFY(w.findChild<QObject *>(QStringLiteral("ActionList1")));

        OutBar *bar = w.outBar();
        QCOMPARE(bar->groupCount(), 1);
        QStringList folders;
        for (int i = 0; i < bar->itemCount(0); ++i)
            folders << bar->itemCaption(0, i);
        QCOMPARE(folders, (QStringList{"Inbox", "Outbox", "Drafts", "Deleted messages"}));
        QCOMPARE(bar->iconSize(), QSize(30, 30));

        QTreeWidget *tree = f.tree();
        QStringList captions;
        QList<int> widths;
        for (int i = 0; i < tree->columnCount(); ++i) {
            captions << tree->headerItem()->text(i);
            widths << tree->header()->sectionSize(i);
        }
        QCOMPARE(captions, (QStringList{"Subject", "Sent", "From", "Source"}));
        QCOMPARE(widths[0], 250);
        QVERIFY(widths[1] >= 110); // or what a long date and time needs in the desktop's font
        QVERIFY(widths[1]
                >= tree->fontMetrics().horizontalAdvance(SentDate::format(QDate(2000, 12, 28), QTime(23, 58, 58))));
        QCOMPARE(widths.mid(2), (QList<int>{150, 120}));

        QStringList bold;
        for (const QLabel *label : w.findChildren<QLabel *>()) {
            if (label->font().bold() && label->text().endsWith(QLatin1Char(':')))
                bold << label->text();
        }
        bold.sort();
        QCOMPARE(bold, (QStringList{"From:", "Source:", "Subject:"}));

        LinkView *view = w.preview();
        QVERIFY(view->isReadOnly());
        QCOMPARE(view->lineWrapMode(), QTextEdit::WidgetWidth);
        // Fixed width, so quoted text and tables line up.
        QCOMPARE(view->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
        QCOMPARE(w.readTimer()->interval(), TfmMain::kReadDelay);

        auto *status = w.findChild<QStatusBar *>(QStringLiteral("stMain"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("stMainPanel0"))->width(), 400);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("stMainPanel1"))->width(), 50);
        QVERIFY(status);
        QCOMPARE(w.statusText(0), QString());
        w.setStatusText(0, QStringLiteral("Connecting..."));
        QCOMPARE(w.statusText(0), QStringLiteral("Connecting..."));
    }

    void actions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("picture");
        QTest::newRow("acNewQuestion") << "acNewQuestion"
                                       << "File"
                                       << "&New Question"
                                       << "Create a new question"
                                       << "Create a new question"
                                       << "Ctrl+N" << true;
        QTest::newRow("acReply") << "acReply"
                                 << "File"
                                 << "&Reply"
                                 << "Reply to Newsgroup"
                                 << "Reply to Newsgroup"
                                 << "Ctrl+R" << true;
        QTest::newRow("acSend") << "acSend"
                                << "File"
                                << "&Post"
                                << "Post questions and replies to newsgroups"
                                << "Post questions and replies to newsgroups"
                                << "Ctrl+P" << true;
        QTest::newRow("acReceive") << "acReceive"
                                   << "File"
                                   << "Re&trieve"
                                   << "Retrieve the answers"
                                   << "Retrieve the answers"
                                   << "F5" << true;
        QTest::newRow("acPostAgain") << "acPostAgain"
                                     << "File"
                                     << "Post &Again"
                                     << "Post the message to the newsgroups it did not reach"
                                     << "Post the message to the newsgroups it did not reach"
                                     << "" << false;
        QTest::newRow("acEdit") << "acEdit"
                                << "File"
                                << "&Edit"
                                << "View or edit the selected message"
                                << "View or edit the selected message"
                                << "Return" << true;
        QTest::newRow("acDelete") << "acDelete"
                                  << "Edit"
                                  << "&Delete"
                                  << "Delete the selected message"
                                  << "Delete the selected message"
                                  << "Del" << true;
        QTest::newRow("EditCopy1") << "EditCopy1"
                                   << "Edit"
                                   << "&Copy"
                                   << "Copy|Copies the selection and puts it on the Clipboard"
                                   << "Copy"
                                   << "Ctrl+C" << true;
        QTest::newRow("EditSelectAll1") << "EditSelectAll1"
                                        << "Edit"
                                        << "Select &All"
                                        << "Select All|Selects the entire document"
                                        << "Select All"
                                        << "Ctrl+A" << true;
        QTest::newRow("actServers") << "actServers"
                                    << "Tool"
                                    << "&News Servers..."
                                    << ""
                                    << "News Servers"
                                    << "" << false;
        QTest::newRow("acAccount") << "acAccount"
                                   << "Tool"
                                   << "&Accounts..."
                                   << ""
                                   << "Accounts"
                                   << "" << false;
        QTest::newRow("acNewsgroups") << "acNewsgroups"
                                      << "Tool"
                                      << "News&groups..."
                                      << ""
                                      << "Newsgroups"
                                      << "" << false;
        QTest::newRow("acCategories") << "acCategories"
                                      << "Tool"
                                      << "Ca&tegories..."
                                      << ""
                                      << "Categories"
                                      << "" << false;
        QTest::newRow("HelpContents1") << "HelpContents1"
                                       << "Help"
                                       << "&Contents"
                                       << "Help Contents"
                                       << "Help Contents"
                                       << "F1" << true;
        QTest::newRow("acAbout") << "acAbout"
                                 << "Help"
                                 << "&About..."
                                 << "About Quorbic"
                                 << "About Quorbic"
                                 << "" << true;
    }
    void actions()
    {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QString, tooltip);
        QFETCH(QString, shortcut);
        QFETCH(bool, picture);
        MainFixture f;
        f.open();
        auto *action = f.window->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(MainActions::category(action), category);
        QCOMPARE(action->text(), caption);
        QCOMPARE(MainActions::hint(action), hint);
        QCOMPARE(action->toolTip().remove(QLatin1Char('&')).remove(QLatin1String("...")), tooltip);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
        QCOMPARE(!action->icon().isNull(), picture);
        if (picture)
            QVERIFY(!action->icon().pixmap(16).isNull());
    }

    void menusAndToolBar()
    {
        MainFixture f;
        f.open();
        TfmMain &w = *f.window;
        QStringList menus;
        for (QAction *menu : w.menuBar()->actions())
            menus << menu->text() + QStringLiteral(": ") + actionNames(menu->menu()->actions());
        QCOMPARE(menus,
                 (QStringList{
                     "&Message: acNewQuestion acReply - acEdit acDelete - acSend acReceive acPostAgain - Exit1",
                     "&Edit: EditCopy1 EditSelectAll1",
                     "&Tools: actServers acAccount acNewsgroups acCategories",
                     "&Help: HelpContents1 - acAbout",
                 }));
        QCOMPARE(w.actions().Exit1->text(), QStringLiteral("E&xit"));
        auto *toolBar = w.findChild<QToolBar *>(QStringLiteral("ToolBar1"));
        QCOMPARE(actionNames(toolBar->actions()),
                 QStringLiteral(
                     "acNewQuestion acReply - acSend acReceive - EditCopy1 - acEdit acDelete - HelpContents1"));
        QCOMPARE(toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(actionNames(w.treeMenu()->actions()),
                 QStringLiteral("acNewQuestion acReply - acEdit acDelete - acSend acReceive acPostAgain"));
        QCOMPARE(actionNames(w.previewMenu()->actions()),
                 QStringLiteral("EditSelectAll1 EditCopy1 - acSend acReceive - acSaveAttachment"));
    }

    void reselectingTheFolderChangesNothing()
    {
        MainFixture f;
        f.store.exec(kThreads);
        f.open();
        // A row the tree has not seen: only a real reload would show it.
        f.dm->MainConnection().execDirect(
            QStringLiteral("INSERT INTO Article (Code, Parent, Folder, IsRead, Subject) VALUES (9, 0, 0, -1, 'Late')"));
        f.window->selectFolder(0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Question one[Answer one] Question two"));
        f.window->selectFolder(2);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Draft"));
        f.window->selectFolder(0);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Late Question one[Answer one] Question two"));
    }

    void switchingFoldersClearsTheHeaderAndStopsTheTimer()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, false, "Unread", "2024-03-01 10:00:00", "Ann <ann@example.org>", "comp.test",
                                "Body text"));
        f.open();
        f.select(1);
        auto *from = f.window->findChild<QLabel *>(QStringLiteral("lbFrom"));
        QCOMPARE(from->text(), QStringLiteral("Ann <ann@example.org>"));
        QVERIFY(f.window->readTimer()->isActive());
        f.window->selectFolder(3);
        QVERIFY(!f.window->readTimer()->isActive());
        QCOMPARE(from->text(), QString());
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbSubject"))->text(), QString());
        QCOMPARE(f.window->preview()->text(), QString());
    }

    void enableRulesOfTheMessageActions()
    {
        MainFixture f;
        f.store.exec(kThreads);
        f.open();
        MainActions &a = f.window->actions();
        QVERIFY(a.acNewQuestion->isEnabled());
        QVERIFY(a.HelpContents1->isEnabled());
        QVERIFY(!a.acReply->isEnabled());
        QVERIFY(!a.acEdit->isEnabled());
        QVERIFY(!a.acDelete->isEnabled());
        f.select(2);
        QVERIFY(a.acReply->isEnabled());
        QVERIFY(!a.acEdit->isEnabled());
        QVERIFY(a.acDelete->isEnabled());
        f.window->selectFolder(2);
        QVERIFY(!a.acDelete->isEnabled());
        f.select(4);
        QVERIFY(!a.acReply->isEnabled());
        QVERIFY(a.acEdit->isEnabled());
        QVERIFY(a.acDelete->isEnabled());
    }

    // With the store missing the window still opens, with no folder selected;
    // choosing a folder then reports the store's error and the program goes on.
    void storeNotAvailable()
    {
        ScratchStore store;
        RecordingOpener opener;
        Tdm dm(QDir(store.dir()).filePath(QStringLiteral("missing.mdb")));
        ModalWatcher boxes;
        TfmMain window(dm, opener);
        QCOMPARE(window.currentFolder(), -1);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Quorbic"));
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
        QVERIFY2(boxes.seen[0].text.endsWith(QLatin1Char('.')), qPrintable(boxes.seen[0].text));
        QVERIFY(!QFile::exists(QDir(store.dir()).filePath(QStringLiteral("missing.mdb"))));
        window.selectFolder(1);
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[1].title, QStringLiteral("Quorbic"));
        QCOMPARE(f_treeCount(window), 0);
    }

    void helpOpensTheManualInItsOwnWindow()
    {
        MainFixture f;
        f.open();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.tree()->setFocus();
        QTest::keyClick(f.tree(), Qt::Key_F1);
        TfmHelp *help = f.window->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->objectName(), QStringLiteral("fmHelp"));
        QCOMPARE(help->browser()->source(), QUrl::fromLocalFile(HelpContents::indexPage()));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Setting up a news server")));
        QVERIFY(f.opener.opened.isEmpty()); // no browser needed
        // A page of the manual opens in the window; a web link on the desktop.
        emit help->browser()->anchorClicked(QUrl(QStringLiteral("#retrieving")));
        QCOMPARE(help->browser()->source().fileName(), QStringLiteral("index.html"));
        emit help->browser()->anchorClicked(QUrl(QStringLiteral("https://www.rfc-editor.org/rfc/rfc3977")));
        QCOMPARE(f.opener.opened, QList<QUrl>{QUrl(QStringLiteral("https://www.rfc-editor.org/rfc/rfc3977"))});
        // F1 from the preview too; Esc closes the window.
        help->close();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.window->preview()->setFocus();
        QTest::keyClick(f.window->preview(), Qt::Key_F1);
        QVERIFY(help->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
    }

    void aboutShowsTheBoxWithTitleAndButton()
    {
        MainFixture f;
        f.open();
        ModalWatcher boxes;
        bool okShown = false;
        boxes.inspect
            = [&](QWidget *dialog) { okShown = dialog->findChild<QWidget *>(QStringLiteral("btnOK"))->isVisible(); };
        f.window->actions().acAbout->trigger();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].name, QStringLiteral("fmAbout"));
        QCOMPARE(boxes.seen[0].title, QStringLiteral("About Quorbic"));
        QVERIFY(okShown);
    }

private:
    static int f_treeCount(const TfmMain &window) { return window.messageTree().widget()->topLevelItemCount(); }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
