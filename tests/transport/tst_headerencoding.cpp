// RFC 2047 encoded-words for header text, and the charsets chosen by language.

#include "transport/articlecharsets.h"
#include "transport/headerencoding.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

using HeaderEncoding::Context;

namespace {

ArticleCharsets western()
{
    return ArticleCharsets::forLocale(QLocale(QStringLiteral("de_DE")));
}

// An independent reader of encoded-words: decodes every "=?cs?X?text?=" and
// drops the white space between two adjacent ones, as RFC 2047 6.2 says.
QString decodeHeader(const QByteArray &value, QStringList *charsetsSeen = nullptr)
{
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?([QqBb])\\?([^?]*)\\?="));
    QString out;
    qsizetype pos = 0;
    bool lastWasEncoded = false;
    const QString text = QString::fromLatin1(value);
    auto it = word.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString between = text.mid(pos, m.capturedStart() - pos);
        if (!(lastWasEncoded && between.trimmed().isEmpty()))
            out += between;
        QByteArray bytes;
        const QByteArray payload = m.captured(3).toLatin1();
        if (m.captured(2).toUpper() == QLatin1String("B")) {
            bytes = QByteArray::fromBase64(payload);
        } else {
            for (qsizetype i = 0; i < payload.size(); ++i) {
                if (payload[i] == '_')
                    bytes += ' ';
                else if (payload[i] == '=' && i + 2 < payload.size())
                    bytes += QByteArray::fromHex(payload.mid(i + 1, 2)), i += 2;
                else
                    bytes += payload[i];
            }
        }
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        out += decoder.decode(bytes);
        if (charsetsSeen)
            charsetsSeen->append(m.captured(1));
        pos = m.capturedEnd();
        lastWasEncoded = true;
    }
    out += text.mid(pos);
    return out;
}

} // namespace

class tst_HeaderEncoding : public QObject
{
    Q_OBJECT

private slots:
    void charsetByLanguage_data();
    void charsetByLanguage();
    void encode_data();
    void encode();
    void decodesBackToTheText_data();
    void decodesBackToTheText();
    void storedEncodedWordsPassThrough();
    void wordTooLongForAnyLineBecomesEncodedWords();
    void eachRunInACharsetThatHoldsIt();
    void lineBreaksBecomeBlanks();
};

void tst_HeaderEncoding::charsetByLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("headerCharset");
    QTest::addColumn<char>("letter");
    QTest::addColumn<QByteArray>("bodyCharset");

    QTest::newRow("Chinese, PRC") << "zh_CN" << QByteArray("GB2312") << 'B' << QByteArray("UTF-8");
    QTest::newRow("Chinese, Taiwan") << "zh_TW" << QByteArray("Big5") << 'B' << QByteArray("UTF-8");
    QTest::newRow("Chinese, Hong Kong") << "zh_HK" << QByteArray("Big5") << 'B' << QByteArray("UTF-8");
    QTest::newRow("Japanese") << "ja_JP" << QByteArray("ISO-2022-JP") << 'B' << QByteArray("ISO-2022-JP");
    QTest::newRow("Korean") << "ko_KR" << QByteArray("EUC-KR") << 'B' << QByteArray("UTF-8");
    QTest::newRow("German") << "de_DE" << QByteArray("ISO-8859-1") << 'Q' << QByteArray("UTF-8");
    QTest::newRow("Russian") << "ru_RU" << QByteArray("ISO-8859-1") << 'Q' << QByteArray("UTF-8");
    QTest::newRow("C locale") << "C" << QByteArray("ISO-8859-1") << 'Q' << QByteArray("UTF-8");
}

void tst_HeaderEncoding::charsetByLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, headerCharset);
    QFETCH(char, letter);
    QFETCH(QByteArray, bodyCharset);

    const ArticleCharsets sets = ArticleCharsets::forLocale(QLocale(locale));
    QCOMPARE(sets.headerCharset, headerCharset);
    QCOMPARE(sets.headerEncoding, letter);
    QCOMPARE(sets.bodyCharset, bodyCharset);
}

