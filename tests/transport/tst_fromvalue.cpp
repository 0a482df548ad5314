// The From value of posted articles.

#include "transport/articlecharsets.h"
#include "transport/fromvalue.h"

#include <QLocale>
#include <QTest>

class tst_FromValue : public QObject
{
    Q_OBJECT

private slots:
    void fromValue_data();
    void fromValue();
};

void tst_FromValue::fromValue_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain two-word name quoted")
        << "en_US"
        << "John Smith"
        << "john@example.com" << QByteArray("\"John Smith\" <john@example.com>");
    QTest::newRow("no name: bare address") << "en_US"
                                           << ""
                                           << "john@example.com" << QByteArray("john@example.com");
    QTest::newRow("neither name nor address: empty, so no From line") << "en_US"
                                                                      << ""
                                                                      << "" << QByteArray();
    QTest::newRow("quote and backslash escaped") << "en_US"
                                                 << "The \"Boss\" \\ Co."
                                                 << "b@x.org" << QByteArray("\"The \\\"Boss\\\" \\\\ Co.\" <b@x.org>");
    QTest::newRow("specials are safe inside the quotes")
        << "en_US"
        << "Smith, John (IT) <x@y>"
        << "j@x.org" << QByteArray("\"Smith, John (IT) <x@y>\" <j@x.org>");
    QTest::newRow("non-ASCII name as encoded-words, specials encoded too")
        << "de_DE" << QString::fromUtf8("Jörg Müller, Dr.") << "jm@x.de"
        << QByteArray("=?ISO-8859-1?Q?J=F6rg_M=FCller=2C_Dr=2E?= <jm@x.de>");
    QTest::newRow("non-ASCII name, plain words left as they are")
        << "de_DE" << QString::fromUtf8("Jörg Schmidt") << "js@x.de"
        << QByteArray("=?ISO-8859-1?Q?J=F6rg?= Schmidt <js@x.de>");
    QTest::newRow("Korean name in EUC-KR")
        << "ko_KR" << QString::fromUtf8("한국어") << "k@x.kr" << QByteArray("=?EUC-KR?B?x9Gxub7u?= <k@x.kr>");
    QTest::newRow("line break in the name cannot start a header")
        << "en_US"
        << "Eve\r\nApproved: yes"
        << "eve@x.org" << QByteArray("\"Eve  Approved: yes\" <eve@x.org>");
    QTest::newRow("line break in the address cannot start a header")
        << "en_US"
        << ""
        << "eve@x.org\nApproved: yes" << QByteArray("eve@x.org Approved: yes");
}

void tst_FromValue::fromValue()
{
    QFETCH(QString, locale);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QByteArray, expected);
    QCOMPARE(fromHeaderValue(name, address, ArticleCharsets::forLocale(QLocale(locale))), expected);
}

QTEST_GUILESS_MAIN(tst_FromValue)
#include "tst_fromvalue.moc"
