#pragma once
// The "Sent" column's text: the user's short date format, a blank and the long
// time format, the time left out at exactly midnight; empty for no date. The
// column sorts by the date and time its text stands for, as written on the
// clock: the key is the wall-clock time in whole seconds, so that sorting
// never asks the time-zone rules (which the C library reads from disk again on
// every conversion of a local time).
//
// The long time format is taken without its time-zone field: the store keeps
// local times with no zone, so a zone name in the column would be made up.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>

class QVariant;

class SentDate
{
public:
    using Key = std::optional<qint64>;

    static QString format(QDate date, QTime time, const QLocale &locale = QLocale::system());
    static QString format(const QDateTime &when, const QLocale &locale = QLocale::system());

    // Converts a column text back; an invalid QDateTime when it is not one
    // (the empty text of a message never queued, for one). A two-digit year is
    // placed within fifty years of today.
    static QDateTime parse(const QString &text, const QLocale &locale = QLocale::system());

    // The sort key of a date and time as its text shows it (whole seconds);
    // none for no date.
    static Key key(QDate date, QTime time);
    static Key key(const QDateTime &when);

    // A `SentDate` value of the store: its date and time as written, read
    // without converting through local time; false for NULL or no date.
    static bool fromStored(const QVariant &value, QDate &date, QTime &time);

    static QString dateFormat(const QLocale &locale);
    static QString timeFormat(const QLocale &locale);
};
