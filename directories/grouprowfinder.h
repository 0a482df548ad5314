#pragma once
// `FindGroupRow`: the position of a newsgroup in a list of rows in name order
// (the filtered group list, "... ORDER BY GROUPNAME"), found by binary search.
//
// The search must order names exactly as the store sorts GroupName, or a name
// the list shows could be missed: the store's NOCASE collation folds the ASCII
// letters only and compares everything else by code point, so '_' sorts
// before the letters and 'Ä' after 'z'. compareGroupNames is that order.
// Among rows whose names are equal in it, the row of exactly the given name
// is preferred; otherwise the first of them is found.

#include <QString>
#include <functional>
#include <optional>

// Negative, zero or positive as a sorts before, with or after b in the store.
int compareGroupNames(const QString &a, const QString &b);

// Searches rows 0 .. count-1, whose names nameAt gives.
std::optional<int> FindGroupRow(const QString &name, int count, const std::function<QString(int row)> &nameAt);
