// Received headers and bodies made readable for the screen.

#include "transport/displaytext.h"

#include <QTest>
#include <QVariant>

class tst_DisplayText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodesHeaders_data();
    void decodesHeaders();
    void decodesBodies_data();
    void decodesBodies();
    void decodesStoredColumns();
};

void tst_DisplayText::decodesHeaders_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain ASCII") << QByteArray("Re: How do I tune INN?") << u"Re: How do I tune INN?"_qs;
    QTest::newRow("Q in UTF-8 with a name and address")
        << QByteArray("=?UTF-8?Q?J=C3=B6rg_M=C3=BCller?= <j@example.org>") << u"Jörg Müller <j@example.org>"_qs;
    QTest::newRow("B in ISO-8859-1, lower-case letter") << QByteArray("=?iso-8859-1?b?SvZyZw==?=") << u"Jörg"_qs;
    QTest::newRow("adjacent words are joined")
        << QByteArray("=?UTF-8?Q?a?= =?UTF-8?Q?b?=\r\n =?UTF-8?Q?c?=") << u"abc"_qs;
    QTest::newRow("text between words stays") << QByteArray("=?UTF-8?Q?a?= x =?UTF-8?Q?b?=") << u"a x b"_qs;
    QTest::newRow("underscore is a blank, encoded underscore is not")
        << QByteArray("=?UTF-8?Q?one_two=5Fthree?=") << u"one two_three"_qs;
    QTest::newRow("fuzz: U+FEFF at the start of a UTF-8 word is kept")
        << QByteArray("=?UTF-8?Q?=E2=82=87?= =?UTF-8?Q?=EF=BB=BF=E6=88=A0?=") << u"\u2087\ufeff\u6220"_qs;
    QTest::newRow("KOI8-R") << QByteArray("=?KOI8-R?B?8NLJ18XU?=") << u"Привет"_qs;
    QTest::newRow("language suffix") << QByteArray("=?UTF-8*de?Q?=C3=A4?=") << u"ä"_qs;
    QTest::newRow("unknown charset stays") << QByteArray("=?x-nonsense?Q?abc?=") << u"=?x-nonsense?Q?abc?="_qs;
    QTest::newRow("broken hex stays") << QByteArray("=?UTF-8?Q?=ZZ?=") << u"=?UTF-8?Q?=ZZ?="_qs;
    QTest::newRow("broken base64 stays") << QByteArray("=?UTF-8?B?***?=") << u"=?UTF-8?B?***?="_qs;
    QTest::newRow("unknown letter stays") << QByteArray("=?UTF-8?X?abc?=") << u"=?UTF-8?X?abc?="_qs;
    QTest::newRow("unterminated stays") << QByteArray("Re: =?UTF-8?Q?abc") << u"Re: =?UTF-8?Q?abc"_qs;
    QTest::newRow("blank inside a word: not a word") << QByteArray("=?UTF-8?Q?a b?=") << u"=?UTF-8?Q?a b?="_qs;
    QTest::newRow("raw 8-bit Latin-1 outside words") << QByteArray("J\xf6rg") << u"Jörg"_qs;
    QTest::newRow("raw UTF-8 outside words") << QByteArray("J\xc3\xb6rg") << u"Jörg"_qs;
}

void tst_DisplayText::decodesHeaders()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, shown);
    QCOMPARE(DisplayText::header(raw), shown);
}

void tst_DisplayText::decodesBodies_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ASCII") << QByteArray("Hello\r\n") << u"Hello\r\n"_qs;
    QTest::newRow("valid UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                               "e\r\n")
                                 << u"Grüße\r\n"_qs;
    QTest::newRow("8-bit Latin-1") << QByteArray("Gr\xfc\xdf"
                                                 "e\r\n")
                                   << u"Grüße\r\n"_qs;
    QTest::newRow("Windows-1252 quotes and euro")
        << QByteArray("\x93quoted\x94 \x80 5") << u"\u201Cquoted\u201D \u20AC 5"_qs;
}

void tst_DisplayText::decodesBodies()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, shown);
    const QString text = DisplayText::body(raw);
    QCOMPARE(text, shown);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
}

void tst_DisplayText::decodesStoredColumns()
{
    // Received bytes are decoded; text the user typed comes back as it is.
    QCOMPARE(DisplayText::header(QVariant(QByteArray("=?UTF-8?Q?J=C3=B6rg?="))), u"Jörg"_qs);
    QCOMPARE(DisplayText::header(QVariant(u"Jörg =?x?"_qs)), u"Jörg =?x?"_qs);
    QCOMPARE(DisplayText::body(QVariant(QByteArray("Gr\xfc\xdf"
                                                   "e"))),
             u"Grüße"_qs);
    QCOMPARE(DisplayText::body(QVariant(u"Grüße"_qs)), u"Grüße"_qs);
    QCOMPARE(DisplayText::header(QVariant()), QString());
}

QTEST_GUILESS_MAIN(tst_DisplayText)
#include "tst_displaytext.moc"
