// The question editor and the reply editor through the real program: their
// fields, commands, menus and keys, Save and Post with what each stores and
// how the tree follows, the checks of Post in their order, the category
// chooser's answers, Undo and Redo, and the question on closing.

#include "messagesfixture.h"
#include "tests/support/modaldriver.h"

#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "messages/editcommands.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace {

enum { Inbox = 0, Outbox = 1, Drafts = 2, Deleted = 3 };

const QString kServer = serverRow();
const QString kAnn
    = accountRow(1, QStringLiteral("Main"), QStringLiteral("Ann Smith"), QStringLiteral("ann@example.org"), true);
const QString kCategories
    = QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (4, 0, 0, 'Computers');"
                     "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (5, 4, -1, 'Hardware');");

// Chooses the node of the code in the category chooser (-1: Cancel).
void choose(QWidget *chooser, int code)
{
    if (code < 0) {
        child<QPushButton>(chooser, "btnCancel")->click();
        return;
    }
    auto *view = child<CategoryTreeView>(chooser, "treeChoice");
    view->selectNode(view->tree().findCode(code));
    child<QPushButton>(chooser, "btnOk")->click();
}

} // namespace

class tst_Editors : public QObject
{
    Q_OBJECT

private slots:
    void questionWindowLayout()
    {
        ProgramFixture f(kServer + kAnn);
        TfmQuestion &q = f.question();
        QCOMPARE(q.windowTitle(), QStringLiteral("Question"));
        for (const char *name : {"dbeTo", "dbeAccount", "dbeSubject"})
            QVERIFY(q.findChild<QWidget *>(QLatin1String(name)));
        QVERIFY(child<QLineEdit>(&q, "dbeTo")->isReadOnly());
        QCOMPARE(child<QPushButton>(&q, "Button1")->text(), QStringLiteral("..."));
        // Every field is announced by its label.
        QMap<QString, QString> labels;
        for (QLabel *label : q.findChildren<QLabel *>())
            if (label->buddy())
                labels[label->text()] = label->buddy()->objectName();
        QCOMPARE(labels,
                 (QMap<QString, QString>{{"Expert Category:", "dbeTo"},
                                         {"From:", "dbeAccount"},
                                         {"Subject:", "dbeSubject"}}));
        QVERIFY(!q.body()->accessibleName().isEmpty());
        QCOMPARE(q.body()->contextMenuPolicy(), Qt::CustomContextMenu);
        QVERIFY(q.body()->tabChangesFocus());
        const QStringList fields{"dbeTo", "Button1", "dbeAccount", "dbeSubject", "reQuestion"};
        QCOMPARE(tabOrder(child<QWidget>(&q, "dbeTo"), fields), fields);

        const QStringList menus = [&] {
            QStringList titles;
            for (QAction *a : child<QMenuBar>(&q, "MainMenu1")->actions())
                titles << a->text();
            return titles;
        }();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Help"}));
        const auto items = [&](const char *menu) {
            QStringList texts;
            for (QAction *a : child<QMenu>(&q, menu)->actions())
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return texts;
        };
        QCOMPARE(items("File1"), (QStringList{"&Post", "-", "&Save", "-", "&Close"}));
        QCOMPARE(items("Edit1"),
                 (QStringList{"Undo", "Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "Select &All", "-", "&Delete"}));
        QCOMPARE(items("Help1"), (QStringList{"&Contents", "&Search for Help On...", "&How to Use Help", "&About..."}));
        QStringList bar;
        for (QAction *a : child<QToolBar>(&q, "ToolBar1")->actions())
            bar << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(bar.first(), QStringLiteral("Send"));
        QCOMPARE(bar[1], QStringLiteral("acSave"));
        QCOMPARE(bar.last(), QStringLiteral("acClose"));
        QCOMPARE(bar.indexOf("acUndo"), bar.indexOf("EditPaste1") + 1);
        QCOMPARE(bar.indexOf("acRedo"), bar.indexOf("acUndo") + 1);

        QCOMPARE(q.Send->property("hint").toString(), QStringLiteral("Place the message into the Outbox folder"));
        QCOMPARE(q.acSave->toolTip(), QStringLiteral("Saves the message"));
        QCOMPARE(q.acClose->toolTip(), QStringLiteral("Close the window"));
        QCOMPARE(q.acUndo->toolTip(), QStringLiteral("Undo the last command"));
        EditCommands &edit = *q.editCommands();
        QCOMPARE(edit.EditCut1->toolTip(), QStringLiteral("Cut"));
        QCOMPARE(edit.EditCut1->statusTip(), QStringLiteral("Cuts the selection and puts it on the Clipboard"));
        QCOMPARE(edit.EditPaste1->statusTip(), QStringLiteral("Inserts Clipboard contents"));
        QCOMPARE(edit.EditSelectAll1->statusTip(), QStringLiteral("Selects the entire document"));
        QCOMPARE(edit.EditDelete1->statusTip(), QStringLiteral("Erases the selection"));
        QVERIFY(edit.EditCut1->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_X)));
        QVERIFY(edit.EditDelete1->shortcuts().contains(QKeySequence(Qt::Key_Delete)));
    }

    void replyWindowDifferences()
    {
        ProgramFixture f(kServer + kAnn);
        TfmReply &r = f.reply();
        QCOMPARE(r.windowTitle(), QStringLiteral("Reply"));
        QVERIFY(!r.findChild<QWidget *>(QStringLiteral("dbeTo")));
        QVERIFY(!r.findChild<QWidget *>(QStringLiteral("Button1")));
        QLineEdit *news = child<QLineEdit>(&r, "edNews");
        QVERIFY(news->isReadOnly());
        QVERIFY(!news->isEnabled());
        QVERIFY(child<QComboBox>(&r, "dblFrom"));
        QCOMPARE(r.body()->contextMenuPolicy(), Qt::NoContextMenu);
        const QStringList fields{"edNews", "dblFrom", "dbeSubject", "reQuestion"};
        QCOMPARE(tabOrder(child<QWidget>(&r, "dblFrom"), fields), fields.mid(1));
        QCOMPARE(r.Send->property("hint").toString(), QStringLiteral("Place  the message into the Outbox folder"));
        QMap<QString, QString> labels;
        for (QLabel *label : r.findChildren<QLabel *>())
            if (label->buddy())
                labels[label->text()] = label->buddy()->objectName();
        QCOMPARE(labels,
                 (QMap<QString, QString>{{"Newsgroups", "edNews"}, {"From:", "dblFrom"}, {"Subject:", "dbeSubject"}}));
    }

    // New Question, Save, then Post: one row, through Drafts to the Outbox
    // with the same code, and the tree of the folder shown following it.
    void saveThenPostIsOneRow()
    {
        ProgramFixture f(kServer + kAnn + kCategories);
        f.showFolder(Drafts);
        ModalDriver steps;
        QStringList afterSave;
        QString shapeAfterSave, pathShown;
        bool openAfterSave = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            q->categoryButton()->click();
            pathShown = q->categoryPath()->text();
            typeInto(q->subject(), QStringLiteral("Which disk?"));
            q->body()->setPlainText(QStringLiteral("Line one\n\nLine three"));
            q->acSave->trigger();
            openAfterSave = q->isVisible();
            afterSave = f.committed(QStringLiteral("SELECT Code, Folder, \"From\", SentDate FROM Article"));
            shapeAfterSave = f.shape();
            q->Send->trigger();
        });
        // Opened by the "..." button inside the editor.
        steps.onWindow(QStringLiteral("fmCategChoice"), [](QWidget *w) { choose(w, 5); });
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(pathShown, QStringLiteral("\\All\\Computers\\Hardware"));
        QVERIFY(openAfterSave);
        QCOMPARE(afterSave.size(), 1);
        const QString code = afterSave[0].section(QLatin1Char('|'), 0, 0);
        QCOMPARE(afterSave[0], code + QStringLiteral("|2|NULL|NULL"));
        QCOMPARE(shapeAfterSave, code);

