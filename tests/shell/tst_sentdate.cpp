// The "Sent" column's text and the date it converts back to.

#include "shell/sentdate.h"

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
        QCOMPARE(SentDate::parse(text, loc), SentDate::shown(when));
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
