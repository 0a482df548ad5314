#pragma once
// Storing a row together with whatever its row rules write before it (the
// account rules clear every other default mark first), as one unit inside the
// long transaction: when the store refuses the row, the statements of its
// rules are undone too, so that a refused account does not cost the previous
// default account its mark.
//
// Never throws. When the row was not stored it is still in insert or edit
// mode and the caller decides (the dialogs cancel it). A failure after the row
// was stored (a rule that runs afterwards) keeps the row and is reported with
// stored set.

#include <QString>

class RowSet;
class StoreConnection;

struct RowPostResult
{
    bool stored = false;
    QString error; // empty when nothing failed
};

RowPostResult postRow(StoreConnection &connection, RowSet &row);
