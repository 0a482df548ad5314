#include "messages/treeupdate.h"
#include "store/folders.h"

#include "exchange/folderview.h"

namespace TreeUpdate {

namespace {

// The folder that now holds the message gets it back at the top level; any
// other folder but the Inbox loses it. The Inbox never showed it.
void update(FolderView &view, int code, int holdingFolder)
{
    const int shown = view.currentFolder();
    if (shown < folderCode(Folder::Outbox) || !isFolderCode(shown))
        return;
    view.deleteArticleNode(code);
    if (shown == holdingFolder)
        view.addArticleNode(code, 0);
}

} // namespace

void afterSave(FolderView &view, int code)
{
    update(view, code, folderCode(Folder::Drafts));
}

void afterPost(FolderView &view, int code)
{
    update(view, code, folderCode(Folder::Outbox));
}

} // namespace TreeUpdate
