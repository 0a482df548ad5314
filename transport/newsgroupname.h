#pragma once
// Which texts are newsgroup names (RFC 5536 3.1.4): printable US-ASCII without
// blanks, commas or control characters, at most 497 octets, not beginning or
// ending with a dot. A name taken as it is into a Newsgroups or Followup-To
// header must be one, or a comma in it would post to a group the user never
// chose.

#include <QByteArrayView>
#include <QString>

namespace NewsgroupName {

inline constexpr qsizetype kMaxLength = 497;

bool isValid(const QString &name);
// The same for a name as bytes (a list line's): ASCII alone can be valid.
bool isValid(QByteArrayView name);

// A Newsgroups or Followup-To value: names joined with ","; Followup-To may
// also be the single word "poster".
bool isValidList(const QString &value, bool followupTo);

} // namespace NewsgroupName
