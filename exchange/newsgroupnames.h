#pragma once
// How the runs read the newsgroup names a reply carries.

#include <QStringList>

// A reply's Newsgroup column: cut at every ",", empty pieces dropped, every
// other piece kept as it is (blanks included).
QStringList replyNewsgroups(const QString &newsgroup);
