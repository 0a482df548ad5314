// Hostile text from the user: line breaks of every kind, NUL, dot lines,
// lines of 100,000 characters, a right-to-left override, characters outside
// the BMP, a lone surrogate and text that looks like header lines, pasted into
// every field of the real program that stores text.
//
// Each window stores what its field held. The question and the reply written
// with that text, sent by the posting run to a real INN from an account whose
// name and organization hold it too, are read back raw: exactly the composer's
// header fields, none injected, every header line well formed, one copy per
// group, and subject, sender name, organization and body decoding back to
// what was typed. An answer carrying the same text comes back through the
// retrieval run and decodes the same.

#include "messagesfixture.h"
#include "tests/support/modaldriver.h"
#include "hostilechecks.h"

#include "directories/addresscheck.h"
#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "exchange/postingrun.h"
#include "exchange/retrievalrun.h"
#include "shell/appwindows.h"
#include "shell/mainfolderview.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "transport/displaytext.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>

namespace {

enum { Inbox = 0, Outbox = 1, Drafts = 2 };

// A line edit holds at most this many characters unless told otherwise.
constexpr qsizetype kLineEditLimit = 32767;

struct Hostile
{
    const char *name;
    QString text;
};

// The one table of hostile texts. None ends in blanks: the composer removes
// trailing blanks from header lines, which is not what is tested here.
const QList<Hostile> &hostileTexts()
{
    static const QList<Hostile> texts = [] {
        const QString longWord = QStringLiteral("abcdefghij").repeated(10000);
        QString longWords = QStringLiteral("quorbic ").repeated(12500);
        longWords.back() = QLatin1Char('!');
        return QList<Hostile>{
            {"CR", QStringLiteral("first\rsecond")},
            {"LF", QStringLiteral("first\nsecond")},
            {"CR LF", QStringLiteral("first\r\nsecond")},
            {"NUL", QStringLiteral("before") + QChar(0) + QStringLiteral("after")},
            {"a line that is just a dot", QStringLiteral(".")},
            {"lines starting with dots", QStringLiteral(".leading dot\r\n..two dots")},
            {"end of article inside the text", QStringLiteral("before\r\n.\r\nafter")},
            {"100,000 characters without blanks", longWord},
            {"100,000 characters with blanks", longWords},
            {"right-to-left with U+202E",
             QString::fromUtf8("Hebrew \u05E9\u05DC\u05D5\u05DD \u202Eexe.live Arabic \u0645\u0631\u062D\u0628\u0627")},
            {"emoji outside the BMP", QString::fromUtf8("smile \U0001F600 and \U0001F389")},
            // Fields of 50 characters keep the first half of the emoji's pair.
            {"emoji cut by a field's length", QString(49, QLatin1Char('e')) + QString::fromUtf8("\U0001F600 tail")},
            {"lone surrogate", QStringLiteral("half ") + QChar(0xD83D) + QStringLiteral(" a pair")},
            {"header lines in the text", QStringLiteral("Subject: x\r\nNewsgroups: evil.group")},
            {"a Control header after a line break", QStringLiteral("\r\nControl: cancel <x>")},
        };
    }();
    return texts;
}

void hostileRows()
{
    QTest::addColumn<QString>("text");
    for (const Hostile &hostile : hostileTexts())
        QTest::newRow(hostile.name) << hostile.text;
}

#define VERIFY_STEPS(steps) QVERIFY2((steps).finished(), qPrintable(steps.problems()))

// For helpers that return a value: records a failure of the steps, which the
// test then sees in QTest::currentTestFailed().
void checkSteps(const ModalDriver &steps, const char *what, int line)
{
    QTest::qVerify(steps.finished(), what, qPrintable(steps.problems()), __FILE__, line);
}

// Pastes as Ctrl+V does: the clipboard's text replaces the field's.
void paste(QLineEdit *edit, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    edit->selectAll();
    edit->paste();
}

void paste(QPlainTextEdit *edit, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    edit->selectAll();
    edit->paste();
}

QLineEdit *field(const QWidget *window, const char *name)
{
    return child<QLineEdit>(window, name);
}

// The account's name and organization as the article carries them.
struct Sender
{
    QString userName;
    QString organization;
};

} // namespace

