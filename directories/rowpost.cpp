#include "directories/rowpost.h"

#include "store/rowset.h"
#include "store/storeconnection.h"
#include "store/storeerror.h"
#include "widgets/errorbox.h"

namespace {

const QString kSavepoint = QStringLiteral("rowpost");

// Undoing and releasing may fail when the engine already ended the whole
// transaction by itself (a full disk); then there is nothing left to undo.
void quietly(StoreConnection &connection, const QString &statement)
{
    try {
        connection.execDirect(statement);
    } catch (const StoreError &) {}
}

} // namespace

RowPostResult postRow(StoreConnection &connection, RowSet &row)
{
    RowPostResult result;
    try {
        connection.execDirect(QStringLiteral("SAVEPOINT ") + kSavepoint);
    } catch (...) {
        result.error = ErrorBox::messageOf(std::current_exception());
        return result;
    }
    try {
        row.post();
        result.stored = true;
    } catch (...) {
        result.error = ErrorBox::messageOf(std::current_exception());
        // The row set leaves insert or edit mode only once the row is stored.
        result.stored = row.state() == RowSet::State::Browse;
    }
    if (!result.stored)
        quietly(connection, QStringLiteral("ROLLBACK TO ") + kSavepoint);
    quietly(connection, QStringLiteral("RELEASE ") + kSavepoint);
    return result;
}
