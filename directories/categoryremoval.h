#pragma once
// Removing a node of the category tree together with its store rows.
//
// The store-delete switch is off except while remove() runs; only then does a
// node leaving the tree (treeCategoryItemDeletion, which the manager installs
// as the tree's nodeDeletion hook) delete its `Categories` row and every
// `GroupCategory` row of its code. Clearing or reloading the tree therefore
// never deletes anything. The tree reports the nodes of a sub-tree bottom-up,
// so every node is deleted after all nodes below it.
//
// A sub-tree goes as one unit: when one deletion fails, the deletions made
// before it are undone, the tree keeps the node and the error is thrown. The
// newsgroups themselves stay in `Groups`; messages filed under a removed
// category keep its code.

#include "store/sqlcommand.h"

class CategoryTreeModel;
class QModelIndex;
class RowSet;
class StoreConnection;

class CategoryRemoval
{
public:
    CategoryRemoval(StoreConnection &connection, RowSet &tbCategory);

    bool storeDelete() const { return m_storeDelete; }

    void treeCategoryItemDeletion(int code);
    // Removes the node and everything below it; the switch is off afterwards
    // in every case.
    void remove(CategoryTreeModel &tree, const QModelIndex &node);

private:
    StoreConnection &m_connection;
    RowSet &m_tbCategory;
    SqlCommand m_qrydelCateg;
    bool m_storeDelete = false;
};
