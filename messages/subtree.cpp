#include "messages/subtree.h"

namespace Subtree {

namespace {

void collect(int code, const std::function<QList<int>(int)> &children, QList<int> &order)
{
    for (int child : children(code))
        collect(child, children, order);
    order << code;
}

} // namespace

QList<int> deepestFirst(int code, const std::function<QList<int>(int)> &children)
{
    QList<int> order;
    collect(code, children, order);
    return order;
}

} // namespace Subtree