class tst_HostileInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void directoryWindowsStoreWhatTheFieldsHeld_data() { hostileRows(); }
    void directoryWindowsStoreWhatTheFieldsHeld();
    void editorsStoreWhatTheFieldsHeld_data() { hostileRows(); }
    void editorsStoreWhatTheFieldsHeld();
    void postedArticlesCarryTheTextAndNothingMore_data() { hostileRows(); }
    void postedArticlesCarryTheTextAndNothingMore();
    void cleanup() { m_reader.close(); }
    void cleanupTestCase();

private:
    // Through "Accounts...", Add: an account named "Hostile" whose name and
    // organization hold the text, the default one. Returns what the fields held.
    Sender addAccount(ProgramFixture &f, const QString &text);
    // New Question in the category of the code, the text as subject and body,
    // Post. Returns the subject and body the editor held.
    std::pair<QString, QString> writeQuestion(ProgramFixture &f, int category, const QString &text);
    // Reply to the selected message, the text as subject and body, Post.
    std::pair<QString, QString> writeReply(ProgramFixture &f, const QString &text);
    // Checks one posted copy as INN holds it.
    void checkArticle(const QString &messageId, const QString &group, const QString &subject, const QString &body,
                      const Sender &sender, const QString &references);
    int articleCount(const QString &group);
    QString groupOf(const char *side) const;

    std::unique_ptr<InnServer> m_inn;
    // One reading session per row for the article checks and the counts.
    NntpProbe m_reader;
};

void tst_HostileInput::initTestCase()
{
    InnServer::Options options;
    options.groups.clear();
    for (qsizetype i = 0; i < hostileTexts().size(); ++i) {
        options.groups << QStringLiteral("quorbic.hostile.r%1.a").arg(i)
                       << QStringLiteral("quorbic.hostile.r%1.b").arg(i);
    }
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
}

void tst_HostileInput::cleanupTestCase()
{
    m_inn.reset();
}

QString tst_HostileInput::groupOf(const char *side) const
{
    const QByteArray row = QTest::currentDataTag();
    qsizetype index = -1;
    for (qsizetype i = 0; i < hostileTexts().size(); ++i) {
        if (row == hostileTexts().at(i).name)
            index = i;
    }
    return QStringLiteral("quorbic.hostile.r%1.%2").arg(index).arg(QLatin1String(side));
}

