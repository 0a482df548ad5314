#pragma once
// Article dates in RFC 822 form: the Date text of posted articles and the
// reader for the date field of overview lines.

#include <QByteArray>

class QDateTime;
class QString;

namespace ArticleDate {

// "Tue, 5 Nov 2002 14:03:00 +0100": English day and month names, the time as
// the value holds it and the offset from UTC in force at that moment (for a
// local time daylight saving included). An invalid value gives an empty text.
QByteArray format(const QDateTime &dateTime);

// Reads an RFC 822 date leniently: an optional day name, the day (1 when not a
// number), the month abbreviation, the year (1900 when not a number; two-digit
// years below 80 are 20xx, from 80 up 19xx) and, when it follows, the time
// (each part 0 when not a number). A number is digits alone, without a sign.
// The zone is not applied: the result is the local date and time as written
// (for a time the local clock skips at a daylight-saving change, the same
// date and time in UTC, so that date() and time() always give what is written).
// Anything unreadable (an unknown month, a day the month does not have, a
// time out of range) gives an invalid QDateTime.
QDateTime parse(const QString &text);

} // namespace ArticleDate
