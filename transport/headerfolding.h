#pragma once
// Folding of long header lines (RFC 822 3.1.1).

#include <QByteArray>
#include <QList>

namespace HeaderFolding {

constexpr qsizetype maxLineLength = 78;

// Breaks a header line ("Name: value") longer than maxLineLength at blanks
// into lines of at most maxLineLength characters where the blanks allow it.
// Each continuation line begins with the blanks it was broken at; trailing
// blanks are removed from every piece. A line is never broken inside
// "Name: " or before the first word of its value, and a word longer than
// the limit stays whole.
QList<QByteArray> fold(const QByteArray &line);

} // namespace HeaderFolding
