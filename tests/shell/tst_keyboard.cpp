// The program from the keyboard: the menu bar's mnemonics and F10, the keys
// of the common commands, the editors' Post and Save keys, and Escape, which
// closes every dialog as its Cancel does.

#include "shellfixture.h"

#include "messages/messageeditor.h"
#include "shell/about.h"
#include "shell/appwindows.h"
#include "shell/mainactions.h"
#include "shell/program.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Program
{
    Program()
    {
        program.start();
        main()->activateWindow();
        QApplication::setActiveWindow(main());
    }
    ~Program() { program.shutdown(); }
    TfmMain *main() const { return program.fmMain(); }

    ScratchStore store;
    RecordingOpener opener;
    QuorbicProgram program{opener, store.path()};
};

// The action answers the key: its commands are cut off, so only the key's
// way to the action is tried.
bool keyTriggers(QWidget *window, QAction *action, const QKeySequence &key)
{
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    action->setEnabled(true);
    QSignalSpy spy(action, &QAction::triggered);
    QTest::keySequence(window, key);
    return spy.count() == 1;
}

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void commandKeys_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("New Question") << "acNewQuestion" << QKeySequence(Qt::CTRL | Qt::Key_N);
        QTest::newRow("Reply") << "acReply" << QKeySequence(Qt::CTRL | Qt::Key_R);
        QTest::newRow("Post") << "acSend" << QKeySequence(Qt::CTRL | Qt::Key_P);
        QTest::newRow("Retrieve") << "acReceive" << QKeySequence(Qt::Key_F5);
        QTest::newRow("Edit") << "acEdit" << QKeySequence(Qt::Key_Return);
        QTest::newRow("Edit, keypad") << "acEdit" << QKeySequence(Qt::Key_Enter);
        QTest::newRow("Delete") << "acDelete" << QKeySequence(Qt::Key_Delete);
        QTest::newRow("Help") << "HelpContents1" << QKeySequence(Qt::Key_F1);
    }
    void commandKeys()
    {
        QFETCH(QString, action);
        QFETCH(QKeySequence, key);
        Program p;
        p.main()->messageTree().widget()->setFocus();
        QVERIFY(keyTriggers(p.main(), p.main()->findChild<QAction *>(action), key));
    }

    void menuBarMnemonicsAndF10_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+M") << QKeySequence(Qt::ALT | Qt::Key_M) << "Message1";
        QTest::newRow("Alt+E") << QKeySequence(Qt::ALT | Qt::Key_E) << "Edit1";
        QTest::newRow("Alt+T") << QKeySequence(Qt::ALT | Qt::Key_T) << "Tools1";
        QTest::newRow("Alt+H") << QKeySequence(Qt::ALT | Qt::Key_H) << "Help1";
        QTest::newRow("F10") << QKeySequence(Qt::Key_F10) << "Message1";
    }
    void menuBarMnemonicsAndF10()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, menu);
        Program p;
        QVERIFY(QTest::qWaitForWindowActive(p.main()));
        QTest::keySequence(p.main(), key);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
        // Every item of every menu has a letter of its own.
        for (QAction *top : p.main()->menuBar()->actions()) {
            QVERIFY2(top->text().contains(QLatin1Char('&')), qPrintable(top->text()));
            QSet<QChar> letters;
            for (QAction *item : top->menu()->actions()) {
                if (item->isSeparator())
                    continue;
                const qsizetype amp = item->text().indexOf(QLatin1Char('&'));
                QVERIFY2(amp >= 0, qPrintable(item->text()));
                const QChar letter = item->text().at(amp + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
                letters.insert(letter);
            }
        }
        QApplication::activePopupWidget()->close();
    }

    void editorKeys_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("question") << "fmQuestion";
        QTest::newRow("reply") << "fmReply";
    }
    void editorKeys()
    {
        QFETCH(QString, editor);
        Program p;
        auto *window = qobject_cast<MessageEditor *>(p.program.windows()->window(editor));
        QVERIFY(window);
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(keyTriggers(window, window->Send, QKeySequence(Qt::CTRL | Qt::Key_Return)));
        QVERIFY(keyTriggers(window, window->acSave, QKeySequence(Qt::CTRL | Qt::Key_S)));
        window->hide();
    }

    void escapeClosesEveryDialogAsCancel_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"fmServer", "fmAccount", "fmCategories", "fmCategChoice", "fmAbout"})
            QTest::newRow(name) << name;
    }
    void escapeClosesEveryDialogAsCancel()
    {
        QFETCH(QString, name);
        Program p;
        QDialog *dialog = name == QLatin1String("fmAbout") ? qobject_cast<QDialog *>(p.program.fmAbout())
                                                           : qobject_cast<QDialog *>(p.program.windows()->window(name));
        QVERIFY(dialog);
        int result = -1;
        // Escape where the keyboard is in the dialog once it is up.
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, dialog, [&] {
            if (!dialog->isVisible())
                return;
            press.stop();
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        });
        press.start(10);
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, dialog, [dialog] { dialog->done(99); });
        guard.start(5000);
        result = dialog->exec();
        QCOMPARE(result, int(QDialog::Rejected));
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