// Server, account and category name: every text field of the three dialogs.
void tst_HostileInput::directoryWindowsStoreWhatTheFieldsHeld()
{
    QFETCH(QString, text);
    ProgramFixture f;

    const char *serverFields[] = {"dbeProfileName", "dbeServerName", "dbeLogin",        "dbePassword",
                                  "dbeProxyHost",   "dbeProxyLogin", "dbeProxyPassword"};
    QStringList serverHeld;
    int serverResult = -1;
    ModalDriver steps;
    steps.onWindow(QStringLiteral("fmServer"), [&](QWidget *list) {
        actionOf(list, "acAdd")->trigger();
        child<QPushButton>(list, "btnClose")->click();
    });
    steps.onWindow(QStringLiteral("fmEditServer"), [&](QWidget *dialog) {
        // The groups' fields take text only while their boxes are ticked.
        child<QCheckBox>(dialog, "dbeLoginRequire")->click();
        child<QCheckBox>(dialog, "dbProxy")->click();
        for (const char *name : serverFields)
            paste(field(dialog, name), text);
        child<QPushButton>(dialog, "btnOk")->click();
        serverResult = static_cast<QDialog *>(dialog)->result();
        for (const char *name : serverFields)
            serverHeld << field(dialog, name)->text();
    });
    f.actions().actServers->trigger();
    VERIFY_STEPS(steps);
    QCOMPARE(serverResult, int(QDialog::Accepted));
    const QStringList serverColumns{"ProfileName", "ServerName", "Login",        "Password",
                                    "Host",        "ProxyLogin", "ProxyPassword"};
    for (qsizetype i = 0; i < serverColumns.size(); ++i) {
        // The host loses the blanks and line breaks around it on OK.
        const QString held = serverColumns[i] == QLatin1String("ServerName") ? text.left(kLineEditLimit).trimmed()
                                                                             : text.left(kLineEditLimit);
        COMPARE_TEXT(serverHeld[i], held);
        COMPARE_TEXT(f.store.value(QStringLiteral("SELECT %1 FROM Servers").arg(serverColumns[i])).toString(),
                     asUtf8Reads(held));
    }

    const struct
    {
        const char *field;
        const char *column;
        int size; // the column's size, the field's limit
    } accountFields[] = {{"dbeAccountName", "AccountName", 50},
                         {"dbeUserName", "UserName", 100},
                         {"dbeOrganization", "Organization", 50},
                         {"dbeEmail", "\"E-mail address\"", 100},
                         {"dbeReplyAddress", "ReplyAddress", 100}};
    QStringList accountHeld;
    steps.onWindow(QStringLiteral("fmAccount"), [&](QWidget *list) {
        actionOf(list, "acAdd")->trigger();
        child<QPushButton>(list, "btnClose")->click();
    });
    // A text that is no e-mail address is refused there with a box, and the
    // user types a real one; every other field stores the text.
    const QString realAddress = QStringLiteral("asker@example.org");
    const bool addressRefused = !AddressCheck::problem(text.left(100)).isEmpty();
    steps.onWindow(QStringLiteral("fmAccountProperty"), [&](QWidget *dialog) {
        for (const auto &a : accountFields) {
            paste(field(dialog, a.field), text);
            accountHeld << field(dialog, a.field)->text();
        }
        child<QPushButton>(dialog, "btnOk")->click();
    });
    if (addressRefused) {
        steps.answerBox(QMessageBox::Ok);
        steps.onWindow(QStringLiteral("fmAccountProperty"), [&](QWidget *dialog) {
            field(dialog, "dbeEmail")->setText(realAddress);
            child<QPushButton>(dialog, "btnOk")->click();
        });
    }
    f.actions().acAccount->trigger();
    VERIFY_STEPS(steps);
    for (size_t i = 0; i < std::size(accountFields); ++i) {
        const auto &a = accountFields[i];
        COMPARE_TEXT(accountHeld[i], text.left(a.size));
        const bool address = QLatin1String(a.field) == QLatin1String("dbeEmail");
        COMPARE_TEXT(f.store.value(QStringLiteral("SELECT %1 FROM Account").arg(QLatin1String(a.column))).toString(),
                     address && addressRefused ? realAddress : asUtf8Reads(accountHeld[i]));
    }

    QString categoryHeld;
    steps.onWindow(QStringLiteral("fmCategories"), [&](QWidget *manager) {
        actionOf(manager, "acNew")->trigger();
        actionOf(manager, "acClose")->trigger();
    });
    steps.onWindow(QStringLiteral("fmCategoryEdit"), [&](QWidget *dialog) {
        paste(field(dialog, "edName"), text);
        categoryHeld = field(dialog, "edName")->text();
        child<QPushButton>(dialog, "btnOk")->click();
    });
    f.actions().acCategories->trigger();
    VERIFY_STEPS(steps);
    COMPARE_TEXT(categoryHeld, text.left(kLineEditLimit));
    COMPARE_TEXT(f.store.value(QStringLiteral("SELECT Name FROM Categories WHERE Kind<>0")).toString(),
                 asUtf8Reads(categoryHeld));
}

Sender tst_HostileInput::addAccount(ProgramFixture &f, const QString &text)
{
    Sender held;
    ModalDriver steps;
    steps.onWindow(QStringLiteral("fmAccount"), [&](QWidget *list) {
        actionOf(list, "acAdd")->trigger();
        child<QPushButton>(list, "btnClose")->click();
    });
    steps.onWindow(QStringLiteral("fmAccountProperty"), [&](QWidget *dialog) {
        paste(field(dialog, "dbeAccountName"), QStringLiteral("Hostile"));
        paste(field(dialog, "dbeUserName"), text);
        paste(field(dialog, "dbeOrganization"), text);
        paste(field(dialog, "dbeEmail"), QStringLiteral("asker@test.invalid"));
        held = {field(dialog, "dbeUserName")->text(), field(dialog, "dbeOrganization")->text()};
        child<QPushButton>(dialog, "btnOk")->click();
    });
    f.actions().acAccount->trigger();
    checkSteps(steps, "the account windows", __LINE__);
    return held;
}

