#include "messagelist/sentdate.h"

#include "store/jetsql.h"

#include <QRegularExpression>
#include <QVariant>

QString SentDate::dateFormat(const QLocale &locale)
{
    return locale.dateFormat(QLocale::ShortFormat);
}

QString SentDate::timeFormat(const QLocale &locale)
{
    // Drop the zone field ("t", "tt", ...) with the blanks around it.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zone, QStringLiteral(" "));
    return format.trimmed();
}

QString SentDate::format(QDate date, QTime time, const QLocale &locale)
{
    if (!date.isValid())
        return QString();
    const QString day = locale.toString(date, dateFormat(locale));
    if (!time.isValid() || time == QTime(0, 0))
        return day;
    return day + QLatin1Char(' ') + locale.toString(time, timeFormat(locale));
}

QString SentDate::format(const QDateTime &when, const QLocale &locale)
{
    return when.isValid() ? format(when.date(), when.time(), locale) : QString();
}

namespace {
// QLocale reads "yy" as 19yy; the column means the year nearest to today.
QDateTime placeTwoDigitYear(QDateTime when, const QString &format)
{
    if (!when.isValid() || format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return when;
    const int thisYear = QDate::currentDate().year();
    int year = (thisYear / 100) * 100 + when.date().year() % 100;
    if (year > thisYear + 50)
        year -= 100;
    else if (year <= thisYear - 50)
        year += 100;
    const QDate date(year, when.date().month(), when.date().day());
    return date.isValid() ? QDateTime(date, when.time()) : QDateTime();
}
} // namespace

QDateTime SentDate::parse(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QDateTime();
    const QString dateOnly = dateFormat(locale);
    const QString dateTime = dateOnly + QLatin1Char(' ') + timeFormat(locale);
    QDateTime when = locale.toDateTime(trimmed, dateTime);
    if (when.isValid())
        return placeTwoDigitYear(when, dateOnly);
    const QDate date = locale.toDate(trimmed, dateOnly);
    if (!date.isValid())
        return QDateTime();
    return placeTwoDigitYear(date.startOfDay(), dateOnly);
}

SentDate::Key SentDate::key(QDate date, QTime time)
{
    if (!date.isValid())
        return std::nullopt;
    const qint64 seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    return date.toJulianDay() * 86400 + seconds;
}

SentDate::Key SentDate::key(const QDateTime &when)
{
    return when.isValid() ? key(when.date(), when.time()) : std::nullopt;
}

namespace {
int digits(QStringView text, qsizetype from, qsizetype count, bool &ok)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            ok = false;
            return 0;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}
} // namespace

bool SentDate::fromStored(const QVariant &value, QDate &date, QTime &time)
{
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::QString) {
        // The store's own form, "yyyy-MM-dd HH:mm:ss", read field by field.
        const QString text = value.toString();
        if (text.size() == 19 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-')
            && text.at(10) == QLatin1Char(' ') && text.at(13) == QLatin1Char(':') && text.at(16) == QLatin1Char(':')) {
            bool ok = true;
            const QDate d(digits(text, 0, 4, ok), digits(text, 5, 2, ok), digits(text, 8, 2, ok));
            const QTime t(digits(text, 11, 2, ok), digits(text, 14, 2, ok), digits(text, 17, 2, ok));
            if (ok && d.isValid() && t.isValid()) {
                date = d;
                time = t;
                return true;
            }
        }
    }
    // Any other form goes the store's general way.
    const QDateTime when = JetSql::toDateTime(value);
    if (!when.isValid())
        return false;
    date = when.date();
    time = when.time();
    return true;
}
