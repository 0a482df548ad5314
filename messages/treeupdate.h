#pragma once
// Keeping the main window's tree in step once an editor stored its message,
// which is then in Drafts (Save) or in the Outbox (Post), by the folder the
// tree shows. The message's node, if shown, is replaced by a top-level node
// where the folder holds the message, and removed where it does not.

class FolderView;

namespace TreeUpdate {

void afterSave(FolderView &view, int code);
void afterPost(FolderView &view, int code);

} // namespace TreeUpdate