std::pair<QString, QString> tst_HostileInput::writeQuestion(ProgramFixture &f, int category, const QString &text)
{
    std::pair<QString, QString> held;
    ModalDriver steps;
    steps.onWindow(QStringLiteral("fmQuestion"), [&](QWidget *w) {
        auto *q = static_cast<TfmQuestion *>(w);
        q->categoryButton()->click();
        paste(q->subject(), text);
        paste(q->body(), text);
        held = {q->subject()->text(), q->body()->toPlainText()};
        q->Send->trigger();
    });
    steps.onWindow(QStringLiteral("fmCategChoice"), [category](QWidget *w) {
        auto *view = child<CategoryTreeView>(w, "treeChoice");
        view->selectNode(view->tree().findCode(category));
        child<QPushButton>(w, "btnOk")->click();
    });
    f.actions().acNewQuestion->trigger();
    checkSteps(steps, "the question editor", __LINE__);
    return held;
}

std::pair<QString, QString> tst_HostileInput::writeReply(ProgramFixture &f, const QString &text)
{
    std::pair<QString, QString> held;
    ModalDriver steps;
    steps.onWindow(QStringLiteral("fmReply"), [&](QWidget *w) {
        auto *r = static_cast<TfmReply *>(w);
        paste(r->subject(), text);
        paste(r->body(), text);
        held = {r->subject()->text(), r->body()->toPlainText()};
        r->Send->trigger();
    });
    f.actions().acReply->trigger();
    checkSteps(steps, "the reply editor", __LINE__);
    return held;
}

