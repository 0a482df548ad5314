#pragma once
// The Inbox threads as the folder query gave them, for a tree that makes a
// node only when it is to be shown. Every message of the folder has an entry:
// its code, its place (the entry of its parent, the run of entries of its
// answers), its read mark as loaded, the unread messages at and below it, and
// its node once that is made. The questions' nodes are made at once; the
// answers below a node are made together when the node is expanded or looked
// for, and each then takes its unread count from here, so the bold marks are
// right before a thread was ever opened.
//
// An entry whose node was deleted is gone: nothing below it is made any more.

#include "messagelist/threadbuilder.h"

#include <QHash>
#include <vector>

class ArticleItem;

class FolderThreads
{
public:
    struct Message
    {
        int code = 0;
        int parent = -1; // entry of the parent, -1 for a question
        int firstChild = -1; // first entry of its answers, which follow each other
        int childCount = 0;
        int unreadBelow = 0; // its own unread mark included
        ArticleItem *node = nullptr;
        bool isRead = true;
        bool gone = false;
        bool childrenMade = false;
    };

    // The entries of the thread order, and the rows with each one's read mark.
    FolderThreads(const std::vector<ThreadBuilder::Entry> &entries, const std::vector<ThreadRow> &rows,
                  const std::vector<bool> &read);

    int size() const { return int(m_messages.size()); }
    Message &at(int entry) { return m_messages[size_t(entry)]; }
    const Message &at(int entry) const { return m_messages[size_t(entry)]; }

    // The entry of the message with the code, -1 when the folder had none.
    // The index by code is made when first asked for: start-up never needs it.
    int find(int code);

    // The entries from the one below the nearest made node down to this one,
    // top first; empty when the entry's node is made, and false when a gone
    // entry lies on the way.
    bool pathTo(int entry, std::vector<int> &path) const;

private:
    std::vector<Message> m_messages;
    QHash<int, int> m_byCode;
};
