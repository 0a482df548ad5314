// The "Sent" column's text and the date it converts back to.

#include "messagelist/sentdate.h"

#include <QTest>

class tst_SentDate : public QObject
{
    Q_OBJECT

private slots:
    void formatsAndReadsBack_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("when");
        const QDateTime afternoon(QDate(2024, 3, 9), QTime(15, 4, 5));
        const QDateTime lastCentury(QDate(1999, 12, 31), QTime(23, 59, 59));
        const QDateTime midnight(QDate(2023, 11, 2), QTime(0, 0));
        const QDateTime withMilliseconds(QDate(2022, 1, 5), QTime(8, 30, 1, 750));
        for (const char *locale : {"C", "en_US", "de_DE", "ja_JP", "en_GB"}) {
            QTest::addRow("%s afternoon", locale) << QString::fromLatin1(locale) << afternoon;
            QTest::addRow("%s last century", locale) << QString::fromLatin1(locale) << lastCentury;
            QTest::addRow("%s midnight", locale) << QString::fromLatin1(locale) << midnight;
            QTest::addRow("%s milliseconds", locale) << QString::fromLatin1(locale) << withMilliseconds;
        }
    }
    // The sort key set with the text must be what the text converts back to.
    void formatsAndReadsBack()
    {
        QFETCH(QString, locale);
        QFETCH(QDateTime, when);
        const QLocale loc(locale);
        const QString text = SentDate::format(when, loc);
        QVERIFY(!text.isEmpty());
        QCOMPARE(SentDate::key(SentDate::parse(text, loc)), SentDate::key(when));
    }

    // Wall-clock keys order as the dates do, across days and years.
    void keysOrderAsTheDates()
    {
        const QDate d(2023, 12, 31);
        QVERIFY(*SentDate::key(d, QTime(23, 59, 59)) < *SentDate::key(d.addDays(1), QTime(0, 0)));
        QVERIFY(*SentDate::key(d, QTime(10, 0, 0)) < *SentDate::key(d, QTime(10, 0, 1)));
        QCOMPARE(SentDate::key(d, QTime(10, 0, 0, 999)), SentDate::key(d, QTime(10, 0, 0)));
        QVERIFY(!SentDate::key(QDate(), QTime(10, 0)));
    }

    void readsTheStoredValue_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::newRow("store's form") << QVariant(QStringLiteral("2024-03-01 10:20:30")) << QDate(2024, 3, 1)
                                      << QTime(10, 20, 30);
        QTest::newRow("midnight") << QVariant(QStringLiteral("2024-02-29 00:00:00")) << QDate(2024, 2, 29)
                                  << QTime(0, 0);
        QTest::newRow("ISO with T") << QVariant(QStringLiteral("2024-03-01T10:20:30")) << QDate(2024, 3, 1)
                                    << QTime(10, 20, 30);
        QTest::newRow("not a day") << QVariant(QStringLiteral("2023-02-29 10:00:00")) << QDate() << QTime();
        QTest::newRow("words") << QVariant(QStringLiteral("yesterday")) << QDate() << QTime();
        QTest::newRow("NULL") << QVariant() << QDate() << QTime();
    }
    void readsTheStoredValue()
    {
        QFETCH(QVariant, stored);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QDate readDate;
        QTime readTime;
        QCOMPARE(SentDate::fromStored(stored, readDate, readTime), date.isValid());
        QCOMPARE(readDate, date);
        QCOMPARE(readTime, time);
    }

    void leavesOutMidnight()
    {
        const QLocale loc(QStringLiteral("en_US"));
        const QDate day(2023, 11, 2);
        QCOMPARE(SentDate::format(day.startOfDay(), loc), loc.toString(day, QLocale::ShortFormat));
        QVERIFY(SentDate::format(QDateTime(day, QTime(0, 0, 1)), loc).size()
                > loc.toString(day, QLocale::ShortFormat).size());
    }

    void noZoneInTheTime()
    {
        for (const char *name : {"C", "en_US", "de_DE", "fr_FR"}) {
            const QString format = SentDate::timeFormat(QLocale(QLatin1String(name)));
            QVERIFY2(!format.contains(QLatin1Char('t')), qPrintable(format));
            QVERIFY2(format.contains(QLatin1String("ss")), qPrintable(format));
        }
    }

    void textsThatAreNoDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("words") << "not a date";
    }
    void textsThatAreNoDate()
    {
        QFETCH(QString, text);
        QVERIFY(!SentDate::parse(text, QLocale(QStringLiteral("en_US"))).isValid());
        QCOMPARE(SentDate::format(QDateTime(), QLocale(QStringLiteral("en_US"))), QString());
    }
};

QTEST_MAIN(tst_SentDate)
#include "tst_sentdate.moc"
