// The Date text of posted articles and the reader for overview dates.

#include "transport/articledate.h"

#include <QDateTime>
#include <QTest>
#include <QTimeZone>

#include <ctime>

class tst_ArticleDate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formatLocalTime_data();
    void formatLocalTime();
    void formatInOtherZones_data();
    void formatInOtherZones();
    void formatInvalidGivesNothing();
    void parse_data();
    void parse();
};

void tst_ArticleDate::initTestCase()
{
    // Local time of this process: a zone with daylight saving, so that the
    // offset in force at each moment can be seen to change.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QCOMPARE(QDateTime(QDate(2024, 1, 15), QTime(12, 0)).offsetFromUtc(), 3600);
}

void tst_ArticleDate::formatLocalTime_data()
{
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("winter, day without leading zero")
        << QDateTime(QDate(2002, 11, 5), QTime(14, 3, 0)) << QByteArray("Tue, 5 Nov 2002 14:03:00 +0100");
    QTest::newRow("summer gives the summer offset")
        << QDateTime(QDate(2024, 7, 1), QTime(9, 5, 7)) << QByteArray("Mon, 1 Jul 2024 09:05:07 +0200");
    QTest::newRow("last minute before the spring change")
        << QDateTime(QDate(2024, 3, 31), QTime(1, 59, 59)) << QByteArray("Sun, 31 Mar 2024 01:59:59 +0100");
    QTest::newRow("first minute after the spring change")
        << QDateTime(QDate(2024, 3, 31), QTime(3, 0, 0)) << QByteArray("Sun, 31 Mar 2024 03:00:00 +0200");
    QTest::newRow("after the autumn change")
        << QDateTime(QDate(2024, 10, 27), QTime(3, 30, 0)) << QByteArray("Sun, 27 Oct 2024 03:30:00 +0100");
    QTest::newRow("midnight, Saturday, December")
        << QDateTime(QDate(2023, 12, 30), QTime(0, 0, 0)) << QByteArray("Sat, 30 Dec 2023 00:00:00 +0100");
}

void tst_ArticleDate::formatLocalTime()
{
    QFETCH(QDateTime, local);
    QFETCH(QByteArray, expected);
    QCOMPARE(ArticleDate::format(local), expected);
}

void tst_ArticleDate::formatInOtherZones_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QByteArray>("expected");

    const QTimeZone newYork("America/New_York");
    QTest::newRow("west of Greenwich, winter")
        << QDateTime(QDate(2024, 1, 2), QTime(23, 1, 2), newYork) << QByteArray("Tue, 2 Jan 2024 23:01:02 -0500");
    QTest::newRow("west of Greenwich, summer")
        << QDateTime(QDate(2024, 6, 20), QTime(8, 0, 0), newYork) << QByteArray("Thu, 20 Jun 2024 08:00:00 -0400");
    QTest::newRow("half-hour offset") << QDateTime(QDate(2024, 2, 29), QTime(17, 45, 0), QTimeZone("Asia/Kolkata"))
                                      << QByteArray("Thu, 29 Feb 2024 17:45:00 +0530");
    QTest::newRow("negative half-hour offset")
        << QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), QTimeZone("America/St_Johns"))
        << QByteArray("Wed, 1 May 2024 10:00:00 -0230");
    QTest::newRow("UTC") << QDateTime(QDate(2024, 5, 5), QTime(10, 0, 0), Qt::UTC)
                         << QByteArray("Sun, 5 May 2024 10:00:00 +0000");
}

void tst_ArticleDate::formatInOtherZones()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QByteArray, expected);
    QVERIFY(dateTime.isValid());
    QCOMPARE(ArticleDate::format(dateTime), expected);
}

// Found by fuzzing the composer: an invalid value read the day name before
// the start of the table.
void tst_ArticleDate::formatInvalidGivesNothing()
{
    QCOMPARE(ArticleDate::format(QDateTime()), QByteArray());
    QCOMPARE(ArticleDate::format(QDateTime(QDate(2024, 2, 30), QTime(10, 0))), QByteArray());
}

