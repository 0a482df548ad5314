// Articles with fields of 10 MB: one body line of 10 MB, 10 MB of body broken
// by CR, LF and CR LF, and a subject, From name and organization of 10 MB,
// each holding NUL, invalid UTF-8, CR and LF. Header folding and encoding
// once copied the rest of a header for every folded line, so such a subject
// took many minutes (a 1 MB one twelve seconds); they must finish, break no
// line, inject no header and lose no character.

#include "transport/articlecharsets.h"
#include "transport/articlecomposer.h"
#include "transport/displaytext.h"
#include "transport/nntpmessage.h"

#include <QLocale>
#include <QTest>

namespace {

constexpr qsizetype tenMegabytes = 10 * 1024 * 1024;

// Accented letters, a NUL, bytes that are not UTF-8 (each read as U+FFFD),
// and blanks, so that the folding has places to break.
const QByteArray mixedWords("Gr\xc3\xbc\xc3\x9f"
                            "e \0 \xff\xfe caf\xc3\xa9 \xe2\x82 word ",
                            28);

// Whole repetitions of the unit, 10 MB at least.
QString tenMegabytesOf(const QByteArray &unit)
{
    return QString::fromUtf8(unit.repeated(tenMegabytes / unit.size() + 1));
}

NntpMessage plainQuestion()
{
    NntpMessage m;
    m.msgId = QStringLiteral("<0A1B2C3D.4E5F.6071@8293.A4B5C6D7E8F9>");
    m.from = {QStringLiteral("John Smith"), QStringLiteral("john@example.com")};
    m.subject = QStringLiteral("A question");
    m.newsGroups = {QStringLiteral("quorbic.test")};
    m.organization = QStringLiteral("Example Org");
    m.date = QDateTime(QDate(2024, 1, 15), QTime(10, 20, 30));
    m.body = {QStringLiteral("Hello")};
    return m;
}

QList<QByteArray> compose(const NntpMessage &m)
{
    return ArticleComposer(ArticleCharsets::forLocale(QLocale(QStringLiteral("en_US"))))
        .compose(m, QStringLiteral("Quorbic 1.0"), QDateTime(QDate(2030, 6, 1), QTime(12, 0)));
}

// Header names in order, and each header's value unfolded.
struct Header
{
    QList<QByteArray> names;
    QHash<QByteArray, QByteArray> values;
};

Header headerOf(const QList<QByteArray> &article)
{
    Header header;
    for (const QByteArray &line : article) {
        if (line.isEmpty())
            break;
        if (line.startsWith(' ')) {
            header.values[header.names.last()] += line;
            continue;
        }
        const qsizetype colon = line.indexOf(": ");
        header.names.append(line.left(colon));
        header.values.insert(line.left(colon), line.mid(colon + 2));
    }
    return header;
}

// What a header value must decode to: CR and LF read as blanks, and where the
// value ends its line, its trailing blanks dropped with the folding.
QString expectedValue(QString text, bool endsLine)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    while (endsLine && text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

class tst_ArticleComposerLarge : public QObject
{
    Q_OBJECT

private slots:
    void tenMegabyteHeader_data();
    void tenMegabyteHeader();
    void tenMegabyteBody_data();
    void tenMegabyteBody();
};

void tst_ArticleComposerLarge::tenMegabyteHeader_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("text");

    const QString words = tenMegabytesOf(mixedWords + "\r\nFollowup-To: poison\n");
    QTest::newRow("subject of 10 MB") << QByteArray("Subject") << words;
    QTest::newRow("organization of 10 MB") << QByteArray("Organization") << words;
    QTest::newRow("From name of 10 MB") << QByteArray("From") << words;
}

void tst_ArticleComposerLarge::tenMegabyteHeader()
{
    QFETCH(QByteArray, header);
    QFETCH(QString, text);

    NntpMessage m = plainQuestion();
    if (header == "Subject")
        m.subject = text;
    else if (header == "Organization")
        m.organization = text;
    else
        m.from.name = text;
    const QList<QByteArray> article = compose(m);

    for (const QByteArray &line : article) {
        QVERIFY(!line.contains('\r') && !line.contains('\n'));
        // Encoded-words are short and stand between blanks: every line folds.
        QVERIFY2(line.size() <= 78, line.left(100).constData());
    }
    const Header parsed = headerOf(article);
    QCOMPARE(parsed.names,
             (QList<QByteArray>{"Message-ID", "From", "Subject", "Newsgroups", "MIME-Version", "Content-Type",
                                "Content-Transfer-Encoding", "Organization", "Date", "X-Priority", "X-Library", "Lines",
                                "X-Newsreader"}));
    QByteArray value = parsed.values.value(header);
    if (header == "From") {
        QVERIFY(value.endsWith(" <john@example.com>"));
        value.chop(qsizetype(strlen(" <john@example.com>")));
    }
    const QString decoded = DisplayText::header(value);
    const QString expected = expectedValue(text, header != "From");
    QCOMPARE(decoded.size(), expected.size());
    QVERIFY(decoded == expected);
}

void tst_ArticleComposerLarge::tenMegabyteBody_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lineCount");

    QTest::newRow("one line of 10 MB with NUL and invalid UTF-8") << tenMegabytesOf(mixedWords) << 1;
    // Five lines: ".dot", the words, two empty ones, "end".
    const QByteArray lines = ".dot\r\n" + mixedWords + "\n\r\n\rend\n";
    QTest::newRow("10 MB of lines broken by CR LF, LF and CR")
        << tenMegabytesOf(lines) << int((tenMegabytes / lines.size() + 1) * 5);
}

void tst_ArticleComposerLarge::tenMegabyteBody()
{
    QFETCH(QString, text);
    QFETCH(int, lineCount);

    NntpMessage m = plainQuestion();
    m.setBodyText(text);
    QCOMPARE(m.body.size(), lineCount);
    const QList<QByteArray> article = compose(m);

    const qsizetype blank = article.indexOf(QByteArray());
    const QList<QByteArray> body = article.mid(blank + 1);
    QCOMPARE(body.size(), lineCount);
    QCOMPARE(headerOf(article).values.value("Lines"), QByteArray::number(lineCount));
    QCOMPARE(headerOf(article).values.value("Content-Type"), QByteArray("text/plain; charset=UTF-8"));
    QByteArray joined;
    for (const QByteArray &line : body) {
        QVERIFY(!line.contains('\r') && !line.contains('\n'));
        QVERIFY(line != ".");
        joined += (line.startsWith('.') ? line.mid(1) : line) + '\n';
    }
    QCOMPARE(QString::fromUtf8(joined), m.body.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

QTEST_GUILESS_MAIN(tst_ArticleComposerLarge)
#include "tst_articlecomposer_large.moc"
