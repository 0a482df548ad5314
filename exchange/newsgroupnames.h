#pragma once
// How the runs read the newsgroup names a message carries.

#include <QStringList>

// A reply's Newsgroup column: cut at every ",", empty pieces dropped, every
// other piece kept as it is (blanks included).
QStringList replyNewsgroups(const QString &newsgroup);

// The Source of an Inbox message, read as comma text: a name ends at "," and
// at a blank or control character; a name may be enclosed in double quotes
// (two double quotes inside stand for one); an empty piece between two
// commas, and a comma at the very end, give an empty name.
QStringList sourceNames(const QString &source);
