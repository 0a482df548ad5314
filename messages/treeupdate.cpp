#include "messages/treeupdate.h"

#include "exchange/folderview.h"

namespace TreeUpdate {

namespace {

enum Folder { Inbox = 0, Outbox = 1, Drafts = 2, DeletedMessages = 3 };

// The folder that now holds the message gets it back at the top level; any
// other folder but the Inbox loses it. The Inbox never showed it.
void update(FolderView &view, int code, int holdingFolder)
{
    const int shown = view.currentFolder();
    if (shown < Outbox || shown > DeletedMessages)
        return;
    view.deleteArticleNode(code);
    if (shown == holdingFolder)
        view.addArticleNode(code, 0);
}

} // namespace

void afterSave(FolderView &view, int code)
{
    update(view, code, Drafts);
}

void afterPost(FolderView &view, int code)
{
    update(view, code, Outbox);
}

} // namespace TreeUpdate
