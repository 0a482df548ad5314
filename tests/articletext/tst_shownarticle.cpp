// What a reader sees of answers as real mail and news programs write them:
// the corpus in tests/data/answers (each .msg with the .txt a reader should
// see), then the cases the corpus does not show by itself.

#include "articletext/shownarticle.h"
#include "articletext/storedanswer.h"
#include "store/storeconnection.h"
#include "tests/support/answercorpus.h"
#include "tests/support/scratchstore.h"

#include <QStringEncoder>
#include <QTest>
#include <QVariant>

namespace {

QByteArray header(const QByteArray &contentType, const QByteArray &encoding = "8bit")
{
    return "From: A <a@example.com>\r\nNewsgroups: comp.lang.misc\r\nSubject: Re: x\r\nMIME-Version: 1.0\r\n"
           "Content-Type: "
        + contentType + "\r\nContent-Transfer-Encoding: " + encoding + "\r\n";
}

} // namespace

class tst_ShownArticle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void corpus_data();
    void corpus();
    void attachmentsDecoded();
    void withoutHeaderAsBefore_data();
    void withoutHeaderAsBefore();
    void charsets_data();
    void charsets();
    void htmlOnly();
    void alternativePicksPlain_data();
    void alternativePicksPlain();
    void flowed_data();
    void flowed();
    void unsafeAttachmentNames();
    void storedAnswers_data();
    void storedAnswers();
    void brokenInputsStayBounded();
};

void tst_ShownArticle::corpus_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = AnswerCorpus::names();
    QVERIFY(names.size() >= 11);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void tst_ShownArticle::corpus()
{
    QFETCH(QString, name);
    const AnswerCorpus::Answer answer = AnswerCorpus::load(name);
    QCOMPARE(ArticleText::shown(answer.header, answer.body).displayText(), answer.expected);
}

void tst_ShownArticle::attachmentsDecoded()
{
    // The files come out as they were sent, byte for byte.
    AnswerCorpus::Answer answer = AnswerCorpus::load(QStringLiteral("uuencode"));
    ShownArticle shown = ArticleText::shown(answer.header, answer.body);
    QCOMPARE(shown.attachments.size(), 1);
    QByteArray blob;
    for (int i = 0; i < 512; ++i)
        blob += char(i % 256);
    QCOMPARE(shown.attachments.first().data, blob);

    answer = AnswerCorpus::load(QStringLiteral("apple-related"));
    shown = ArticleText::shown(answer.header, answer.body);
    QCOMPARE(shown.attachments.size(), 1);
    QVERIFY(shown.attachments.first().data.startsWith("\x89PNG\r\n\x1a\n"));
}

void tst_ShownArticle::withoutHeaderAsBefore_data()
{
    QTest::addColumn<QVariant>("body");
    QTest::addColumn<QString>("expected");
    // Stored by a version that kept no header: even MIME stays as it was.
    QTest::newRow("utf-8") << QVariant(QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                  "e\r\n"))
                           << QStringLiteral("Grüße\r\n");
    QTest::newRow("windows-1252") << QVariant(QByteArray("\x93quoted\x94 caf\xe9\r\n"))
                                  << QStringLiteral("\u201cquoted\u201d café\r\n");
    QTest::newRow("quoted-printable left")
        << QVariant(QByteArray("caf=C3=A9=20\r\n")) << QStringLiteral("caf=C3=A9=20\r\n");
    QTest::newRow("typed text") << QVariant(QStringLiteral("My own\r\nreply")) << QStringLiteral("My own\r\nreply");
}

void tst_ShownArticle::withoutHeaderAsBefore()
{
    QFETCH(QVariant, body);
    QFETCH(QString, expected);
    const ShownArticle shown = ArticleText::shown(QVariant(), body);
    QCOMPARE(shown.text, expected);
    QVERIFY(shown.attachments.isEmpty());
}

