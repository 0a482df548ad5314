#include "transport/articledate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ArticleDate {

namespace {

const char *const dayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char *const monthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Day, year and time are written in digits alone; a sign makes the text no
// number (a year of "-023000234" would give a date millions of years back).
int numberOr(const QString &text, int fallback)
{
    if (text.isEmpty())
        return fallback;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return fallback;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

bool startsWithDayName(const QString &text)
{
    for (const char *day : dayNames) {
        if (text.startsWith(QLatin1String(day), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

int monthNumber(const QString &word)
{
    for (int i = 0; i < 12; ++i) {
        if (word.startsWith(QLatin1String(monthNames[i]), Qt::CaseInsensitive))
            return i + 1;
    }
    return 0;
}

// Split by hand: a regular expression matches nothing in text that is not
// valid UTF-16, which would make a date with a stray surrogate unreadable.
QStringList blankSeparatedWords(const QString &text)
{
    QStringList words;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !text.at(i).isSpace())
            ++i;
        if (i > start)
            words.append(text.mid(start, i - start));
    }
    return words;
}

} // namespace

QByteArray format(const QDateTime &dateTime)
{
    // An invalid value has no day of the week to name.
    if (!dateTime.isValid())
        return {};
    const QDate date = dateTime.date();
    const int offsetMinutes = dateTime.offsetFromUtc() / 60;
    const int absMinutes = qAbs(offsetMinutes);
    const QString text = QStringLiteral("%1, %2 %3 %4 %5 %6%7")
                             .arg(QLatin1String(dayNames[date.dayOfWeek() - 1]))
                             .arg(date.day())
                             .arg(QLatin1String(monthNames[date.month() - 1]))
                             .arg(date.year())
                             .arg(dateTime.time().toString(QStringLiteral("HH:mm:ss")))
                             .arg(offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(absMinutes / 60 * 100 + absMinutes % 60, 4, 10, QLatin1Char('0'));
    return text.toLatin1();
}

QDateTime parse(const QString &text)
{
    QString rest = text.trimmed();
    if (startsWithDayName(rest)) {
        // The day name ends at a blank or after its comma ("Tue,5 Nov ...").
        qsizetype end = 0;
        while (end < rest.size() && !rest.at(end).isSpace() && rest.at(end) != QLatin1Char(','))
            ++end;
        if (end < rest.size() && rest.at(end) == QLatin1Char(','))
            ++end;
        rest = rest.mid(end);
    }
    const QStringList words = blankSeparatedWords(rest);
    const int day = numberOr(words.value(0), 1);
    const int month = monthNumber(words.value(1));
    if (month == 0)
        return {};
    int year = numberOr(words.value(2), 1900);
    if (year < 80)
        year += 2000;
    else if (year < 1000)
        year += 1900; // 80-99, and the three-digit years of old software (RFC 2822 4.3)

    QTime time(0, 0, 0);
    const QString clock = words.value(3);
    if (clock.contains(QLatin1Char(':'))) {
        const QStringList parts = clock.split(QLatin1Char(':'));
        time = QTime(numberOr(parts.value(0), 0), numberOr(parts.value(1), 0), numberOr(parts.value(2), 0));
    }
    const QDate date(year, month, day);
    if (!date.isValid() || !time.isValid())
        return {};
    const QDateTime local(date, time);
    if (local.isValid())
        return local;
    // A time the local clock skips (the hour of the spring change) has no
    // local value; it is kept as written in a zone that has every hour.
    return QDateTime(date, time, Qt::UTC);
}

} // namespace ArticleDate
