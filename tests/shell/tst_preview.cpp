// Selecting a message: the preview and header labels, the read timer that
// marks it read in the tree and durably in the store, the links in the text,
// and the edit actions that follow the focused text control.

#include "shellfixture.h"

#include "shell/attachmentmenu.h"
#include "shell/mainactions.h"
#include "messagelist/sentdate.h"
#include "tests/support/answercorpus.h"
#include "widgets/linkview.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

namespace {

const int kShortDelay = 40;

// Question 1 (read), answer 2 (read), reply 3 (unread); question 4 (unread).
const QString kThread
    = articleRow(1, 0, 0, true, "Q1", "2024-03-01 10:00:00", "Me <me@example.org>", "comp.test", "Question text")
    + articleRow(2, 1, 0, true, "A2", "2024-03-02 10:00:00", "Ann <ann@example.org>", "comp.test", "Answer text")
    + articleRow(3, 2, 0, false, "R3", "2024-03-03 10:00:00", "Bob <bob@example.org>", "comp.test", "Reply text")
    + articleRow(4, 0, 0, false, "Q4", "2024-03-04 10:00:00", "Me <me@example.org>", "comp.other", "Second question");

QString storedIsRead(const ScratchStore &store, int code)
{
    return store.rows(QStringLiteral("SELECT IsRead FROM Article WHERE Code=%1").arg(code)).value(0);
}

} // namespace

