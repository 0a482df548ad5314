// Overview lines as the answer scan reads them.

#include "transport/overview.h"

#include <QTest>

class tst_Overview : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void date_data();
    void date();
    void bytesAsReceived_data();
    void bytesAsReceived();
    void lastBytesOfTheLineKept_data();
    void lastBytesOfTheLineKept();
    void singleFieldsAsTheWholeLine_data();
    void singleFieldsAsTheWholeLine();
};

void tst_Overview::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<quint64>("number");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("messageId");
    QTest::addColumn<QString>("references");
    QTest::addColumn<quint32>("bytes");
    QTest::addColumn<quint32>("lines");
    QTest::addColumn<QString>("extra");

    QTest::newRow("full line, raw header texts kept")
        << "3000234\t=?ISO-8859-1?Q?Caf=E9?=\t\"Jane Doe\" <jane@example.org>\t"
           "Tue, 5 Nov 2002 14:03:00 -0800\t<a1@example.org>\t<q1@x> <a0@y>\t1234\t17"
        << quint64(3000234) << "=?ISO-8859-1?Q?Caf=E9?="
        << "\"Jane Doe\" <jane@example.org>"
        << "<a1@example.org>"
        << "<q1@x> <a0@y>" << quint32(1234) << quint32(17) << "";
    QTest::newRow("only five fields: no references, counts zero")
        << "12\tSubject\tfrom@x\t5 Nov 2002 14:03\t<m@x>" << quint64(12) << "Subject"
        << "from@x"
        << "<m@x>"
        << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("extra data after the eighth TAB, TABs included")
        << "7\ts\tf\td\t<m@x>\t<r@x>\t10\t2\tXref: h g:7\tX-Other: 1" << quint64(7) << "s"
        << "f"
        << "<m@x>"
        << "<r@x>" << quint32(10) << quint32(2) << "Xref: h g:7\tX-Other: 1";
    QTest::newRow("eighth TAB with nothing after it") << "7\ts\tf\td\t<m@x>\t<r@x>\t10\t2\t" << quint64(7) << "s"
                                                      << "f"
                                                      << "<m@x>"
                                                      << "<r@x>" << quint32(10) << quint32(2) << "";
    QTest::newRow("TAB backspace TAB is one TAB") << "8\tsubj\t\b\tfrom\td\t<m@x>\t\t5\t1" << quint64(8) << "subj"
                                                  << "from"
                                                  << "<m@x>"
                                                  << "" << quint32(5) << quint32(1) << "";
    QTest::newRow("empty fields stay empty") << "9\t\t\t\t<m@x>\t\t\t" << quint64(9) << ""
                                             << ""
                                             << "<m@x>"
                                             << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("numbers with blanks around them") << " 42 \ts\tf\td\t<m@x>\t\t 300 \t 9" << quint64(42) << "s"
                                                     << "f"
                                                     << "<m@x>"
                                                     << "" << quint32(300) << quint32(9) << "";
    QTest::newRow("numbers that are not numbers are 0") << "4x\ts\tf\td\t<m@x>\t\t-3\tmany" << quint64(0) << "s"
                                                        << "f"
                                                        << "<m@x>"
                                                        << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("largest 32-bit article number") << "4294967295\ts" << quint64(4294967295U) << "s"
                                                   << ""
                                                   << ""
                                                   << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("article number beyond 32 bits") << "4294967296\ts" << quint64(4294967296ULL) << "s"
                                                   << ""
                                                   << ""
                                                   << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("article number beyond 64 bits reads 0") << "18446744073709551616\ts" << quint64(0) << "s"
                                                           << ""
                                                           << ""
                                                           << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("signed article number reads 0") << "+5\ts" << quint64(0) << "s"
                                                   << ""
                                                   << ""
                                                   << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("empty line") << "" << quint64(0) << ""
                                << ""
                                << ""
                                << "" << quint32(0) << quint32(0) << "";
    QTest::newRow("blanks inside a subject are kept") << "1\t  Re:  spaced  \tf" << quint64(1) << "  Re:  spaced  "
                                                      << "f"
                                                      << ""
                                                      << "" << quint32(0) << quint32(0) << "";
}

void tst_Overview::fields()
{
    QFETCH(QString, line);
    const OverviewLine parsed = ParseOverviewLine(line);
    QTEST(parsed.articleNumber, "number");
    QTEST(parsed.subject, "subject");
    QTEST(parsed.from, "from");
    QTEST(parsed.messageId, "messageId");
    QTEST(parsed.references, "references");
    QTEST(parsed.byteCount, "bytes");
    QTEST(parsed.lineCount, "lines");
    QTEST(parsed.extra, "extra");
}

void tst_Overview::date_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QDateTime>("expected"); // invalid: date value 0

    QTest::newRow("zone not applied") << "Tue, 5 Nov 02 14:03:00 -0800" << QDateTime(QDate(2002, 11, 5), QTime(14, 3));
    QTest::newRow("missing") << "" << QDateTime();
    QTest::newRow("unknown month") << "5 Foo 2002 14:03:00" << QDateTime();
}

void tst_Overview::date()
{
    QFETCH(QString, field);
    QFETCH(QDateTime, expected);
    const OverviewLine parsed
        = ParseOverviewLine(QStringLiteral("1\tsubject\tfrom\t%1\t<m@x>\t<r@x>\t100\t3").arg(field));
    QCOMPARE(parsed.date.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed.date, expected);
    // The date never shifts the fields after it.
    QCOMPARE(parsed.messageId, QStringLiteral("<m@x>"));
    QCOMPARE(parsed.lineCount, quint32(3));
}

