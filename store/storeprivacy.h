#pragma once
// The store holds the news server and proxy passwords, so it must be readable
// by its owner alone. New stores are made that way; an older one that others
// can read is reported by whoever opens it (a box, a line on standard error),
// and its mode is changed only when the user agrees.

#include <QString>

class StoreConnection;

namespace StorePrivacy {

// True when a user other than the file's owner may read it (group or others).
bool othersCanRead(const QString &fileName);
// True when a row of Servers holds a news server or proxy password.
bool holdsPassword(StoreConnection &connection);
// True when the open store at fileName holds a password that others can read.
bool exposed(const QString &fileName, StoreConnection &connection);
// Gives the store and its -wal and -shm files (where they exist) mode 0600.
// False when one of them could not be changed.
bool makePrivate(const QString &fileName);

} // namespace StorePrivacy
