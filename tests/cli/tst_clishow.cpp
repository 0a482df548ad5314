// quorbic-cli show: a folder listed as the main window's tree shows it. The
// Inbox as threads, with rows whose parent is not reached left out; the other
// folders flat; every level by date, undated first; bold ("*") for unread
// messages and everything above them; subjects and names decoded; bodies
// decoded below their messages with --bodies.

#include "messagelist/sentdate.h"
#include "tests/cli/clirunner.h"
#include "tests/support/answercorpus.h"

#include <QtTest>

namespace {

// An Article row; parent "NULL" or a code, sent "" for none.
QString article(int code, const QString &parent, int folder, bool read, const QString &subject,
                const QString &sent = {}, const QString &from = QStringLiteral("'Ann <ann@test.invalid>'"),
                const QString &source = QStringLiteral("quorbic.show"), const QString &body = QStringLiteral("NULL"))
{
    return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, SentDate, "
                          "\"From\", Source, Body) VALUES (%1, %2, %3, 0, %4, %5, %6, %7, '%8', %9);")
        .arg(code)
        .arg(parent)
        .arg(folder)
        .arg(read ? -1 : 0)
        .arg(subject.startsWith(QLatin1Char('\'')) ? subject : CliRunner::quoted(subject))
        .arg(sent.isEmpty() ? QStringLiteral("NULL") : CliRunner::quoted(sent), from, source, body);
}

// The line show writes for a message.
QString shown(bool bold, int depth, const QString &subject, const QString &sent = {},
              const QString &from = QStringLiteral("Ann <ann@test.invalid>"),
              const QString &source = QStringLiteral("quorbic.show"))
{
    QDate date;
    QTime time;
    const QString sentText = SentDate::fromStored(sent.isEmpty() ? QVariant() : QVariant(sent), date, time)
        ? SentDate::format(date, time)
        : QString();
    return (bold ? QStringLiteral("* ") : QStringLiteral("  ")) + QString(2 * depth, QLatin1Char(' ')) + subject
        + QLatin1Char('\t') + sentText + QLatin1Char('\t') + from + QLatin1Char('\t') + source;
}

const QString d1 = QStringLiteral("2024-03-01 09:00:00");
const QString d2 = QStringLiteral("2024-03-01 10:30:00");
const QString d3 = QStringLiteral("2024-03-02 00:00:00");
const QString d4 = QStringLiteral("2024-03-03 18:45:10");

} // namespace

class tst_CliShow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listing_data();
    void listing();
    void bodiesDecoded();
    void answersShownAsThePreviewShowsThem();
};

void tst_CliShow::listing_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty Inbox") << QString() << "Inbox" << QStringList{};
    QTest::newRow("bold runs up from an unread answer deep in a read thread")
        << article(1, "0", 0, true, "Q1", d1) + article(2, "1", 0, true, "A", d2) + article(3, "2", 0, false, "B", d3)
            + article(4, "0", 0, true, "Q2", d2) + article(5, "4", 0, true, "C", d3)
            + article(6, "0", 0, false, "Q3", d4) + article(7, "6", 0, true, "D", d4)
        << "0" << QStringList{shown(true, 0, "Q1", d1),  shown(true, 1, "A", d2),  shown(true, 2, "B", d3),
                              shown(false, 0, "Q2", d2), shown(false, 1, "C", d3), shown(true, 0, "Q3", d4),
                              shown(false, 1, "D", d4)};
    QTest::newRow("every level by date, the undated first, equal dates in load order")
        << article(1, "0", 0, true, "Later", d2) + article(2, "1", 0, true, "Ten thirty", d2)
            + article(3, "1", 0, true, "Nine", d1) + article(4, "1", 0, true, "Undated")
            + article(5, "1", 0, true, "Nine too", d1) + article(6, "0", 0, true, "Earlier", d1)
            + article(7, "0", 0, true, "Never sent")
        << "Inbox" << QStringList{shown(false, 0, "Never sent"),    shown(false, 0, "Earlier", d1),
                                  shown(false, 0, "Later", d2),     shown(false, 1, "Undated"),
                                  shown(false, 1, "Nine", d1),      shown(false, 1, "Nine too", d1),
                                  shown(false, 1, "Ten thirty", d2)};
    QTest::newRow("rows whose parent is not reached are left out") << article(1, "0", 3, true, "Deleted question", d1)
            + article(2, "1", 0, false, "Its answer", d2) + article(3, "NULL", 0, false, "No parent", d2)
            + article(4, "99", 0, false, "Lost parent", d2)
            + article(5, "0", 0, true, "Root", d3) << "inbox" << QStringList{shown(false, 0, "Root", d3)};
    QTest::newRow("Outbox flat, by date")
        << article(1, "0", 1, true, "Question", d2) + article(2, "1", 1, true, "Reply", d1)
            + article(3, "0", 0, true, "In the Inbox", d1)
        << "Outbox" << QStringList{shown(false, 0, "Reply", d1), shown(false, 0, "Question", d2)};
    QTest::newRow("Drafts never queued first")
        << article(1, "0", 2, true, "Queued once", d1) + article(2, "0", 2, true, "Never queued") << "drafts"
        << QStringList{shown(false, 0, "Never queued"), shown(false, 0, "Queued once", d1)};
    QTest::newRow("Deleted messages by number, unread bold")
        << article(1, "0", 3, false, "Gone", d1) + article(2, "1", 3, true, "Gone too", d2) << "3"
        << QStringList{shown(true, 0, "Gone", d1), shown(false, 0, "Gone too", d2)};
    QTest::newRow("encoded subject and name decoded")
        << article(1, "0", 0, true, "=?ISO-8859-1?Q?Gr=FC=DFe?= =?UTF-8?B?YXVz?= Wien", d1,
                   "'=?UTF-8?B?SsO2cmc=?= <j@expert.invalid>'")
        << "0" << QStringList{shown(false, 0, "Grüßeaus Wien", d1, "Jörg <j@expert.invalid>")};
    QTest::newRow("newsgroups not reached below their message, Post Again offered in the Inbox")
        << article(1, "0", 0, true, "Partly posted", d1) + article(2, "0", 1, true, "Waiting", d2)
            + "INSERT INTO UnpostedGroups (ArticleId, GroupName, Reply) VALUES (1, 'sci.stat', '441 437 EMP (md5)'),"
              " (1, 'sci.math', 'Error: The group is not found'), (2, 'sci.stat', '441 437 EMP (md5)');"
        << "Inbox"
        << QStringList{shown(false, 0, "Partly posted", d1),
                       "    ! Not posted to sci.math: Error: The group is not found",
                       "    ! Not posted to sci.stat: 441 437 EMP (md5)",
                       "    ! Post again: quorbic-cli post --again 1"};
    QTest::newRow("newsgroups not reached in the Outbox")
        << article(2, "0", 1, true, "Waiting", d2)
            + "INSERT INTO UnpostedGroups (ArticleId, GroupName, Reply) VALUES (2, 'sci.stat', '441 437 EMP (md5)');"
        << "Outbox" << QStringList{shown(false, 0, "Waiting", d2), "    ! Not posted to sci.stat: 441 437 EMP (md5)"};
    QTest::newRow("a subject with line breaks stays on its line")
        << article(1, "0", 0, true, "'One' || char(9) || 'two' || char(13) || char(10) || 'three'", d1) << "0"
        << QStringList{shown(false, 0, "One two  three", d1)};
}

