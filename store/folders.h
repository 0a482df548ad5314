#pragma once
// The four folders a message can be in, as the Article table's Folder column
// and the folder bar number them.

enum class Folder { Inbox = 0, Outbox = 1, Drafts = 2, DeletedMessages = 3 };

constexpr int folderCode(Folder folder)
{
    return static_cast<int>(folder);
}

// Whether a stored or selected number names one of the folders.
constexpr bool isFolderCode(int code)
{
    return code >= folderCode(Folder::Inbox) && code <= folderCode(Folder::DeletedMessages);
}
