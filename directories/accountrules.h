#pragma once
// The rules of the data module's account row set `qryAccount`, which hold
// whoever edits the rows (the account dialog, the first-use check):
// - a new row starts as the default account exactly when no account is stored;
// - a row stored as the default is the only default afterwards;
// - after every store, and after a removal, the editors' account list
//   `qryAccount1` is read again, so their choosers list the accounts as they
//   are, in name order;
// - after every store `qryAccount` itself is read again, with the stored row
//   current: the clearing of the other marks happened in the store only, and a
//   row set still showing the old default ticked would hand it back its mark
//   when that account is next stored unchanged.
//
// install() puts the rules on the row set; it may be called more than once.

class RowSet;
class Tdm;

class AccountRules
{
public:
    static void install(Tdm &dm);

    static void qryAccountAfterInsert(RowSet &account);
    static void qryAccountBeforePost(Tdm &dm, RowSet &account);
    static void qryAccountAfterPost(Tdm &dm, RowSet &account);
    // For the one who removed an account row.
    static void afterRemove(Tdm &dm);
};
