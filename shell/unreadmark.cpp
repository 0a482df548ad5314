#include "shell/unreadmark.h"

#include "shell/articleitem.h"

bool UnreadMark::HasUnread(const ArticleItem *node)
{
    return node && node->unreadBelow() > 0;
}

void UnreadMark::SetUnreadMark(ArticleItem *node, bool unread)
{
    // Iterative form of the walk up, which recursion would take one frame per level.
    while (node) {
        if (!unread && HasUnread(node))
            return;
        node->setBold(unread);
        ArticleItem *parent = node->parentNode();
        if (!parent || !parent->rec().IsRead)
            return;
        node = parent;
    }
}

void UnreadMark::attached(ArticleItem *node)
{
    const int count = node->unreadBelow();
    if (count == 0)
        return;
    for (ArticleItem *up = node->parentNode(); up; up = up->parentNode())
        up->addUnreadBelow(count);
}

void UnreadMark::detaching(ArticleItem *node)
{
    const int count = node->unreadBelow();
    if (count == 0)
        return;
    for (ArticleItem *up = node->parentNode(); up; up = up->parentNode())
        up->addUnreadBelow(-count);
}

void UnreadMark::refreshUpFrom(ArticleItem *node)
{
    for (; node; node = node->parentNode())
        node->setBold(HasUnread(node));
}

void UnreadMark::markRead(ArticleItem *node)
{
    if (node->rec().IsRead)
        return;
    node->rec().IsRead = true;
    for (ArticleItem *up = node; up; up = up->parentNode())
        up->addUnreadBelow(-1);
    SetUnreadMark(node, false);
}
