#pragma once
// The editors' account list: the data module's `qryAccount1`, all accounts in
// name order. Its current row is the account the chooser shows; the editors
// move it with these functions and read the sender from it.

class QString;
class RowSet;

namespace AccountList {

// Opens the list if it is closed (it normally is open).
void ensureOpen(RowSet &list);
// Moves to the account with the code; false (cursor unmoved) when none has it.
bool locate(RowSet &list, int code);
// Moves to the first account marked as the default, if any, and returns the
// code of the row the list then stands on; 0 when the list is empty.
int defaultAccount(RowSet &list);
// The sender of a message from the current row: UserName, " <", the e-mail
// address, ">" (an empty address gives " <>").
QString fromValue(const RowSet &list);

} // namespace AccountList
