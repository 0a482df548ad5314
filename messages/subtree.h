#pragma once
// The order in which a message and everything threaded below it are moved to
// Deleted messages or deleted for good: each child completely, first to last,
// deepest rows first, and the message itself last, so that a failure half way
// never leaves an answer whose question is already gone from its folder.

#include <QList>
#include <functional>

namespace Subtree {

// The codes of the message's subtree in that order; children(code) gives the
// codes of a message's child nodes in display order.
QList<int> deepestFirst(int code, const std::function<QList<int>(int)> &children);

} // namespace Subtree