void tst_ShownArticle::charsets_data()
{
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // when empty: the text as the label's converter writes it
    QTest::newRow("UTF-7") << QByteArray("UTF-7") << QStringLiteral("Hi Mom -\u263a-!")
                           << QByteArray("Hi Mom -+Jjo--!");
    QTest::newRow("ISO-2022-JP") << QByteArray("iso-2022-jp") << QStringLiteral("\u65e5\u672c")
                                 << QByteArray("\x1b$BF|K\\\x1b(B");
    const QString chinese = QStringLiteral("\u4f60\u597d\uff0c\u4e16\u754c");
    const QString traditional = QStringLiteral("\u7e41\u9ad4\u4e2d\u6587");
    const QString japanese = QStringLiteral("\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8");
    QTest::newRow("Big5") << QByteArray("Big5") << traditional << QByteArray();
    QTest::newRow("GB2312") << QByteArray("gb2312") << chinese << QByteArray();
    QTest::newRow("GBK") << QByteArray("GBK") << chinese << QByteArray();
    QTest::newRow("GB18030") << QByteArray("GB18030") << chinese << QByteArray();
    QTest::newRow("Shift_JIS") << QByteArray("Shift_JIS") << japanese << QByteArray();
    QTest::newRow("EUC-JP") << QByteArray("EUC-JP") << japanese << QByteArray();
    QTest::newRow("EUC-KR") << QByteArray("euc-kr") << QStringLiteral("\ud55c\uad6d\uc5b4 \ud14d\uc2a4\ud2b8")
                            << QByteArray();
    QTest::newRow("ISO-8859-2") << QByteArray("ISO-8859-2") << QStringLiteral("Zażółć gęślą jaźń") << QByteArray();
    QTest::newRow("ISO-8859-5") << QByteArray("iso-8859-5") << QStringLiteral("Привет") << QByteArray();
    QTest::newRow("ISO-8859-7") << QByteArray("ISO-8859-7") << QStringLiteral("Καλημέρα") << QByteArray();
    QTest::newRow("ISO-8859-15") << QByteArray("ISO-8859-15") << QStringLiteral("5 € œuvre") << QByteArray();
    QTest::newRow("Windows-1251") << QByteArray("windows-1251") << QStringLiteral("Привет, мир") << QByteArray();
    QTest::newRow("Windows-1250") << QByteArray("windows-1250") << QStringLiteral("Příliš žluťoučký kůň")
                                  << QByteArray();
    QTest::newRow("KOI8-U") << QByteArray("KOI8-U") << QStringLiteral("Привіт") << QByteArray();
}

void tst_ShownArticle::charsets()
{
    QFETCH(QByteArray, label);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    if (bytes.isEmpty()) {
        QStringEncoder encoder(label.constData());
        QVERIFY2(encoder.isValid(), label.constData());
        bytes = encoder.encode(text);
    }
    bytes += '\n';
    const ShownArticle shown = ArticleText::shown(header("text/plain; charset=\"" + label + '"'), bytes);
    QCOMPARE(shown.text, text + QLatin1Char('\n'));
}

void tst_ShownArticle::htmlOnly()
{
    // No plain part: the HTML's text, with nothing it refers to fetched.
    const QByteArray html = "<!DOCTYPE html><html><head><title>T</title><script>alert(1)</script></head>\r\n"
                            "<body><p>First&nbsp;line &amp; more,<br>second line</p>\r\n"
                            "<img src=\"http://tracker.example.com/p.gif\"><ul><li>one</li><li>two &lt;3&gt;</li></ul>"
                            "<p>a &lt; b &#8364; &#x41;</p></body></html>\r\n";
    const ShownArticle shown = ArticleText::shown(header("text/html; charset=utf-8"), html);
    QCOMPARE(shown.text, QStringLiteral("First line & more,\nsecond line\n\n* one\n* two <3>\n\na < b € A\n"));
}

void tst_ShownArticle::alternativePicksPlain_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain after html") << QByteArray("--b\r\nContent-Type: text/html\r\n\r\n<p>rich</p>\r\n"
                                                    "--b\r\nContent-Type: text/plain\r\n\r\nplain\r\n--b--\r\n")
                                      << QStringLiteral("plain\n");
    QTest::newRow("plain inside related") << QByteArray("--b\r\nContent-Type: text/html\r\n\r\n<p>rich</p>\r\n"
                                                        "--b\r\nContent-Type: multipart/mixed; boundary=c\r\n\r\n"
                                                        "--c\r\nContent-Type: text/plain\r\n\r\ninner\r\n--c--\r\n"
                                                        "--b--\r\n")
                                          << QStringLiteral("inner\n");
    QTest::newRow("html only") << QByteArray("--b\r\nContent-Type: text/html\r\n\r\n<p>rich</p>\r\n--b--\r\n")
                               << QStringLiteral("rich\n");
}

void tst_ShownArticle::alternativePicksPlain()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    const ShownArticle shown = ArticleText::shown(header("multipart/alternative; boundary=b", "7bit"), body);
    QCOMPARE(shown.text, expected);
}

