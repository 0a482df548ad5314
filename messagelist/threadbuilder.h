#pragma once
// The order in which the Inbox threads are built, worked out from the rows of
// the folder query (ordered by Parent) with a hash by parent code instead of a
// search of the rows for every node.
//
// The result is the very sequence of additions that walking the query node by
// node gives: first the rows with Parent 0, in row order; then, for each node
// in turn, depth first, all rows whose Parent is its Code (the run of
// consecutive rows that starts at the first such row), then the same for each
// of those. A row whose Parent is NULL or names no row reached this way is left
// out. A code is expanded once, so a row that names itself or a cycle of rows
// cannot loop.

#include <optional>
#include <vector>

struct ThreadRow
{
    int code;
    std::optional<int> parent; // none for a NULL Parent
};

class ThreadBuilder
{
public:
    struct Entry
    {
        int row; // index into the rows given
        int parent; // index into the entries, -1 for a thread root
    };

    static std::vector<Entry> build(const std::vector<ThreadRow> &rows);
};
