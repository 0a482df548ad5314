#pragma once
// The "Sent" column's text: the user's short date format, a blank and the long
// time format, the time left out at exactly midnight; empty for no date. The
// column sorts by the date its text stands for.
//
// The long time format is taken without its time-zone field: the store keeps
// local times with no zone, so a zone name in the column would be made up.

#include <QDateTime>
#include <QLocale>
#include <QString>

class SentDate
{
public:
    static QString format(const QDateTime &when, const QLocale &locale = QLocale::system());

    // Converts a column text back; an invalid QDateTime when it is not one
    // (the empty text of a message never queued, for one). A two-digit year is
    // placed within fifty years of today.
    static QDateTime parse(const QString &text, const QLocale &locale = QLocale::system());

    // What the text of a date stands for, without converting it back: the
    // date and time cut to the whole seconds the text shows.
    static QDateTime shown(const QDateTime &when);

    static QString dateFormat(const QLocale &locale);
    static QString timeFormat(const QLocale &locale);
};