void tst_ArticleDate::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // null: the date value 0
    QTest::addColumn<QTime>("time");

    const QDate nov5(2002, 11, 5);
    const QTime at1403(14, 3, 0);
    QTest::newRow("day name, two-digit year, zone not applied") << "Tue, 5 Nov 02 14:03:00 -0800" << nov5 << at1403;
    QTest::newRow("no day name, time without seconds") << "5 Nov 2002 14:03" << nov5 << at1403;
    QTest::newRow("names in any case") << "tUE, 05 nOV 2002 14:03:00 GMT" << nov5 << at1403;
    QTest::newRow("day name glued to the day") << "Tue,5 Nov 2002 14:03:00 +0000" << nov5 << at1403;
    QTest::newRow("surrounding blanks and a zone comment")
        << "  Tue,  5  Nov  2002  14:03:00 -0800 (PST)  " << nov5 << at1403;
    QTest::newRow("no time gives midnight") << "5 Nov 2002" << QDate(2002, 11, 5) << QTime(0, 0);
    QTest::newRow("year 79 is 2079") << "1 Jan 79 00:00:01" << QDate(2079, 1, 1) << QTime(0, 0, 1);
    QTest::newRow("year 80 is 1980") << "1 Jan 80 00:00:01" << QDate(1980, 1, 1) << QTime(0, 0, 1);
    QTest::newRow("year 99 is 1999") << "31 Dec 99 23:59:59" << QDate(1999, 12, 31) << QTime(23, 59, 59);
    QTest::newRow("three-digit year of old software") << "5 Nov 102 14:03:00" << nov5 << at1403;
    QTest::newRow("year not a number is 1900") << "5 Nov xx 14:03:00" << QDate(1900, 11, 5) << QTime(14, 3);
    QTest::newRow("day not a number is 1") << "Tue, ?? Nov 2002 14:03:00" << QDate(2002, 11, 1) << QTime(14, 3);
    QTest::newRow("time parts not numbers are 0") << "5 Nov 2002 14:xx:07" << QDate(2002, 11, 5) << QTime(14, 0, 7);
    QTest::newRow("hour the local clock skips is kept as written")
        << "Sun, 31 Mar 2024 02:30:00 -0800" << QDate(2024, 3, 31) << QTime(2, 30);
    QTest::newRow("unknown month") << "5 Nob 2002 14:03:00" << QDate() << QTime();
    QTest::newRow("day the month does not have") << "31 Feb 2002 10:00:00" << QDate() << QTime();
    QTest::newRow("hour out of range") << "5 Nov 2002 25:00:00" << QDate() << QTime();
    QTest::newRow("empty") << "" << QDate() << QTime();
    QTest::newRow("day name only") << "Tuesday" << QDate() << QTime();
    QTest::newRow("fuzz: a signed year is no number (was 23 million years back)") << QStringLiteral("1") + QChar(0xfffd)
            + QStringLiteral("7 Oct -023000234") << QDate(1900, 10, 1) << QTime(0, 0);
    QTest::newRow("a signed day is no number") << "+5 Nov 2002 14:03" << QDate(2002, 11, 1) << at1403;
    QTest::newRow("signed time parts are no numbers") << "5 Nov 2002 -1:+3:07" << QDate(2002, 11, 5) << QTime(0, 0, 7);
    QTest::newRow("a lone surrogate after the time still splits the words")
        << QStringLiteral("5 Nov 2002 14:03 ") + QChar(0xdc00) << QDate(2002, 11, 5) << at1403;
}

void tst_ArticleDate::parse()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QFETCH(QTime, time);

    const QDateTime parsed = ArticleDate::parse(text);
    if (date.isNull()) {
        QVERIFY2(!parsed.isValid(), qPrintable(parsed.toString(Qt::ISODate)));
        return;
    }
    QVERIFY(parsed.isValid());
    QCOMPARE(parsed.date(), date);
    QCOMPARE(parsed.time(), time);
}

QTEST_GUILESS_MAIN(tst_ArticleDate)
#include "tst_articledate.moc"
