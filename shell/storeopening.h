#pragma once
// Opening the store at start-up, before any window that needs it. A missing
// store is offered to be made (empty, as `quorbic-cli init` makes it, readable
// by the user alone); a file that is no store, or that cannot be opened, is
// reported. Either way the program ends rather than show a main window that
// cannot do anything.

#include <QString>

class QWidget;
class Tdm;

namespace StoreOpening {

// Opens dm's store (fileName is its file). False when the program is to end:
// the user declined to make a store, or a box has said why it cannot open.
bool open(Tdm &dm, const QString &fileName, QWidget *parent = nullptr);

} // namespace StoreOpening