// The question and reply editors: subject and body.
void tst_HostileInput::editorsStoreWhatTheFieldsHeld()
{
    QFETCH(QString, text);
    ProgramFixture f(serverRow() + accountRow(1, "Main", "Ann", "ann@example.org", true)
                     + QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (5, 0, -1, 'Disks');")
                     + ArticleSeed(7).subject("Answer").body("answered").source("quorbic.a").received(true).sql());

    const auto [subject, body] = writeQuestion(f, 5, text);
    if (QTest::currentTestFailed())
        return;
    COMPARE_TEXT(subject, text.left(kLineEditLimit));
    // The body editor holds the lines with LF between them, whatever broke them.
    COMPARE_TEXT(body, memo(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    const QString question = QStringLiteral("FROM Article WHERE ArticleType<>0 AND Folder=%1").arg(Outbox);
    COMPARE_TEXT(f.store.value(QStringLiteral("SELECT Subject ") + question).toString(), asUtf8Reads(subject));
    COMPARE_TEXT(f.store.value(QStringLiteral("SELECT Body ") + question).toString(), memo(asUtf8Reads(body)));

    f.select(7);
    const auto [replySubject, replyBody] = writeReply(f, text);
    if (QTest::currentTestFailed())
        return;
    COMPARE_TEXT(replySubject, subject);
    COMPARE_TEXT(replyBody, body);
    const QString reply = QStringLiteral("FROM Article WHERE Parent=7 AND Folder=%1").arg(Outbox);
    COMPARE_TEXT(f.store.value(QStringLiteral("SELECT Subject ") + reply).toString(), asUtf8Reads(replySubject));
    COMPARE_TEXT(f.store.value(QStringLiteral("SELECT Body ") + reply).toString(), memo(asUtf8Reads(replyBody)));
}

void tst_HostileInput::checkArticle(const QString &messageId, const QString &group, const QString &subject,
                                    const QString &body, const Sender &sender, const QString &references)
{
    const QByteArray status = m_reader.command("ARTICLE " + messageId.toLatin1());
    QByteArray article;
    QVERIFY2(status.startsWith("220") && m_reader.readText(&article),
             qPrintable(messageId + QStringLiteral(": ") + QString::fromLatin1(status) + m_reader.errorString()));
    const QList<HeaderField> fields = headerFields(article);
    // RFC 5322: no line of the header longer than 998 characters.
    for (const QByteArray &line : article.left(article.indexOf("\r\n\r\n")).split('\n'))
        QVERIFY2(line.size() <= 999, qPrintable(QStringLiteral("a header line of %1 characters").arg(line.size())));

    QList<QByteArray> names;
    for (const HeaderField &field : fields) {
        QVERIFY2(wellFormed(field), field.line.left(200).toPercentEncoding(" :<>@.=?\"").constData());
        if (!kServerFields.contains(field.name))
            names << field.name;
    }
    // Exactly the composer's fields, none injected, none twice; the server
    // puts them in an order of its own.
    const bool mime = !isAscii(subject) || !isAscii(body) || !isAscii(sender.userName) || !isAscii(sender.organization);
    QList<QByteArray> expected{"Message-ID", "From", "Subject", "Newsgroups"};
    if (mime)
        expected << "MIME-Version"
                 << "Content-Type"
                 << "Content-Transfer-Encoding";
    expected << "Organization";
    if (!references.isEmpty())
        expected << "References";
    expected << "Date"
             << "X-Priority"
             << "X-Library"
             << "Lines"
             << "X-Newsreader";
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(names, expected);

    QCOMPARE(valueOf(fields, "Message-ID"), messageId.toLatin1());
    QCOMPARE(valueOf(fields, "Newsgroups"), group.toLatin1());
    QCOMPARE(valueOf(fields, "References"), references.toLatin1());
    if (mime) {
        QCOMPARE(valueOf(fields, "Content-Type"), QByteArray("text/plain; charset=UTF-8"));
        QCOMPARE(valueOf(fields, "Content-Transfer-Encoding"), QByteArray("8bit"));
    }
    COMPARE_TEXT(decoded(valueOf(fields, "Subject")), asUtf8Reads(oneLine(subject)));
    COMPARE_TEXT(decoded(valueOf(fields, "Organization")), asUtf8Reads(oneLine(sender.organization)));
    QByteArray address;
    COMPARE_TEXT(fromName(valueOf(fields, "From"), &address), asUtf8Reads(oneLine(sender.userName)));
    QCOMPARE(address, QByteArray("asker@test.invalid"));

    // The body line by line, "." lines included, in UTF-8; a NUL cannot be
    // carried and is left out.
    const QStringList lines = body.split(QLatin1Char('\n'));
    QByteArray expectedBody;
    for (const QString &line : lines)
        expectedBody += asUtf8Reads(line).remove(QChar(0)).toUtf8() + "\r\n";
    QCOMPARE(valueOf(fields, "Lines"), QByteArray::number(lines.size()));
    const QByteArray actualBody = article.mid(article.indexOf("\r\n\r\n") + 4);
    COMPARE_TEXT(QString::fromUtf8(actualBody), QString::fromUtf8(expectedBody));
    QCOMPARE(actualBody, expectedBody);
}

int tst_HostileInput::articleCount(const QString &group)
{
    return m_reader.command("GROUP " + group.toLatin1()).split(' ').value(1).toInt();
}

void tst_HostileInput::postedArticlesCarryTheTextAndNothingMore()
{
    QFETCH(QString, text);
    const QString groupA = groupOf("a");
    const QString groupB = groupOf("b");
    ProgramFixture f(fill::server(1, m_inn->host(), m_inn->port()) + fill::group(1, groupA) + fill::group(2, groupB)
                     + fill::carries(1, 1) + fill::carries(1, 2) + fill::category(5, 0, true, QStringLiteral("Hostile"))
                     + fill::groupCategory(1, 5) + fill::groupCategory(2, 5));
    f.showFolder(Inbox);
    const Sender sender = addAccount(f, text);
    const auto [subject, body] = writeQuestion(f, 5, text);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(f.committed(QStringLiteral("SELECT Folder FROM Article")), QStringList{"1"});
    const QString question = f.committed(QStringLiteral("SELECT Code FROM Article")).value(0);

    RecordingUi ui;
    MainFolderView &folders = f.program->windows()->folders();
    // One posting run; the result of every group row.
    const auto post = [&ui](Tdm &dm, FolderView &view) {
        RecordingPostingView rows;
        PostingRun run(dm, ui, rows, view);
        run.setDialUpCheck([] { return true; });
        run.run();
        QStringList results;
        for (const RecordingPostingView::Row &row : rows.rows) {
            if (row.messageRow >= 0)
                results << row.text + QStringLiteral(": ") + row.result;
        }
        return results;
    };
    const QStringList bothPosted{groupA + QStringLiteral(": Successful"), groupB + QStringLiteral(": Successful")};
    const QStringList questionPosted = post(f.dm(), folders);
    QVERIFY2(ui.boxTexts().isEmpty(), qPrintable(ui.boxTexts().join(QLatin1Char('\n'))));
    QCOMPARE(questionPosted, bothPosted);

    // Message-ID of the question's copy in each group.
    QHash<QString, QString> questionCopy;
    const QString copies = QStringLiteral("SELECT g.GroupName, s.MessageId, s.ReferencesId FROM SentArticles s, "
                                          "Groups g WHERE g.Code=s.GroupId AND s.ArticleId=%1 ORDER BY s.Code");
    for (const QString &row : f.committed(copies.arg(question)))
        questionCopy.insert(row.section(QLatin1Char('|'), 0, 0), row.section(QLatin1Char('|'), 1, 1));
    QCOMPARE(questionCopy.size(), 2);

    f.select(question.toInt());
    const auto [replySubject, replyBody] = writeReply(f, text);
    if (QTest::currentTestFailed())
        return;
    // The Inbox tree has shown the question; laying out a line of 100,000
    // characters again for the reply's node and preview only costs time.
    f.showFolder(Drafts);
    QCOMPARE(post(f.dm(), folders), bothPosted);
    const QString reply
        = f.committed(QStringLiteral("SELECT Code FROM Article WHERE Parent=%1").arg(question)).value(0);
    QCOMPARE(ui.boxTexts(), QStringList());

    QVERIFY2(m_reader.open(m_inn->host(), m_inn->port()), qPrintable(m_reader.errorString()));
    for (const QString &group : {groupA, groupB}) {
        checkArticle(questionCopy.value(group), group, subject, body, sender, QString());
        if (QTest::currentTestFailed())
            return;
    }
    const QStringList replyCopies = f.committed(copies.arg(reply));
    QCOMPARE(replyCopies.size(), 2);
    for (const QString &row : replyCopies) {
        const QString group = row.section(QLatin1Char('|'), 0, 0);
        // In each group the reply refers to the question's copy there.
        QCOMPARE(row.section(QLatin1Char('|'), 2), questionCopy.value(group));
        checkArticle(row.section(QLatin1Char('|'), 1, 1), group, replySubject, replyBody, sender,
                     questionCopy.value(group));
        if (QTest::currentTestFailed())
            return;
    }

    // An expert's program answers with the same text: subject, body, name and
    // organization. Retrieval stores it below the question.
    ScratchStore expertStore;
    const QString file = expertStore.path();
    expertStore.execWhole(QStringLiteral(
                              "INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, ?, ?, ?)"),
                          {m_inn->host(), m_inn->host(), m_inn->port()});
    expertStore.execWhole(QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (1, ?)"), {groupA});
    expertStore.execWhole(QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1)"), {});
    expertStore.execWhole(QStringLiteral("INSERT INTO Account (Code, AccountName, UserName, Organization, "
                                         "\"E-mail address\") VALUES (1, 'Expert', ?, ?, 'asker@test.invalid')"),
                          {asUtf8Reads(sender.userName), asUtf8Reads(sender.organization)});
    expertStore.execWhole(QStringLiteral(
                              "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, "
                              "Newsgroup, Account, \"References\") VALUES (1, 0, 1, 0, -1, ?, ?, ?, 1, ?)"),
                          {asUtf8Reads(subject), memo(asUtf8Reads(body)), groupA, questionCopy.value(groupA)});
    {
        Tdm expert(file);
        expert.DataModuleCreate();
        RecordingFolders expertFolders;
        QCOMPARE(post(expert, expertFolders), QStringList{groupA + QStringLiteral(": Successful")});
    }
    QCOMPARE(articleCount(groupA), 3);
    QCOMPARE(articleCount(groupB), 2);

    RetrievalRun retrieval(f.dm(), ui, folders);
    retrieval.setDialUpCheck([] { return true; });
    QCOMPARE(retrieval.RetrieveAnswers(), RetrievalRun::Outcome::Finished);
    QCOMPARE(retrieval.newAnswers(), 1);
    QCOMPARE(ui.boxTexts(), QStringList());
    const QString answer = QStringLiteral("FROM Article WHERE IsRead=0 AND Parent=%1").arg(question);
    COMPARE_TEXT(DisplayText::header(f.store.value(QStringLiteral("SELECT Subject ") + answer)),
                 asUtf8Reads(oneLine(subject)));
    QByteArray address;
    COMPARE_TEXT(fromName(f.store.value(QStringLiteral("SELECT \"From\" ") + answer).toByteArray(), &address),
                 asUtf8Reads(oneLine(sender.userName)));
    COMPARE_TEXT(DisplayText::body(f.store.value(QStringLiteral("SELECT Body ") + answer)),
                 asUtf8Reads(memo(body)).remove(QChar(0)) + QStringLiteral("\r\n"));
}

QTEST_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
