#pragma once
// The order in which a folder's rows are shown, read from the folder query:
// as threads (the Inbox) or flat, one entry per shown row. The main window's
// tree and quorbic-cli's listing both walk it, so they show the same order.

#include "messagelist/threadbuilder.h"

#include <functional>
#include <vector>

class RowSet;

namespace FolderOrder {

// Walks the query once, from its first row to its last, reading Code and
// Parent; eachRow, when given, runs on every row while the query stands on it
// (the caller reads the rest of the row then: a forward-only query is read no
// other way). With threads, builds the threads as ThreadBuilder says, else
// every row is a root in row order. Entries name rows by their place in the walk.
std::vector<ThreadBuilder::Entry> read(RowSet &query, bool threads, const std::function<void()> &eachRow = {});

// The threads of rows in any order (a scan of the table in its own order
// reads each page once): the same entries as rows ordered by Parent, and
// within one Parent by Code, would give, naming rows by their place here.
std::vector<ThreadBuilder::Entry> threads(const std::vector<ThreadRow> &rows);

} // namespace FolderOrder
