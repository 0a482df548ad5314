#include "directories/categoryremoval.h"

#include "directories/categorytreemodel.h"
#include "store/categoryposting.h"
#include "store/columns.h"
#include "store/rowset.h"
#include "store/storeconnection.h"
#include "store/storeerror.h"

namespace {

const QString kSavepoint = QStringLiteral("categoryremoval");

// Undoing may find nothing left to undo when the engine already ended the
// whole transaction by itself (a full disk).
void quietly(StoreConnection &connection, const QString &statement)
{
    try {
        connection.execDirect(statement);
    } catch (const StoreError &) {}
}

} // namespace

CategoryRemoval::CategoryRemoval(StoreConnection &connection, RowSet &tbCategory)
    : m_connection(connection)
    , m_tbCategory(tbCategory)
    , m_qrydelCateg(connection, QStringLiteral("DELETE from groupcategory WHERE Category=:Cat"))
{}

void CategoryRemoval::treeCategoryItemDeletion(int code)
{
    if (!m_storeDelete)
        return;
    // The root has no row and deletes nothing.
    if (!m_tbCategory.locate(Column::Code, code))
        return;
    m_tbCategory.remove();
    m_qrydelCateg.bind(QStringLiteral("Cat"), code);
    m_qrydelCateg.exec();
    CategoryPosting(m_connection).forget(code);
}

void CategoryRemoval::remove(CategoryTreeModel &tree, const QModelIndex &node)
{
    struct SwitchOn
    {
        bool &on;
        explicit SwitchOn(bool &flag)
            : on(flag)
        {
            on = true;
        }
        ~SwitchOn() { on = false; }
    } storeDelete(m_storeDelete);

    m_connection.execDirect(QStringLiteral("SAVEPOINT ") + kSavepoint);
    try {
        tree.removeNode(node);
    } catch (...) {
        quietly(m_connection, QStringLiteral("ROLLBACK TO ") + kSavepoint);
        quietly(m_connection, QStringLiteral("RELEASE ") + kSavepoint);
        // The row set dropped the rows it deleted; read it again as the store
        // now is, which the tree still shows.
        try {
            m_tbCategory.reopen();
        } catch (const StoreError &) {}
        throw;
    }
    m_connection.execDirect(QStringLiteral("RELEASE ") + kSavepoint);
}