void tst_CliShow::listing()
{
    QFETCH(QString, sql);
    QFETCH(QString, folder);
    QFETCH(QStringList, lines);

    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(sql);
    const CliRunner::Result r = cli.run({QStringLiteral("show"), folder});
    QVERIFY2(!r.crashed && r.exitCode == 0 && r.err.isEmpty(), qPrintable(r.describe()));
    QCOMPARE(r.outLines(), lines);
}

void tst_CliShow::bodiesDecoded()
{
    // A typed body with two lines; an answer as received in Windows-1252, and
    // one in UTF-8; a message with no body.
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    cli.exec(article(1, "0", 0, true, "Question", d1, "'Ann <ann@test.invalid>'", "quorbic.show",
                     "'Line one' || char(13) || char(10) || 'Line two'")
             + article(2, "1", 0, false, "Latin", d2, "'Ann <ann@test.invalid>'", "quorbic.show",
                       "X'4772FCDF65206175732057696520CD0D0A'")
             + article(3, "1", 0, true, "Unicode", d3, "'Ann <ann@test.invalid>'", "quorbic.show", "X'4772C3BCC39F65'")
             + article(4, "0", 0, true, "Empty", d4));
    const CliRunner::Result r = cli.run({QStringLiteral("show"), QStringLiteral("Inbox"), QStringLiteral("--bodies")});
    QVERIFY2(!r.crashed && r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.outLines(),
             (QStringList{shown(true, 0, "Question", d1), QStringLiteral("    | Line one"),
                          QStringLiteral("    | Line two"), shown(true, 1, "Latin", d2),
                          QStringLiteral("      | Grüße aus Wie Í"), shown(false, 1, "Unicode", d3),
                          QStringLiteral("      | Grüße"), shown(false, 0, "Empty", d4)}));
}

void tst_CliShow::answersShownAsThePreviewShowsThem()
{
    // Answers kept with their headers: the text a reader should see, and a
    // line per attached file, the same as in the preview.
    CliRunner cli;
    QCOMPARE(cli.run({QStringLiteral("init")}).exitCode, 0);
    const AnswerCorpus::Answer signedAnswer = AnswerCorpus::load(QStringLiteral("pgp-signed"));
    const AnswerCorpus::Answer uuencoded = AnswerCorpus::load(QStringLiteral("uuencode"));
    const auto blob
        = [](const QByteArray &bytes) { return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex())); };
    cli.exec(
        article(1, "0", 0, true, "Question", d1)
        + article(2, "1", 0, true, "Signed", d2, "'Ann <ann@test.invalid>'", "quorbic.show", blob(signedAnswer.body))
        + article(3, "1", 0, true, "Blob", d3, "'Ann <ann@test.invalid>'", "quorbic.show", blob(uuencoded.body))
        + AnswerCorpus::headerRow(2, signedAnswer.header) + AnswerCorpus::headerRow(3, uuencoded.header));
    const CliRunner::Result r = cli.run({QStringLiteral("show"), QStringLiteral("Inbox"), QStringLiteral("--bodies")});
    QVERIFY2(!r.crashed && r.exitCode == 0, qPrintable(r.describe()));
    QStringList expected{shown(false, 0, "Question", d1), shown(false, 1, "Signed", d2)};
    for (const QString &line : signedAnswer.expected.chopped(1).split(QLatin1Char('\n')))
        expected << QStringLiteral("      | ") + line;
    expected << shown(false, 1, "Blob", d3);
    for (const QString &line : uuencoded.expected.chopped(1).split(QLatin1Char('\n')))
        expected << QStringLiteral("      | ") + line;
    QCOMPARE(r.outLines(), expected);
}

QTEST_GUILESS_MAIN(tst_CliShow)
#include "tst_clishow.moc"