void tst_HeaderEncoding::encode_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("phrase");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain ASCII unchanged")
        << "de_DE"
        << "Re: How do I [fold], (really)?" << false << QByteArray("Re: How do I [fold], (really)?");
    QTest::newRow("one accented word, only that word encoded")
        << "de_DE" << QString::fromUtf8("Ein Café am Markt") << false
        << QByteArray("Ein =?ISO-8859-1?Q?Caf=E9?= am Markt");
    QTest::newRow("adjacent words become one encoded-word")
        << "de_DE" << QString::fromUtf8("Grüße aus Köln") << false
        << QByteArray("=?ISO-8859-1?Q?Gr=FC=DFe?= aus =?ISO-8859-1?Q?K=F6ln?=");
    QTest::newRow("run of words keeps its blanks inside the encoding")
        << "de_DE" << QString::fromUtf8("schöne  Grüße") << false << QByteArray("=?ISO-8859-1?Q?sch=F6ne__Gr=FC=DFe?=");
    QTest::newRow("specials in a word are Q-encoded")
        << "de_DE" << QString::fromUtf8("Preis=5€?") << false << QByteArray("=?UTF-8?Q?Preis=3D5=E2=82=AC=3F?=");
    QTest::newRow("control character makes its word encoded")
        << "de_DE" << QString::fromUtf8("a\tb c") << false << QByteArray("=?ISO-8859-1?Q?a=09b?= c");
    QTest::newRow("Cyrillic on a Western system goes as UTF-8")
        << "de_DE" << QString::fromUtf8("Привет all") << false
        << QByteArray("=?UTF-8?Q?=D0=9F=D1=80=D0=B8=D0=B2=D0=B5=D1=82?= all");
    QTest::newRow("Chinese PRC in GB2312")
        << "zh_CN" << QString::fromUtf8("你好 world") << false << QByteArray("=?GB2312?B?xOO6ww==?= world");
    QTest::newRow("Chinese Taiwan in Big5")
        << "zh_TW" << QString::fromUtf8("你好 world") << false << QByteArray("=?Big5?B?p0Gmbg==?= world");
    QTest::newRow("Japanese converted to ISO-2022-JP, back in ASCII at the end")
        << "ja_JP" << QString::fromUtf8("日本語 test") << false
        << QByteArray("=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?= test");
    QTest::newRow("Korean in EUC-KR") << "ko_KR" << QString::fromUtf8("한국어") << false
                                      << QByteArray("=?EUC-KR?B?x9Gxub7u?=");
    QTest::newRow("phrase: word with a comma is encoded too")
        << "de_DE" << QString::fromUtf8("Müller, Hans") << true << QByteArray("=?ISO-8859-1?Q?M=FCller=2C?= Hans");
    QTest::newRow("text: comma stays in the encoded word as it is")
        << "de_DE" << QString::fromUtf8("Müller, Hans") << false << QByteArray("=?ISO-8859-1?Q?M=FCller=2C?= Hans");
}

void tst_HeaderEncoding::encode()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, phrase);
    QFETCH(QByteArray, expected);

    const QByteArray encoded = HeaderEncoding::encode(text, ArticleCharsets::forLocale(QLocale(locale)),
                                                      phrase ? Context::Phrase : Context::Text);
    QCOMPARE(encoded, expected);
    QCOMPARE(decodeHeader(encoded), text);
}

void tst_HeaderEncoding::decodesBackToTheText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("charset");

    QTest::newRow("long Cyrillic subject, multi-byte characters never split")
        << "de_DE"
        << QString::fromUtf8("Как настроить сервер новостей, чтобы он принимал статьи "
                             "с длинными заголовками и не терял ни одного символа")
        << "UTF-8";
    QTest::newRow("long Latin-1 subject") << "fr_FR"
                                          << QString::fromUtf8("élève à l'école été très énervé, après déjà évoqué "
                                                               "ça à répétition, non, pas ça")
                                          << "ISO-8859-1";
    QTest::newRow("long Japanese subject, each word closes its shift")
        << "ja_JP"
        << QString::fromUtf8("日本語のニュースグループに長い件名の記事を投稿すると"
                             "どのように符号化されるのかを確かめるための試験です")
        << "ISO-2022-JP";
    QTest::newRow("characters outside the BMP stay whole")
        << "de_DE"
        << QString::fromUtf8("😀😁😂🤣😃😄😅😆😉😊😋😎😍😘🥰😗😙😚☺🙂🤗🤩")
        << "UTF-8";
}