class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void selectingShowsTheMessage()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Re: <b>tags</b>", "2024-03-01 10:00:00", "Ann <ann@example.org>",
                                "comp.lang.c,comp.test", "<i>not italic</i>\r\nsecond line"));
        f.open();
        f.select(1);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("<i>not italic</i>\nsecond line"));
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbFrom"))->text(),
                 QStringLiteral("Ann <ann@example.org>"));
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbNewsgroup"))->text(),
                 QStringLiteral("comp.lang.c,comp.test"));
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbSubject"))->text(), QStringLiteral("Re: <b>tags</b>"));
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbFrom"))->textFormat(), Qt::PlainText);
    }

    void receivedBytesShowDecoded()
    {
        // An answer as retrieval stores it: the bytes the server sent, with an
        // encoded-word subject and name and a body in 8-bit Latin-1.
        MainFixture f;
        f.store.exec(QStringLiteral(
            "INSERT INTO Article (Code, Parent, Folder, IsRead, ArticleType, Subject, \"From\", SentDate, Source, Body) "
            "VALUES (1, 0, 0, -1, 0, CAST('Re: =?UTF-8?Q?Gr=C3=BC=C3=9Fe?=' AS BLOB), "
            "CAST('=?ISO-8859-1?Q?J=F6rg?= <j@example.org>' AS BLOB), '2024-03-01 10:00:00', 'de.test', "
            "X'4772FCDF650D0A')"));
        f.open();
        f.select(1);
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbSubject"))->text(), u"Re: Grüße"_qs);
        QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("lbFrom"))->text(), u"Jörg <j@example.org>"_qs);
        QCOMPARE(f.window->preview()->text(), u"Grüße\n"_qs);
        QCOMPARE(treeShape(*f.window), u"Re: Grüße"_qs);
    }

    // An answer kept with its header shows what a reader should see; its
    // files are offered in the pop-up menu and saved byte for byte where the
    // file chooser says. An answer without files, or stored without its
    // header, offers none.
    void decodedAnswerAndItsFiles()
    {
        const AnswerCorpus::Answer answer = AnswerCorpus::load(QStringLiteral("apple-related"));
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Q", "2024-03-01 10:00:00", "", "", "Screenshot?")
                     + QStringLiteral("INSERT INTO Article (Code, Parent, Folder, IsRead, ArticleType, Subject, "
                                      "SentDate, Source, Body) VALUES (2, 1, 0, -1, 0, 'Re: Screenshot', "
                                      "'2024-03-02 10:00:00', 'comp.sys.mac.apps', X'%1');")
                           .arg(QString::fromLatin1(answer.body.toHex()))
                     + AnswerCorpus::headerRow(2, answer.header));
        f.open();
        f.select(2);
        QCOMPARE(f.window->preview()->text(), answer.expected);
        AttachmentMenu *files = f.window->attachmentMenu();
        QCOMPARE(files->submenu()->parent(), f.window->previewMenu());
        QVERIFY(files->submenu()->menuAction()->isVisible());
        const QList<QAction *> entries = files->submenu()->actions();
        QCOMPARE(entries.size(), 1);
        QVERIFY2(entries[0]->text().startsWith(QStringLiteral("Screenshot.png (image/png, ")),
                 qPrintable(entries[0]->text()));

        QTemporaryDir dir;
        QStringList proposed;
        QString target = dir.filePath(QStringLiteral("saved.png"));
        files->setFileChooser([&](QWidget *, const QString &name) {
            proposed << name;
            return target;
        });
        entries[0]->trigger();
        QCOMPARE(proposed, QStringList{QStringLiteral("Screenshot.png")});
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), files->attachments().first().data);
        QVERIFY(files->attachments().first().data.startsWith("\x89PNG"));

        // Cancelled: nothing written.
        target = dir.filePath(QStringLiteral("not-saved.png"));
        files->setFileChooser([](QWidget *, const QString &) { return QString(); });
        entries[0]->trigger();
        QVERIFY(!QFile::exists(target));

        f.select(1);
        QVERIFY(files->attachments().isEmpty());
        QVERIFY(!files->submenu()->menuAction()->isVisible());
    }

    void emptyBodyShowsAnEmptyPreview()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Q", "2024-03-01 10:00:00", "", "", "Some text")
                     + articleRow(2, 0, 0, true, "Empty", "2024-03-02 10:00:00"));
        f.open();
        f.select(1);
        f.select(2);
        QCOMPARE(f.window->preview()->text(), QString());
    }

    // The tree holds no bodies: each is read when its message is shown, so a
    // body changed since the folder loaded shows as it is now, and a folder
    // switch there and back shows the same tree and bodies.
    void bodyIsReadWhenTheMessageIsShown()
    {
        MainFixture f;
        f.store.exec(kThread + articleRow(5, 0, 2, true, "Draft", "", "", "", "Draft text"));
        f.open();
        const QString inbox = treeShape(*f.window);
        f.select(2);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("Answer text"));
        f.dm->MainConnection().execDirect(QStringLiteral("UPDATE Article SET Body='Edited text' WHERE Code=2"));
        f.select(1);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("Question text"));
        f.select(2);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("Edited text"));

        f.window->selectFolder(2);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Draft"));
        f.select(5);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("Draft text"));
        f.window->selectFolder(0);
        QCOMPARE(treeShape(*f.window), inbox);
        f.select(3);
        QCOMPARE(f.window->preview()->text(), QStringLiteral("Reply text"));
        QCOMPARE(f.node(3)->text(1), SentDate::format(QDate(2024, 3, 3), QTime(10, 0)));
    }

    // The deep unread reply makes its whole thread bold; once it has stayed
    // selected for the delay it is read, in the tree and durably in the store.
    void readTimerMarksTheThread()
    {
        MainFixture f;
        f.store.exec(kThread);
        f.open(kShortDelay);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1*[A2*[R3*]] Q4*"));
        f.select(3);
        QVERIFY(f.window->readTimer()->isActive());
        QTRY_VERIFY(f.node(3)->rec().IsRead);
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1[A2[R3]] Q4*"));
        QVERIFY(!f.window->readTimer()->isActive());
        // Another connection sees it: the mark was committed, not just written.
        QCOMPARE(storedIsRead(f.store, 3), QStringLiteral("-1"));
        QCOMPARE(storedIsRead(f.store, 4), QStringLiteral("0"));
    }

    void onlyTheMessageThatStayedSelectedIsMarked()
    {
        MainFixture f;
        f.store.exec(kThread);
        f.open(kShortDelay);
        f.select(3);
        f.select(4); // within the delay: the wait starts again, for this one
        QTRY_VERIFY(f.node(4)->rec().IsRead);
        QVERIFY(!f.node(3)->rec().IsRead);
        QCOMPARE(storedIsRead(f.store, 4), QStringLiteral("-1"));
        QCOMPARE(storedIsRead(f.store, 3), QStringLiteral("0"));
        QCOMPARE(treeShape(*f.window), QStringLiteral("Q1*[A2*[R3*]] Q4"));
    }

    void selectingAReadMessageStartsNoTimer()
    {
        MainFixture f;
        f.store.exec(kThread);
        f.open(kShortDelay);
        f.select(3);
        QVERIFY(f.window->readTimer()->isActive());
        f.select(2);
        QVERIFY(!f.window->readTimer()->isActive());
        QSignalSpy fired(f.window->readTimer(), &QTimer::timeout);
        QVERIFY(!fired.wait(3 * kShortDelay));
        QVERIFY(!f.node(3)->rec().IsRead);
    }

    // The store refusing the mark is reported; the node stays shown as read.
    void failingMarkIsReported()
    {
        MainFixture f;
        f.store.exec(kThread);
        f.open(kShortDelay);
        f.select(3);
        // The row disappears behind the window's back.
        f.dm->MainConnection().execDirect(QStringLiteral("DELETE FROM Article WHERE Code=3"));
        ModalWatcher boxes;
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Quorbic"));
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
        QVERIFY(f.node(3)->rec().IsRead);
    }

    void clickingALinkAsksTheDesktop()
    {
        MainFixture f;
        f.store.exec(articleRow(1, 0, 0, true, "Links", "2024-03-01 10:00:00", "", "",
                                "See www.example.org/faq or mailto:help@example.org today."));
        f.open();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.select(1);
        LinkView *view = f.window->preview();
        const QString text = view->text();
        for (const QString &link : {QStringLiteral("www.example.org/faq"), QStringLiteral("mailto:help@example.org")}) {
            QTextCursor cursor(view->document());
            cursor.setPosition(int(text.indexOf(link)) + 2);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(cursor).center());
        }
        QCOMPARE(f.opener.opened,
                 (QList<QUrl>{QUrl(QStringLiteral("http://www.example.org/faq")),
                              QUrl(QStringLiteral("mailto:help@example.org"))}));
    }

    void editActionsFollowTheFocusedControl()
    {
        MainFixture f;
        f.store.exec(kThread);
        f.open();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        MainActions &a = f.window->actions();
        f.select(1);
        f.tree()->setFocus();
        QTRY_VERIFY(f.tree()->hasFocus());
        QVERIFY(!a.EditCopy1->isEnabled());
        QVERIFY(!a.EditSelectAll1->isEnabled());

        LinkView *view = f.window->preview();
        view->setFocus();
        QTRY_VERIFY(view->hasFocus());
        QVERIFY(!a.EditCopy1->isEnabled()); // nothing selected yet
        QVERIFY(a.EditSelectAll1->isEnabled());
        a.EditSelectAll1->trigger();
        QVERIFY(view->textCursor().hasSelection());
        QVERIFY(a.EditCopy1->isEnabled());
        QApplication::clipboard()->clear();
        a.EditCopy1->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Question text"));

        f.tree()->setFocus();
        QTRY_VERIFY(f.tree()->hasFocus());
        QVERIFY(!a.EditCopy1->isEnabled());

        // An empty preview offers nothing to select.
        f.window->selectFolder(1);
        view->setFocus();
        QTRY_VERIFY(view->hasFocus());
        QVERIFY(!a.EditSelectAll1->isEnabled());
    }
};

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
