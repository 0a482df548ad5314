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
};

void tst_Overview::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<quint64>("number");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("messageId");
    QTest::addColumn<QString>("references");
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<quint64>("lines");
    QTest::addColumn<QString>("extra");

    QTest::newRow("full line, raw header texts kept")
            << "3000234\t=?ISO-8859-1?Q?Caf=E9?=\t\"Jane Doe\" <jane@example.org>\t"
               "Tue, 5 Nov 2002 14:03:00 -0800\t<a1@example.org>\t<q1@x> <a0@y>\t1234\t17"
            << quint64(3000234) << "=?ISO-8859-1?Q?Caf=E9?=" << "\"Jane Doe\" <jane@example.org>"
            << "<a1@example.org>" << "<q1@x> <a0@y>" << quint64(1234) << quint64(17) << "";
    QTest::newRow("only five fields: no references, counts zero")
            << "12\tSubject\tfrom@x\t5 Nov 2002 14:03\t<m@x>" << quint64(12) << "Subject"
            << "from@x" << "<m@x>" << "" << quint64(0) << quint64(0) << "";
    QTest::newRow("extra data after the eighth TAB, TABs included")
            << "7\ts\tf\td\t<m@x>\t<r@x>\t10\t2\tXref: h g:7\tX-Other: 1"
            << quint64(7) << "s" << "f" << "<m@x>" << "<r@x>" << quint64(10) << quint64(2)
            << "Xref: h g:7\tX-Other: 1";
    QTest::newRow("eighth TAB with nothing after it")
            << "7\ts\tf\td\t<m@x>\t<r@x>\t10\t2\t" << quint64(7) << "s" << "f" << "<m@x>"
            << "<r@x>" << quint64(10) << quint64(2) << "";
    QTest::newRow("TAB backspace TAB is one TAB")
            << "8\tsubj\t\b\tfrom\td\t<m@x>\t\t5\t1" << quint64(8) << "subj" << "from" << "<m@x>"
            << "" << quint64(5) << quint64(1) << "";
    QTest::newRow("empty fields stay empty")
            << "9\t\t\t\t<m@x>\t\t\t" << quint64(9) << "" << "" << "<m@x>" << "" << quint64(0)
            << quint64(0) << "";
    QTest::newRow("numbers with blanks around them")
            << " 42 \ts\tf\td\t<m@x>\t\t 300 \t 9" << quint64(42) << "s" << "f" << "<m@x>" << ""
            << quint64(300) << quint64(9) << "";
    QTest::newRow("numbers that are not numbers are 0")
            << "4x\ts\tf\td\t<m@x>\t\t-3\tmany" << quint64(0) << "s" << "f" << "<m@x>" << ""
            << quint64(0) << quint64(0) << "";
    QTest::newRow("article number beyond 32 bits")
            << "5000000000\ts" << quint64(5000000000ULL) << "s" << "" << "" << ""
            << quint64(0) << quint64(0) << "";
    QTest::newRow("empty line") << "" << quint64(0) << "" << "" << "" << "" << quint64(0)
                                << quint64(0) << "";
    QTest::newRow("blanks inside a subject are kept")
            << "1\t  Re:  spaced  \tf" << quint64(1) << "  Re:  spaced  " << "f" << "" << ""
            << quint64(0) << quint64(0) << "";
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

    QTest::newRow("zone not applied")
            << "Tue, 5 Nov 02 14:03:00 -0800" << QDateTime(QDate(2002, 11, 5), QTime(14, 3));
    QTest::newRow("missing") << "" << QDateTime();
    QTest::newRow("unknown month") << "5 Foo 2002 14:03:00" << QDateTime();
}

void tst_Overview::date()
{
    QFETCH(QString, field);
    QFETCH(QDateTime, expected);
    const OverviewLine parsed = ParseOverviewLine(
            QStringLiteral("1\tsubject\tfrom\t%1\t<m@x>\t<r@x>\t100\t3").arg(field));
    QCOMPARE(parsed.date.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed.date, expected);
    // The date never shifts the fields after it.
    QCOMPARE(parsed.messageId, QStringLiteral("<m@x>"));
    QCOMPARE(parsed.lineCount, quint64(3));
}

QTEST_GUILESS_MAIN(tst_Overview)
#include "tst_overview.moc"