void tst_HeaderEncoding::decodesBackToTheText()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, charset);

    const QByteArray encoded = HeaderEncoding::encode(text, ArticleCharsets::forLocale(QLocale(locale)));
    QStringList seen;
    QCOMPARE(decodeHeader(encoded, &seen), text);
    QVERIFY(!seen.isEmpty());
    for (const QString &cs : seen)
        QCOMPARE(cs, charset);
    for (const QByteArray &piece : encoded.split(' ')) {
        if (!piece.startsWith("=?"))
            continue;
        QVERIFY2(piece.size() <= 64, piece.constData());
        if (charset == QLatin1String("ISO-2022-JP")) {
            const QByteArray bytes = QByteArray::fromBase64(piece.split('?').at(3));
            QVERIFY2(bytes.endsWith("\x1b(B"), piece.constData());
        }
    }
}

void tst_HeaderEncoding::storedEncodedWordsPassThrough()
{
    // Answers are stored with their subject as received, encoded-words and
    // all; a reply's "Re: " subject must send them on untouched, or readers
    // would show the raw "=?...?=" text.
    const QByteArray raw = "Re: =?ISO-8859-1?Q?Caf=E9?= und =?UTF-8?B?w7w=?=";
    QCOMPARE(HeaderEncoding::encode(QString::fromLatin1(raw), western()), raw);
}

void tst_HeaderEncoding::wordTooLongForAnyLineBecomesEncodedWords()
{
    // No header line may pass 998 characters (RFC 5322) and folding breaks only
    // at blanks, so a server refuses a subject holding a longer word ("441
    // Header line too long"). Such a word goes out as encoded-words, which fold
    // between them; a word that fits on a line stays as it is.
    const QString fits = QStringLiteral("see ") + QString(900, QLatin1Char('x'));
    QCOMPARE(HeaderEncoding::encode(fits, western()), fits.toLatin1());

    const QString tooLong = QStringLiteral("see ") + QString(901, QLatin1Char('x')) + QStringLiteral(" now");
    const QByteArray encoded = HeaderEncoding::encode(tooLong, western());
    const QList<QByteArray> words = encoded.split(' ');
    QCOMPARE(words.first(), QByteArray("see"));
    QCOMPARE(words.last(), QByteArray("now"));
    for (const QByteArray &word : words.mid(1, words.size() - 2)) {
        QVERIFY2(word.startsWith("=?ISO-8859-1?Q?") && word.size() <= 75, word.constData());
    }
    QCOMPARE(decodeHeader(encoded), tooLong);
}

void tst_HeaderEncoding::eachRunInACharsetThatHoldsIt()
{
    // The Western charset holds "Grüße" but not "Ελλάδα": only the Greek run
    // falls back to UTF-8.
    const QString text = QString::fromUtf8("Grüße aus Ελλάδα");
    QStringList seen;
    QCOMPARE(decodeHeader(HeaderEncoding::encode(text, western()), &seen), text);
    QCOMPARE(seen, (QStringList{QStringLiteral("ISO-8859-1"), QStringLiteral("UTF-8")}));
}

void tst_HeaderEncoding::lineBreaksBecomeBlanks()
{
    QCOMPARE(HeaderEncoding::singleLine(QStringLiteral("a\r\nNewsgroups: x\rb\nc")),
             QStringLiteral("a  Newsgroups: x b c"));
}

QTEST_GUILESS_MAIN(tst_HeaderEncoding)
#include "tst_headerencoding.moc"
