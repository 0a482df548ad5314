#pragma once
// The bold mark of the message tree: a node is bold exactly when its message
// is unread or a message below it is. HasUnread and SetUnreadMark are the rules
// the tree is kept by; the counts each node holds make HasUnread a look-up
// instead of a walk through the subtree, and the functions below keep those
// counts in step as nodes join and leave the tree.

class ArticleItem;

class UnreadMark
{
public:
    // True when the node's record is unread or any node below it is.
    static bool HasUnread(const ArticleItem *node);

    // With unread true, or when nothing at or below the node is unread: makes
    // the node bold (or not) and walks up through read ancestors. An unread
    // ancestor stops the walk: it and all above it are bold already.
    static void SetUnreadMark(ArticleItem *node, bool unread);

    // The node, with its subtree, has just been put under its parent.
    static void attached(ArticleItem *node);
    // The node is about to be taken from its parent (or the top level).
    static void detaching(ArticleItem *node);
    // After a subtree left from below this node: each node from here up is
    // bold again exactly when something at or below it is unread.
    static void refreshUpFrom(ArticleItem *node);

    // The read timer's mark: the record becomes read and the marks follow.
    static void markRead(ArticleItem *node);
};
