// The main window's message commands through the real program: when each is
// enabled, the first-use check, Reply with its subject, quoting and row, Edit
// into the edit buffer, Delete of whole threads and for good, and what reaches
// the store for good (what another process sees).

#include "messagesfixture.h"
#include "tests/support/answercorpus.h"
#include "tests/support/modaldriver.h"

#include "directories/accprop.h"
#include "directories/srvedit.h"
#include "messages/firstusecheck.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

enum { Inbox = 0, Outbox = 1, Drafts = 2, Deleted = 3 };

QString seedOf(std::initializer_list<ArticleSeed> rows)
{
    QString sql;
    for (const ArticleSeed &row : rows)
        sql += row.sql();
    return sql;
}

const QString kOneServer = serverRow();
const QString kOneAccount
    = accountRow(1, QStringLiteral("Main"), QStringLiteral("Ann Smith"), QStringLiteral("ann@example.org"), true);

void fillAndOk(QWidget *dialog, const QList<std::pair<const char *, QString>> &fields)
{
    for (const auto &[name, text] : fields)
        child<QLineEdit>(dialog, name)->setText(text);
    child<QPushButton>(dialog, "btnOk")->click();
}

} // namespace

class tst_MessageActions : public QObject
{
    Q_OBJECT

private slots:
    void enableRulesByFolder_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<bool>("reply");
        QTest::addColumn<bool>("edit");
        QTest::newRow("Inbox") << int(Inbox) << true << false;
        QTest::newRow("Outbox") << int(Outbox) << false << true;
        QTest::newRow("Drafts") << int(Drafts) << false << true;
        QTest::newRow("Deleted messages") << int(Deleted) << false << true;
    }
    void enableRulesByFolder()
    {
        QFETCH(int, folder);
        QFETCH(bool, reply);
        QFETCH(bool, edit);
        ProgramFixture f(
            seedOf({ArticleSeed(1).folder(Inbox).subject("in"), ArticleSeed(2).folder(Outbox).subject("out"),
                    ArticleSeed(3).folder(Drafts).subject("draft"), ArticleSeed(4).folder(Deleted).subject("gone")}));
        f.showFolder(folder);
        MainActions &a = f.actions();
        QVERIFY(a.acNewQuestion->isEnabled());
        QVERIFY(!a.acReply->isEnabled());
        QVERIFY(!a.acEdit->isEnabled());
        QVERIFY(!a.acDelete->isEnabled());

        f.select(folder + 1);
        QVERIFY(a.acNewQuestion->isEnabled());
        QCOMPARE(a.acReply->isEnabled(), reply);
        QCOMPARE(a.acEdit->isEnabled(), edit);
        QVERIFY(a.acDelete->isEnabled());
        // The same actions sit in the tree's pop-up menu.
        const QList<QAction *> popup = f.main().treeMenu()->actions();
        for (QAction *action : {a.acNewQuestion, a.acReply, a.acEdit, a.acDelete})
            QVERIFY(popup.contains(action));
    }

    // A double click runs Edit through its action: only where Edit is enabled.
    void doubleClickRunsEdit_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("editor");
        QTest::newRow("question in Drafts opens the question editor") << int(Drafts) << 2 << "fmQuestion";
        QTest::newRow("reply in the Outbox opens the reply editor") << int(Outbox) << 3 << "fmReply";
        QTest::newRow("Inbox opens nothing") << int(Inbox) << 1 << "";
    }
    void doubleClickRunsEdit()
    {
        QFETCH(int, folder);
        QFETCH(int, code);
        QFETCH(QString, editor);
        ProgramFixture f(seedOf({ArticleSeed(1).folder(Inbox).question().subject("in"),
                                 ArticleSeed(2).folder(Drafts).question().subject("draft"),
                                 ArticleSeed(3).folder(Outbox).subject("Re:out").body("text")}));
        f.showFolder(folder);
        f.select(code);
        ModalDriver steps;
        QString opened;
        if (!editor.isEmpty()) {
            steps.onWindow(editor, [&](QWidget *w) {
                opened = w->objectName();
                static_cast<MessageEditor *>(w)->acClose->trigger();
            });
        }
        QTreeWidget *tree = f.tree();
        const QRect rect = tree->visualItemRect(f.main().FindArticleNode(code));
        // A double click is a click followed by the second press.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
        QTRY_VERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(opened, editor);
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        // Closing without a change left the message where it was.
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder FROM Article WHERE Code=%1").arg(code)),
                 QStringList{QString::number(folder)});
    }

    void newQuestionWithoutServerAnsweredNoCreatesNothing()
    {
        ProgramFixture f(kOneAccount);
        ModalDriver steps;
        steps.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(steps.boxes().size(), 1);
        const ModalDriver::Box &box = steps.boxes()[0];
        QCOMPARE(box.title, QStringLiteral("Warning"));
        QCOMPARE(box.text,
                 QStringLiteral("You have not any news server information \r\rDo you want to add a news server?"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        // No new row was begun in the edit row.
        QVERIFY(f.dm().qryArticleEdit().state() != RowSet::State::Insert);
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Servers")).isEmpty());
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Article")).isEmpty());
    }

    // Both tables empty: Yes and OK add the server, which stays although No to
    // the account ends the command; the next New Question asks only for the
    // account.
    void serverAddedStaysWhenTheAccountIsRefused()
    {
        ProgramFixture f;
        ModalDriver steps;
        bool onlyLoginPreset = false;
        steps.answerBox(QMessageBox::Yes);
        steps.onWindow(QStringLiteral("fmEditServer"), [&](QWidget *w) {
            RowSet &row = f.dm().tbServer();
            onlyLoginPreset = row.state() == RowSet::State::Insert
                && row.value(QStringLiteral("RequiresLogin")) == QVariant(0)
                && row.value(QStringLiteral("Port")).isNull() && row.value(QStringLiteral("IsProxy")).isNull();
            fillAndOk(w, {{"dbeProfileName", QStringLiteral("Home")}, {"dbeServerName", QStringLiteral("news.home")}});
        });
        steps.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QVERIFY(onlyLoginPreset);
        QCOMPARE(steps.boxes().size(), 2);
        QCOMPARE(steps.boxes()[1].title, QStringLiteral("Warning"));
        QCOMPARE(steps.boxes()[1].text,
                 QStringLiteral("You have not any account \r\rDo you want to add a new account?"));
        QCOMPARE(steps.boxes()[1].icon, QMessageBox::Warning);
        QCOMPARE(f.committed(QStringLiteral("SELECT ProfileName, ServerName FROM Servers")),
                 QStringList{QStringLiteral("Home|news.home")});
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Article")).isEmpty());

        ModalDriver again;
        again.answerBox(QMessageBox::No);
        f.actions().acNewQuestion->trigger();
        QVERIFY2(again.done(), qPrintable(again.pending().join(QLatin1String(", "))));
        QVERIFY(again.unexpected().isEmpty());
        QCOMPARE(again.boxes().size(), 1);
        QCOMPARE(again.boxes()[0].text, FirstUseCheck::accountQuestion());
        QCOMPARE(f.committed(QStringLiteral("SELECT Code FROM Servers")).size(), 1);
    }

    void leavingADialogEndsSilently_data()
    {
        QTest::addColumn<QString>("seed");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("server dialog cancelled") << QString() << "fmEditServer";
        QTest::newRow("account dialog cancelled") << kOneServer << "fmAccountProperty";
    }
    void leavingADialogEndsSilently()
    {
        QFETCH(QString, seed);
        QFETCH(QString, dialog);
        ProgramFixture f(seed);
        ModalDriver steps;
        steps.answerBox(QMessageBox::Yes);
        steps.onWindow(dialog, [](QWidget *w) { child<QPushButton>(w, "btnCancel")->click(); });
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(steps.boxes().size(), 1);
        QCOMPARE(f.committed(QStringLiteral("SELECT Code FROM Servers")).size(), seed.isEmpty() ? 0 : 1);
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Account")).isEmpty());
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Article")).isEmpty());
    }

    // Yes and OK twice: the question editor opens on a new question row with
    // the account just made as its default.
    void serverAndAccountAddedThenTheEditorOpens()
    {
        ProgramFixture f;
        ModalDriver steps;
        steps.answerBox(QMessageBox::Yes);
        steps.onWindow(QStringLiteral("fmEditServer"), [](QWidget *w) {
            fillAndOk(w, {{"dbeProfileName", QStringLiteral("Home")}, {"dbeServerName", QStringLiteral("news.home")}});
        });
        steps.answerBox(QMessageBox::Yes);
        steps.onWindow(QStringLiteral("fmAccountProperty"), [](QWidget *w) {
            fillAndOk(w,
                      {{"dbeAccountName", QStringLiteral("Mine")},
                       {"dbeUserName", QStringLiteral("Me")},
                       {"dbeEmail", QStringLiteral("me@home")}});
        });
        QString chosen;
        QVariant folder, type, read;
        bool inserting = false;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *editor = static_cast<TfmQuestion *>(w);
            RowSet &row = editor->editRow();
            inserting = row.state() == RowSet::State::Insert;
            folder = row.value(QStringLiteral("Folder"));
            type = row.value(QStringLiteral("ArticleType"));
            read = row.value(QStringLiteral("IsRead"));
            chosen = editor->accountChooser()->currentText();
            editor->acClose->trigger();
        });
        f.actions().acNewQuestion->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QVERIFY(inserting);
        QCOMPARE(folder, QVariant(2));
        QCOMPARE(type, QVariant(-1));
        QCOMPARE(read, QVariant(-1));
        QCOMPARE(chosen, QStringLiteral("Mine"));
        // Closed untouched: nothing was stored.
        QVERIFY(f.committed(QStringLiteral("SELECT Code FROM Article")).isEmpty());
    }

    void replySubject_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("received");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Hello") << "Hello" << false << "Re:Hello";
        QTest::newRow("Re: Hello") << "Re: Hello" << false << "Re: Hello";
        QTest::newRow("RE: Hello") << "RE: Hello" << false << "Re:RE: Hello";
        QTest::newRow("empty") << "" << false << "Re:";
        QTest::newRow("received encoded words are decoded first")
            << "=?UTF-8?Q?J=C3=B6rg_fragt?=" << true << QString::fromUtf8("Re:J\xc3\xb6rg fragt");
        QTest::newRow("received Re: in encoded words")
            << "=?ISO-8859-1?Q?Re:_M=FCnchen?=" << true << QString::fromUtf8("Re: M\xc3\xbcnchen");
    }
    void replySubject()
    {
        QFETCH(QString, subject);
        QFETCH(bool, received);
        QFETCH(QString, expected);
        ProgramFixture f(kOneServer + kOneAccount
                         + ArticleSeed(7).subject(subject).source("comp.lang").received(received).sql());
        f.select(7);
        ModalDriver steps;
        QString shown, inRow;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *editor = static_cast<TfmReply *>(w);
            shown = editor->subject()->text();
            inRow = editor->editRow().asString(QStringLiteral("Subject"));
            editor->acClose->trigger();
        });
        f.actions().acReply->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(inRow, expected);
        QCOMPARE(shown, expected);
    }

    void replyQuotesTheBody_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("quoted");
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty body gives no line") << "" << QByteArray() << ""
                                                  << "NULL";
        QTest::newRow("no body gives no line") << QString() << QByteArray() << ""
                                               << "NULL";
        QTest::newRow("three lines, the second empty") << "first\r\n\r\nthird" << QByteArray() << ">first\n>\n>third"
                                                       << ">first\r\n>\r\n>third";
        QTest::newRow("final line break of a received body")
            << QString() << QByteArray("one\r\ntwo\r\n") << ">one\n>two"
            << ">one\r\n>two";
        QTest::newRow("received 8-bit body read as Windows-1252") << QString()
                                                                  << QByteArray("Gr\xfc\xdf"
                                                                                "e\r\n")
                                                                  << QString::fromUtf8(">Gr\xc3\xbc\xc3\x9f"
                                                                                       "e")
                                                                  << QString::fromUtf8(">Gr\xc3\xbc\xc3\x9f"
                                                                                       "e");
    }
    // The quoted body is what the editor shows; Post stores it with CR LF.
    void replyQuotesTheBody()
    {
        QFETCH(QString, body);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, quoted);
        QFETCH(QString, stored);
        ProgramFixture f(kOneServer + kOneAccount
                         + ArticleSeed(7).subject("S").body(body).source("g").bodyBytes(bytes).sql());
        f.select(7);
        ModalDriver steps;
        QString shown;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *editor = static_cast<TfmReply *>(w);
            shown = editor->body()->toPlainText();
            // Post needs a body; an empty one gets a line of the user's.
            if (shown.isEmpty())
                editor->body()->setPlainText(QStringLiteral("typed"));
            editor->Send->trigger();
        });
        f.actions().acReply->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(shown, quoted);
        const QStringList rows = f.committed(QStringLiteral("SELECT Body FROM Article WHERE Code<>7"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0], stored == QLatin1String("NULL") ? QStringLiteral("typed") : stored);
    }

    // An answer from a graphical mail program (quoted-printable, format=flowed,
    // an HTML copy) kept with its header: the reply quotes what a reader sees,
    // each flowed paragraph as one paragraph, by displayed lines.
    void replyQuotesTheDecodedAnswer()
    {
        const AnswerCorpus::Answer answer = AnswerCorpus::load(QStringLiteral("thunderbird-alternative"));
        ProgramFixture f(
            kOneServer + kOneAccount
            + ArticleSeed(7).subject("Re: Wi-Fi").source("comp.os.linux.networking").bodyBytes(answer.body).sql()
            + AnswerCorpus::headerRow(7, answer.header));
        f.select(7);
        ModalDriver steps;
        QString shown;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            shown = static_cast<TfmReply *>(w)->body()->toPlainText();
            w->close();
        });
        f.actions().acReply->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        const QStringList lines = shown.split(QLatin1Char('\n'));
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(QLatin1Char('>')), qPrintable(line));
        QVERIFY2(lines.size() >= 7, qPrintable(shown));
        // The long paragraph is wrapped by the editor, not by the sender.
        QCOMPARE(lines.mid(0, 2), (QStringList{QStringLiteral(">Hi Karl,"), QStringLiteral(">")}));
        QVERIFY2(lines[2].startsWith(u">The café around"_qs), qPrintable(lines[2]));
        QString joined = shown;
        joined.remove(QStringLiteral("\n>"));
        QString plain = answer.expected;
        plain.remove(QLatin1Char('\n'));
        QCOMPARE(joined, QLatin1Char('>') + plain);
    }

    // A paragraph wider than the reply's body is quoted line by displayed
    // line: each shown line gets its own ">" and none of the text is lost.
    void replyQuotesALongParagraphByDisplayedLines()
    {
        QStringList words;
        for (int i = 0; i < 80; ++i)
            words << QStringLiteral("w%1").arg(i);
        const QString paragraph = words.join(QLatin1Char(' '));
        ProgramFixture f(kOneAccount + ArticleSeed(7).subject("S").body(paragraph).source("g").sql());
        f.select(7);
        ModalDriver steps;
        QStringList lines;
        int viewport = 0;
        QFont font;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *editor = static_cast<TfmReply *>(w);
            lines = editor->body()->toPlainText().split(QLatin1Char('\n'));
            viewport = editor->body()->viewport()->width();
            font = editor->body()->font();
            editor->acClose->trigger();
        });
        f.actions().acReply->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(lines.size() > 2, qPrintable(lines.join(QLatin1Char('|'))));
        QString joined;
        const QFontMetrics metrics(font);
        for (const QString &line : lines) {
            QVERIFY2(line.startsWith(QLatin1Char('>')), qPrintable(line));
            joined += line.mid(1);
            // Laid out in the width the body shows: every piece fits it.
            QVERIFY2(metrics.horizontalAdvance(line.mid(1).trimmed()) < viewport, qPrintable(line));
        }
        QCOMPARE(joined, paragraph);
    }

    void replyRowAndAccount_data()
    {
        QTest::addColumn<int>("repliedAccount");
        QTest::addColumn<int>("expectedAccount");
        QTest::addColumn<QString>("from");
        QTest::newRow("the answered message's account is kept") << 2 << 2 << "Bob Jones <bob@example.org>";
        QTest::newRow("no account takes the default") << 0 << 1 << "Ann Smith <ann@example.org>";
    }
    // Reply then Post untouched: the row in the Outbox with the answered
    // message's newsgroups and code, the account and the sender.
    void replyRowAndAccount()
    {
        QFETCH(int, repliedAccount);
        QFETCH(int, expectedAccount);
        QFETCH(QString, from);
        ProgramFixture f(
            kOneServer + kOneAccount
            + accountRow(2, QStringLiteral("Bob"), QStringLiteral("Bob Jones"), QStringLiteral("bob@example.org"),
                         false)
            + seedOf({ArticleSeed(3).folder(Inbox).question().subject("Q").source("a.b,c.d"),
                      ArticleSeed(7).parent(3).folder(Inbox).subject("Answer").body("text").source("a.b").account(
                          repliedAccount)}));
        f.showFolder(Outbox);
        f.showFolder(Inbox);
        f.select(7);
        ModalDriver steps;
        QString newsgroups, chooser;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *editor = static_cast<TfmReply *>(w);
            newsgroups = editor->newsgroups()->text();
            chooser = editor->accountChooser()->currentText();
            editor->Send->trigger();
        });
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        f.actions().acReply->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(newsgroups, QStringLiteral("a.b"));
        QCOMPARE(chooser, expectedAccount == 1 ? QStringLiteral("Main") : QStringLiteral("Bob"));
        const QStringList rows = f.committed(QStringLiteral(
            "SELECT Folder, ArticleType, IsRead, Subject, Newsgroup, Parent, Account, \"From\", Body, Category "
            "FROM Article WHERE Code>7"));
        QCOMPARE(rows,
                 QStringList{QStringLiteral("1|0|-1|Re:Answer|a.b|7|%1|%2|>text|NULL").arg(expectedAccount).arg(from)});
        const QDateTime sent
            = QDateTime::fromString(f.committed(QStringLiteral("SELECT SentDate FROM Article WHERE Code>7"))[0],
                                    QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(sent >= before && sent <= QDateTime::currentDateTime(), qPrintable(sent.toString()));
        // The Inbox is shown: posting a reply there changes nothing in the tree.
        QCOMPARE(f.shape(), QStringLiteral("3[7]"));
    }

    void replyWithoutSelectionSaysSo()
    {
        ProgramFixture f(kOneAccount + ArticleSeed(7).subject("S").sql());
        QCOMPARE(f.main().messageTree().selectedNode(), nullptr);
        ModalDriver steps;
        steps.answerBox(QMessageBox::Ok);
        f.program->windows()->messageActions().acReplyExecute();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY(steps.unexpected().isEmpty());
        QCOMPARE(steps.boxes().size(), 1);
        QCOMPARE(steps.boxes()[0].text, QStringLiteral("Please select the message you want to reply to"));
        QCOMPARE(steps.boxes()[0].title, QStringLiteral("Quorbic"));
        QCOMPARE(steps.boxes()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(steps.boxes()[0].buttons, QMessageBox::Ok);
        QCOMPARE(f.committed(QStringLiteral("SELECT Code FROM Article")), QStringList{QStringLiteral("7")});
    }

    void editInTheOutbox_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("shape");
        QTest::newRow("closed without saving stays in the Outbox") << false << "1"
                                                                   << "5";
        QTest::newRow("saved moves to Drafts") << true << "2"
                                               << "";
    }
    void editInTheOutbox()
    {
        QFETCH(bool, save);
        QFETCH(QString, folder);
        QFETCH(QString, shape);
        ProgramFixture f(kOneAccount + ArticleSeed(5).folder(Outbox).question().subject("Q").body("B").sql());
        f.showFolder(Outbox);
        f.select(5);
        ModalDriver steps;
        QVariant bufferFolder;
        QString body;
        steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
            auto *editor = static_cast<TfmQuestion *>(w);
            bufferFolder = editor->editRow().value(QStringLiteral("Folder"));
            body = editor->body()->toPlainText();
            if (save)
                editor->acSave->trigger();
            editor->acClose->trigger();
        });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY2(steps.unexpected().isEmpty(), qPrintable(steps.unexpected().join(QLatin1Char('\n'))));
        QCOMPARE(bufferFolder, QVariant(2));
        QCOMPARE(body, QStringLiteral("B"));
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{folder});
        QCOMPARE(f.shape(), shape);
    }

    // A reply of the user's opens in the reply editor with its body as it
    // is, unquoted, and keeps its account.
    void editOfAReplyPutsItsBodyUnquoted()
    {
        ProgramFixture f(kOneAccount
                         + accountRow(2, QStringLiteral("Bob"), QStringLiteral("Bob"), QStringLiteral("b@x"), false)
                         + ArticleSeed(5).folder(Drafts).subject("Re:Q").body(">quoted\r\nmine").account(2).sql());
        f.showFolder(Drafts);
        f.select(5);
        ModalDriver steps;
        QString body, chooser;
        steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
            auto *editor = static_cast<TfmReply *>(w);
            body = editor->body()->toPlainText();
            chooser = editor->accountChooser()->currentText();
            editor->acClose->trigger();
        });
        f.actions().acEdit->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(body, QStringLiteral(">quoted\nmine"));
        QCOMPARE(chooser, QStringLiteral("Bob"));
    }

    // A question with two answers, one of them answered again: all four rows
    // go to Deleted messages and their nodes leave the tree; there each is a
    // message of its own, and deleting one removes only that row (and the
    // header kept with it).
    void deleteMovesTheThreadThenDeletesForGood()
    {
        ProgramFixture f(seedOf({ArticleSeed(1).folder(Inbox).question().subject("Q"),
                                 ArticleSeed(2).parent(1).folder(Inbox).subject("A1"),
                                 ArticleSeed(3).parent(1).folder(Inbox).subject("A2"),
                                 ArticleSeed(4).parent(2).folder(Inbox).subject("R"),
                                 ArticleSeed(9).folder(Inbox).question().subject("other")})
                         + AnswerCorpus::headerRow(2, "From: A <a@example.com>\r\n")
                         + AnswerCorpus::headerRow(3, "From: B <b@example.com>\r\n"));
        QCOMPARE(f.shape(), QStringLiteral("1[2[4],3] 9"));
        f.select(1);
        ModalDriver steps;
        steps.answerBox(QMessageBox::Yes);
        f.actions().acDelete->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(steps.boxes().size(), 1);
        QCOMPARE(steps.boxes()[0].title, QStringLiteral("Warning"));
        QCOMPARE(steps.boxes()[0].text, QStringLiteral("You want to delete the message?"));
        QCOMPARE(steps.boxes()[0].icon, QMessageBox::Warning);
        QCOMPARE(steps.boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.shape(), QStringLiteral("9"));
        QCOMPARE(f.committed(QStringLiteral("SELECT Code, Folder FROM Article ORDER BY Code")),
                 (QStringList{"1|3", "2|3", "3|3", "4|3", "9|0"}));

        f.showFolder(Deleted);
        QStringList top = f.shape().split(QLatin1Char(' '));
        top.sort();
        QCOMPARE(top, (QStringList{"1", "2", "3", "4"}));
        f.select(2);
        steps.answerBox(QMessageBox::Yes);
        f.actions().acDelete->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QVERIFY(steps.unexpected().isEmpty());
        top = f.shape().split(QLatin1Char(' '));
        top.sort();
        QCOMPARE(top, (QStringList{"1", "3", "4"}));
        QCOMPARE(f.committed(QStringLiteral("SELECT Code FROM Article ORDER BY Code")),
                 (QStringList{"1", "3", "4", "9"}));
        // The header kept with an answer goes when the answer goes for good.
        QCOMPARE(f.committed(QStringLiteral("SELECT ArticleId FROM ArticleHeader")), QStringList{"3"});
    }

    void deleteAnsweredNoKeepsEverything()
    {
        ProgramFixture f(seedOf({ArticleSeed(1).folder(Drafts).question().subject("Q")}));
        f.showFolder(Drafts);
        f.select(1);
        ModalDriver steps;
        steps.answerBox(QMessageBox::No);
        f.actions().acDelete->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(f.shape(), QStringLiteral("1"));
        QCOMPARE(f.committed(QStringLiteral("SELECT Folder FROM Article")), QStringList{"2"});
    }

    // The store refuses one row half way: the rows moved before it (the
    // deepest first) stay moved, durably, and the rest stay in the Inbox.
    void deleteRefusedHalfWayKeepsWhatWasMoved()
    {
        ProgramFixture f(seedOf({ArticleSeed(1).folder(Inbox).question().subject("Q"),
                                 ArticleSeed(2).parent(1).folder(Inbox).subject("A1"),
                                 ArticleSeed(3).parent(1).folder(Inbox).subject("A2"),
                                 ArticleSeed(4).parent(2).folder(Inbox).subject("R")}),
                         QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Article WHEN NEW.Code = 3 "
                                        "BEGIN SELECT RAISE(ABORT, 'row 3 is locked'); END"));
        f.select(1);
        ModalDriver steps;
        steps.answerBox(QMessageBox::Yes);
        steps.answerBox(QMessageBox::Ok);
        f.actions().acDelete->trigger();
        QVERIFY2(steps.done(), qPrintable(steps.pending().join(QLatin1String(", "))));
        QCOMPARE(steps.boxes().size(), 2);
        QCOMPARE(steps.boxes()[1].title, QStringLiteral("Quorbic"));
        QVERIFY2(steps.boxes()[1].text.contains(QLatin1String("row 3 is locked")), qPrintable(steps.boxes()[1].text));
        QCOMPARE(f.committed(QStringLiteral("SELECT Code, Folder FROM Article ORDER BY Code")),
                 (QStringList{"1|0", "2|3", "3|0", "4|3"}));
        QCOMPARE(f.shape(), QStringLiteral("1[3]"));
    }
};

QTEST_MAIN(tst_MessageActions)
#include "tst_messageactions.moc"