void tst_ShownArticle::flowed_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    const QByteArray flowed = "text/plain; charset=utf-8; format=flowed";
    QTest::newRow("joined, blank kept") << flowed << QByteArray("one \r\ntwo \r\nthree\r\nnext\r\n")
                                        << QStringLiteral("one two three\nnext\n");
    QTest::newRow("DelSp removes the blank")
        << flowed + "; DelSp=Yes" << QByteArray("\xe6\x97\xa5\xe6\x9c\xac \r\n\xe8\xaa\x9e\r\n")
        << QStringLiteral("\u65e5\u672c\u8a9e\n");
    QTest::newRow("quote depth change ends it")
        << flowed << QByteArray(">> deep \r\n> shallow\r\nnone\r\n") << QStringLiteral(">> deep \n> shallow\nnone\n");
    QTest::newRow("signature separator is fixed")
        << flowed << QByteArray("text\r\n-- \r\nsig\r\n") << QStringLiteral("text\n-- \nsig\n");
    QTest::newRow("space-stuffed") << flowed << QByteArray(" From here\r\n  two blanks\r\n")
                                   << QStringLiteral("From here\n two blanks\n");
    QTest::newRow("not flowed: blanks kept")
        << QByteArray("text/plain; charset=utf-8") << QByteArray("one \r\ntwo\r\n") << QStringLiteral("one \ntwo\n");
}

void tst_ShownArticle::flowed()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(ArticleText::shown(header(contentType), body).text, expected);
}

void tst_ShownArticle::unsafeAttachmentNames()
{
    // A name that climbs out of the folder chosen for saving is cut to its
    // last part; a part without a name gets one.
    const QByteArray body = "--b\r\nContent-Type: text/plain\r\n\r\nsee files\r\n"
                            "--b\r\nContent-Type: application/octet-stream; name=\"../../.bashrc\"\r\n"
                            "Content-Transfer-Encoding: base64\r\n\r\naGk=\r\n"
                            "--b\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                            "JVBERg==\r\n--b--\r\n";
    const ShownArticle shown = ArticleText::shown(header("multipart/mixed; boundary=b", "7bit"), body);
    QCOMPARE(shown.text, QStringLiteral("see files\n"));
    QCOMPARE(shown.attachments.size(), 2);
    QCOMPARE(shown.attachments[0].name, QStringLiteral("bashrc"));
    QCOMPARE(shown.attachments[0].data, QByteArray("hi"));
    QCOMPARE(shown.attachments[1].name, QStringLiteral("attachment-2.pdf"));
    QCOMPARE(shown.attachments[1].description(), QStringLiteral("attachment-2.pdf (application/pdf, 4 bytes)"));
}

void tst_ShownArticle::brokenInputsStayBounded()
{
    // Multiparts nested far deeper than any program nests them, a boundary
    // never closed, an unknown transfer encoding and charset.
    QByteArray deep;
    for (int i = 0; i < 500; ++i)
        deep += "--b" + QByteArray::number(i) + "\r\nContent-Type: multipart/mixed; boundary=b"
            + QByteArray::number(i + 1) + "\r\n\r\n";
    deep += "--b500\r\nContent-Type: text/plain\r\n\r\nat the bottom\r\n";
    ShownArticle shown = ArticleText::shown(header("multipart/mixed; boundary=b0", "7bit"), deep);
    QVERIFY(!shown.text.contains(QLatin1String("at the bottom"))); // too deep to be looked into

    shown = ArticleText::shown(header("text/plain; charset=x-no-such-set", "x-unheard-of"), "caf\xc3\xa9\r\n");
    QCOMPARE(shown.text, QStringLiteral("café\n"));
}

void tst_ShownArticle::storedAnswers_data()
{
    QTest::addColumn<bool>("olderStore");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    // A store made before headers were kept reads every answer as its body stands.
    QTest::newRow("store without the table") << true << 2 << QStringLiteral("caf=C3=A9=20\r\n");
    QTest::newRow("answer kept with its header") << false << 2 << QStringLiteral("café \n");
    QTest::newRow("answer stored without one") << false << 3 << QStringLiteral("caf=C3=A9=20\r\n");
}

void tst_ShownArticle::storedAnswers()
{
    QFETCH(bool, olderStore);
    QFETCH(int, code);
    QFETCH(QString, expected);
    ScratchStore store(olderStore ? StoreSchema::Tables::FirstDesignOnly : StoreSchema::Tables::All);
    if (!olderStore)
        store.exec(AnswerCorpus::headerRow(2, header("text/plain; charset=utf-8", "quoted-printable")));
    StoreConnection connection;
    connection.open(store.path());
    const QVariant body(QByteArray("caf=C3=A9=20\r\n"));
    QCOMPARE(ArticleText::ofStored(connection, code, body).text, expected);
}

QTEST_GUILESS_MAIN(tst_ShownArticle)
#include "tst_shownarticle.moc"