        QVERIFY(!f.question().isVisible());
        const QStringList rows = f.committed(QStringLiteral(
            "SELECT Code, Folder, ArticleType, IsRead, Category, CategoryPath, Account, Subject, Body, \"From\" "
            "FROM Article"));
        QCOMPARE(rows,
                 QStringList{code
                             + QStringLiteral("|1|-1|-1|5|\\All\\Computers\\Hardware|1|Which disk?|"
                                              "Line one\r\n\r\nLine three|Ann Smith <ann@example.org>")});
        const QDateTime sent = QDateTime::fromString(f.committed(QStringLiteral("SELECT SentDate FROM Article"))[0],
                                                     QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(sent >= before && sent <= QDateTime::currentDateTime(), qPrintable(sent.toString()));
        // Drafts shown: the posted message left it.
        QCOMPARE(f.shape(), QString());
        f.showFolder(Outbox);
        QCOMPARE(f.shape(), code);
    }

    void postWithTheOutboxShownAddsTheNode()
    {
        ProgramFixture f(kServer + kAnn + kCategories);
        f.showFolder(Outbox);
        ModalDriver steps;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            q->categoryButton()->click();
            typeInto(q->subject(), QStringLiteral("S"));
            q->body()->setPlainText(QStringLiteral("B"));
            q->Send->trigger();
        });
        // Opened by the "..." button inside the editor.
        steps.onWindow(QStringLiteral("fmCategChoice"), [](QWidget *w) { choose(w, 4); });
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        const QStringList codes = f.committed(QStringLiteral("SELECT Code FROM Article WHERE Folder=1 AND Category=4"));
        QCOMPARE(codes.size(), 1);
        QCOMPARE(f.shape(), codes[0]);
    }

    void postChecksInOrder_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("account");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty category and subject report the category") << 0 << 1 << ""
                                                                        << "B"
                                                                        << "You must specify a category to post to"
                                                                        << "dbeTo";
        QTest::newRow("no account") << 5 << 0 << "S"
                                    << "B"
                                    << "You must specify an account"
                                    << "dbeAccount";
        QTest::newRow("an account removed since") << 5 << 8 << "S"
                                                  << "B"
                                                  << "You must specify an account"
                                                  << "dbeAccount";
        QTest::newRow("no subject") << 5 << 1 << ""
                                    << "B"
                                    << "This message has no subject."
                                    << "dbeSubject";
        QTest::newRow("no body") << 5 << 1 << "S"
                                 << ""
                                 << "This message body is empty."
                                 << "reQuestion";
    }
    // The first failing check is the only one reported, in the "Quorbic"
    // warning box; the focus goes to its field and nothing is stored.
    void postChecksInOrder()
    {
        QFETCH(int, category);
        QFETCH(int, account);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, reason);
        QFETCH(QString, focus);
        ProgramFixture f(
            kServer + kAnn + kCategories
            + QStringLiteral("INSERT INTO Article (Code, Folder, ArticleType, IsRead, Category, "
                             "Account, Subject, Body) VALUES (3, 2, -1, -1, %1, %2, %3, %4);")
                  .arg(category)
                  .arg(account == 0 ? QStringLiteral("NULL") : QString::number(account))
                  .arg(sqlText(subject.isEmpty() ? QString() : subject), sqlText(body.isEmpty() ? QString() : body)));
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        QString focused;
        bool stillOpen = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            q->Send->trigger();
            focused = q->focusWidget() ? q->focusWidget()->objectName() : QString();
            stillOpen = q->isVisible();
            q->acClose->trigger();
        });
        steps.answerBox(QMessageBox::Ok);
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(steps.boxes().size(), 1);
        const ModalDriver::Box &box = steps.boxes()[0];
        QCOMPARE(box.title, QStringLiteral("Quorbic"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::Ok);
        QCOMPARE(box.text, QStringLiteral("The message could not be sent\r\r") + reason);
        QCOMPARE(focused, focus);
        QVERIFY(stillOpen);
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder, \"From\" FROM Article")), QStringList{"2|NULL"});
    }

    void replyChecks_data()
    {
        QTest::addColumn<QString>("accounts");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty subject") << kAnn << ""
                                       << "B"
                                       << "This message has no subject."
                                       << "dbeSubject";
        QTest::newRow("empty subject before empty body") << kAnn << ""
                                                         << ""
                                                         << "This message has no subject."
                                                         << "dbeSubject";
        QTest::newRow("empty body") << kAnn << "Re:S"
                                    << ""
                                    << "This message body is empty."
                                    << "reQuestion";
        QTest::newRow("no account exists") << QString() << "Re:S"
                                           << "B"
                                           << "You must specify an account"
                                           << "dblFrom";
    }
    // Edit of a reply in Drafts, then Post: the subject and the body are
    // checked; a reply with no account to send from is refused too.
    void replyChecks()
    {
        QFETCH(QString, accounts);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, reason);
        QFETCH(QString, focus);
        ProgramFixture f(kServer + accounts
                         + ArticleSeed(3).folder(Drafts).subject(subject).body(body).source("a.b").sql());
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        QString focused;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *r = static_cast<TfmReply *>(w);
            r->Send->trigger();
            focused = r->focusWidget() ? r->focusWidget()->objectName() : QString();
            r->acClose->trigger();
        });
        steps.answerBox(QMessageBox::Ok);
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(steps.boxes().size(), 1);
        QCOMPARE(steps.boxes()[0].title, QStringLiteral("Quorbic"));
        QCOMPARE(steps.boxes()[0].text, QStringLiteral("The message could not be sent\r\r") + reason);
        QCOMPARE(focused, focus);
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder, \"From\" FROM Article")), QStringList{"2|NULL"});
    }

    void categoryChooserAnswers_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("modified");
        QTest::newRow("cancelled changes nothing") << -1 << "4"
                                                   << "\\All\\Computers" << false;
        QTest::newRow("the root changes nothing") << 0 << "4"
                                                  << "\\All\\Computers" << false;
        QTest::newRow("a category is taken") << 5 << "5"
                                             << "\\All\\Computers\\Hardware" << true;
    }
    // The chooser is opened on the row's category; only a code above 0 is taken.
    void categoryChooserAnswers()
    {
        QFETCH(int, choice);
        QFETCH(QString, category);
        QFETCH(QString, path);
        QFETCH(bool, modified);
        ProgramFixture f(kServer + kAnn + kCategories
                         + QStringLiteral("INSERT INTO Article (Code, Folder, ArticleType, IsRead, Category, "
                                          "CategoryPath, Account) VALUES (3, 2, -1, -1, 4, '\\All\\Computers', 1);"));
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        QString shown, inRow;
        bool flagged = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            q->categoryButton()->click();
            shown = q->categoryPath()->text();
            inRow = q->editRow().asString(QStringLiteral("Category"));
            flagged = q->modified();
            q->acSave->trigger();
            q->acClose->trigger();
        });
        int preselected = -2;
        steps.onWindow(QStringLiteral("fmCategChoice"), [&](QWidget *w) {
            const QModelIndex selected = child<CategoryTreeView>(w, "treeChoice")->selectedNode();
            preselected = child<CategoryTreeView>(w, "treeChoice")->tree().nodeCode(selected);
            choose(w, choice);
        });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(preselected, 4);
        QCOMPARE(shown, path);
        QCOMPARE(inRow, category);
        QCOMPARE(flagged, modified);
        QCOMPARE(f.committed(QStringLiteral("SELECT Category, CategoryPath FROM Article")),
                 QStringList{category + QLatin1Char('|') + path});
    }

    void closingAChangedQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("open");
        QTest::newRow("No stores nothing") << int(QMessageBox::No) << QStringList() << false;
        QTest::newRow("Yes stores it in Drafts") << int(QMessageBox::Yes) << QStringList{"2|typed"} << false;
        QTest::newRow("Cancel stays open") << int(QMessageBox::Cancel) << QStringList() << true;
    }
    void closingAChangedQuestion()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, stored);
        QFETCH(bool, open);
        ProgramFixture f(kServer + kAnn);
        ModalDriver steps;
        bool stillOpen = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            QTest::keyClicks(q->body(), QStringLiteral("typed"));
            q->acClose->trigger();
            stillOpen = q->isVisible();
            if (stillOpen) {
                // The row is still the unstored new one: closing again asks again.
                q->body()->clear();
                q->reject();
            }
        });
        steps.answerBox(QMessageBox::StandardButton(answer));
        if (open)
            steps.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(steps.boxes()[0].title, QString());
        QCOMPARE(steps.boxes()[0].text, QStringLiteral("Do you want to save changes to this message?"));
        QCOMPARE(steps.boxes()[0].icon, QMessageBox::Warning);
        QCOMPARE(steps.boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(stillOpen, open);
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder, Body FROM Article")), stored);
    }

    // Reply closed untouched asks nothing and stores nothing; a typed body asks.
    void closingAReply_data()
    {
        QTest::addColumn<bool>("type");
        QTest::addColumn<int>("questions");
        QTest::newRow("untouched") << false << 0;
        QTest::newRow("body typed in") << true << 1;
    }
    void closingAReply()
    {
        QFETCH(bool, type);
        QFETCH(int, questions);
        ProgramFixture f(kAnn + ArticleSeed(7).subject("S").body("text").source("g").sql());
        f.select(7);
        ModalDriver steps;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *r = static_cast<TfmReply *>(w);
            if (type)
                QTest::keyClicks(r->body(), QStringLiteral("x"));
            r->acClose->trigger();
        });
        if (questions)
            steps.answerBox(QMessageBox::No);
        f.actions().acReply->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(steps.boxes().size(), questions);
        QCOMPARE(f.committed(QStringLiteral("SELECT Code FROM Article")), QStringList{"7"});
    }

    // An edited message answered No returns to its stored values.
    void closingAnEditedQuestionWithNoRestoresIt()
    {
        ProgramFixture f(kServer + kAnn + ArticleSeed(3).folder(Drafts).question().subject("Old").sql());
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            typeInto(q->subject(), QStringLiteral("New"));
            q->acClose->trigger();
        });
        steps.answerBox(QMessageBox::No);
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(f.dm().qryArticleEdit().state(), RowSet::State::Browse);
        QCOMPARE(f.dm().qryArticleEdit().asString(QStringLiteral("Subject")), QStringLiteral("Old"));
        QCOMPARE(f.committed(QStringLiteral("SELECT Subject FROM Article")), QStringList{"Old"});
    }

    // Saving a message shown in Deleted messages takes it out of that folder's
    // tree; it is then found in Drafts.
    void saveWhileDeletedMessagesShown()
    {
        ProgramFixture f(kServer + kAnn + ArticleSeed(3).folder(Deleted).question().subject("Gone").sql());
        f.showFolder(Deleted);
        f.select(3);
        ModalDriver steps;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            q->acSave->trigger();
            q->acClose->trigger();
        });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(f.shape(), QString());
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder FROM Article")), QStringList{"2"});
        f.showFolder(Drafts);
        QCOMPARE(f.shape(), QStringLiteral("3"));
    }

    void fromWithAnEmptyAddress()
    {
        ProgramFixture f(kServer + kCategories
                         + accountRow(1, QStringLiteral("Anon"), QStringLiteral("Nobody"), QString(), true)
                         + QStringLiteral("INSERT INTO Article (Code, Folder, ArticleType, IsRead, Category, Account, "
                                          "Subject, Body) VALUES (3, 2, -1, -1, 5, 1, 'S', 'B');"));
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        steps.onWindow(QStringLiteral("fmQuestion"),
                       [](QWidget *w) { static_cast<TfmQuestion *>(w)->Send->trigger(); });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder, \"From\" FROM Article")), QStringList{"1|Nobody <>"});
    }

    void defaultAccountOfANewQuestion_data()
    {
        QTest::addColumn<QString>("accounts");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("the default account")
            << accountRow(1, "Alpha", "A", "a@x", false) + accountRow(2, "Beta", "B", "b@x", true) << "Beta";
        QTest::newRow("no default: the account the list stands on")
            << accountRow(1, "Zulu", "Z", "z@x", false) + accountRow(2, "Alpha", "A", "a@x", false) << "Alpha";
    }
    void defaultAccountOfANewQuestion()
    {
        QFETCH(QString, accounts);
        QFETCH(QString, chosen);
        ProgramFixture f(kServer + accounts);
        ModalDriver steps;
        QString shown;
        bool flagged = true;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            shown = q->accountChooser()->currentText();
            flagged = q->modified();
            q->acClose->trigger();
        });
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(shown, chosen);
        QVERIFY(!flagged);
    }

    // Choosing another account with the keys marks the message changed and
    // is what Post sends from.
    void choosingAnAccountWithTheKeys()
    {
        ProgramFixture f(kServer + kCategories + accountRow(1, "Alpha", "Al", "a@x", true)
                         + accountRow(2, "Beta", "Be", "b@x", false)
                         + QStringLiteral("INSERT INTO Article (Code, Folder, ArticleType, IsRead, Category, Account, "
                                          "Subject, Body) VALUES (3, 2, -1, -1, 5, 1, 'S', 'B');"));
        f.showFolder(Drafts);
        f.select(3);
        ModalDriver steps;
        bool flagged = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            QTest::keyClick(q->accountChooser(), Qt::Key_Down);
            flagged = q->modified();
            q->Send->trigger();
        });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QVERIFY(flagged);
        QCOMPARE(f.committed(QStringLiteral("SELECT Account, \"From\" FROM Article")), QStringList{"2|Be <b@x>"});
    }

    void undoAndRedoFollowTheBody()
    {
        ProgramFixture f(kServer + kAnn);
        ModalDriver steps;
        QList<std::pair<bool, bool>> states;
        QString afterUndo, afterRedo;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            states << std::pair{q->acUndo->isEnabled(), q->acRedo->isEnabled()};
            QTest::keyClicks(q->body(), QStringLiteral("abc"));
            states << std::pair{q->acUndo->isEnabled(), q->acRedo->isEnabled()};
            q->acUndo->trigger();
            afterUndo = q->body()->toPlainText();
            states << std::pair{q->acUndo->isEnabled(), q->acRedo->isEnabled()};
            q->acRedo->trigger();
            afterRedo = q->body()->toPlainText();
            states << std::pair{q->acUndo->isEnabled(), q->acRedo->isEnabled()};
            q->body()->clear();
            q->reject();
        });
        steps.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(states, (QList<std::pair<bool, bool>>{{false, false}, {true, false}, {false, true}, {true, false}}));
        QCOMPARE(afterUndo, QString());
        QCOMPARE(afterRedo, QStringLiteral("abc"));
    }

    // The editing commands reach the field that had the focus, and a cut in
    // the subject is a change of the row like typing.
    void editingCommandsActOnTheFocusedField()
    {
        ProgramFixture f(kServer + kAnn);
        ModalDriver steps;
        QString subjectInRow, body;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *q = static_cast<TfmQuestion *>(w);
            EditCommands &edit = *q->editCommands();
            QApplication::setActiveWindow(q);
            q->subject()->setFocus();
            QTest::keyClicks(q->subject(), QStringLiteral("Hello"));
            edit.EditSelectAll1->trigger();
            edit.EditCut1->trigger();
            subjectInRow = q->editRow().value(QStringLiteral("Subject")).toString();
            q->body()->setFocus();
            edit.EditPaste1->trigger();
            body = q->body()->toPlainText();
            q->subject()->clear();
            q->body()->clear();
            q->reject();
        });
        steps.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.finished(), qPrintable(steps.problems()));
        QCOMPARE(subjectInRow, QString());
        QCOMPARE(body, QStringLiteral("Hello"));
    }
};

QTEST_MAIN(tst_Editors)
#include "tst_editors.moc"