void tst_Overview::bytesAsReceived_data()
{
    QTest::addColumn<QByteArray>("subjectBytes");
    QTest::addColumn<QString>("subject");

    QTest::newRow("ASCII") << QByteArray("=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=")
                           << QStringLiteral("=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=");
    QTest::newRow("raw UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                             "e")
                               << QString::fromUtf8("Grüße");
    QTest::newRow("raw Latin-1 keeps every byte") << QByteArray("Gr\xfc\xdf"
                                                                "e")
                                                  << QString::fromUtf8("Grüße");
}

void tst_Overview::bytesAsReceived()
{
    QFETCH(QByteArray, subjectBytes);
    QFETCH(QString, subject);
    const OverviewLine parsed = ParseOverviewLine("17\t" + subjectBytes + "\tf\t5 Nov 2002\t<m@x>\t<r@x>\t9\t1");
    QCOMPARE(parsed.articleNumber, quint32(17));
    QCOMPARE(parsed.subject, subject);
    QCOMPARE(parsed.references, QStringLiteral("<r@x>"));
    QCOMPARE(parsed.lineCount, quint32(1));
}

void tst_Overview::lastBytesOfTheLineKept_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("extra");

    QTest::newRow("fuzz: UTF-8 sequence cut off at the end of the extra data")
        << QByteArray("8\tsubj\t\t\0fr\n\0\0\0\0\0\0\0om\td\t<m@x>\t\t5\t1\xcf", 35) << QStringLiteral("subj")
        << QString::fromLatin1("1\xcf");
    QTest::newRow("UTF-8 sequence cut off at the end of a short line")
        << QByteArray("8\tGr\xc3\xbc\xc3") << QString::fromLatin1("Gr\xc3\xbc\xc3") << QString();
    QTest::newRow("complete UTF-8 at the end") << QByteArray("8\tGr\xc3\xbc") << QString::fromUtf8("Grü") << QString();
}

// A line whose last bytes are the start of a UTF-8 sequence is not valid
// UTF-8: read as Latin-1, with every byte, not with the cut sequence dropped.
void tst_Overview::lastBytesOfTheLineKept()
{
    QFETCH(QByteArray, line);
    const OverviewLine parsed = ParseOverviewLine(line);
    QTEST(parsed.subject, "subject");
    QTEST(parsed.extra, "extra");
}

void tst_Overview::singleFieldsAsTheWholeLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("references"); // what the scan's look-ups are keyed on
    QTest::addColumn<bool>("utf8");

    QTest::newRow("ASCII") << QByteArray("17\ts\tf\td\t<m@x>\t<q@x> <r@x>\t9\t1") << "<q@x> <r@x>" << true;
    QTest::newRow("TAB backspace TAB before the references")
        << QByteArray("8\tsubj\t\b\tfrom\td\t<m@x>\t<r@x>\t5\t1") << "<r@x>" << true;
    QTest::newRow("Latin-1 subject, ASCII references") << QByteArray("9\tGr\xfc\xdf"
                                                                     "e\tf\td\t<m@x>\t<r@x>\t5\t1")
                                                       << "<r@x>" << false;
    QTest::newRow("UTF-8 in the references")
        << QByteArray("10\ts\tf\td\t<m@x>\t<gr\xc3\xbc@x>\t5\t1") << QString::fromUtf8("<grü@x>") << true;
    QTest::newRow("Latin-1 in the references")
        << QByteArray("11\ts\tf\td\t<m@x>\t<gr\xfc@x>\t5\t1") << QString::fromLatin1("<gr\xfc@x>") << false;
    QTest::newRow("short line: no references") << QByteArray("12\ts\tf") << "" << true;
    QTest::newRow("number not a number") << QByteArray("1x\ts\tf\td\t<m@x>\t<r@x>") << "<r@x>" << true;
    QTest::newRow("number with 8-bit bytes") << QByteArray("\xb9"
                                                           "2\ts\tf\td\t<m@x>\t<r@x>")
                                             << "<r@x>" << false;
    QTest::newRow("number with blanks") << QByteArray(" 13 \ts\tf\td\t<m@x>\t<r@x>") << "<r@x>" << true;
    QTest::newRow("number alone") << QByteArray("14") << "" << true;
    QTest::newRow("largest number") << QByteArray("18446744073709551615\ts\tf\td\t<m@x>\t<r@x>") << "<r@x>" << true;
    QTest::newRow("number beyond 64 bits")
        << QByteArray("18446744073709551616\ts\tf\td\t<m@x>\t<r@x>") << "<r@x>" << true;
}

// The scan cuts single fields for speed; they must be what the whole line's
// parse gives, or an answer is matched on one reading and stored on another.
void tst_Overview::singleFieldsAsTheWholeLine()
{
    QFETCH(QByteArray, line);
    const OverviewLine parsed = ParseOverviewLine(line);
    QTEST(overviewField(line, OverviewField::References), "references");
    QCOMPARE(overviewField(line, OverviewField::MessageId), parsed.messageId);
    QCOMPARE(overviewNumber(line), parsed.articleNumber);
    QTEST(overviewReadsAsUtf8(line), "utf8");
}

QTEST_GUILESS_MAIN(tst_Overview)
#include "tst_overview.moc"
