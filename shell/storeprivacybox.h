#pragma once
// After the store opened: when it holds a password and other users can read
// it, a box names the file and offers to make it private. Yes changes its mode
// (and that of its -wal and -shm files); No leaves it, and the box comes again
// at the next start. The mode is never changed without the user's Yes.

class QWidget;
class Tdm;

namespace StorePrivacyBox {

void offer(QWidget *owner, Tdm &dm);

} // namespace StorePrivacyBox
