#pragma once
// The order in which a folder's rows are shown, read from the folder query:
// as threads (the Inbox) or flat, one entry per shown row. The main window's
// tree and quorbic-cli's listing both walk it, so they show the same order.

#include "messagelist/threadbuilder.h"

#include <vector>

class RowSet;

namespace FolderOrder {

// Reads Code and Parent of every row of the query; with threads, builds the
// threads as ThreadBuilder says, else every row is a root in row order.
std::vector<ThreadBuilder::Entry> read(RowSet &query, bool threads);

} // namespace FolderOrder
