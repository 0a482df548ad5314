#include "shell/sentdate.h"

#include <QRegularExpression>

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

QString SentDate::format(const QDateTime &when, const QLocale &locale)
{
    if (!when.isValid())
        return QString();
    const QString date = locale.toString(when.date(), dateFormat(locale));
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(when.time(), timeFormat(locale));
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

QDateTime SentDate::shown(const QDateTime &when)
{
    if (!when.isValid())
        return QDateTime();
    const QTime time = when.time();
    return QDateTime(when.date(), QTime(time.hour(), time.minute(), time.second()));
}
