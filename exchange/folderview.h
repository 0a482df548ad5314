#pragma once
// The main window's message tree as the runs see it: they keep it in step after
// they move or add a message, choosing by the folder it shows.

class FolderView
{
public:
    virtual ~FolderView() = default;

    // The folder shown: 0 Inbox, 1 Outbox, 2 Drafts, 3 Deleted messages; -1 none.
    virtual int currentFolder() const = 0;
    // Adds a node for the message below the node of parentCode (0 or a code
    // not in the tree: at the top level).
    virtual void addArticleNode(int code, int parentCode) = 0;
    virtual void deleteArticleNode(int code) = 0;
    // Expands the node of the message by one level; nothing when it has none.
    virtual void expandArticleNode(int code) { (void)code; }
};
