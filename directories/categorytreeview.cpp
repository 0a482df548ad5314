#include "directories/categorytreeview.h"

#include "directories/categorytreemodel.h"

#include <QHeaderView>

CategoryTreeView::CategoryTreeView(QWidget *parent)
    : QTreeView(parent)
    , m_tree(new CategoryTreeModel(this))
{
    setModel(m_tree);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    connect(this, &QTreeView::expanded, m_tree, [this](const QModelIndex &node) { m_tree->setExpanded(node, true); });
    connect(this, &QTreeView::collapsed, m_tree, [this](const QModelIndex &node) { m_tree->setExpanded(node, false); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectedNodeChanged(selectedNode()); });
}

QModelIndex CategoryTreeView::selectedNode() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void CategoryTreeView::selectNode(const QModelIndex &node)
{
    if (!node.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(node);
}

void CategoryTreeView::expandRootOneLevel()
{
    const QModelIndex root = m_tree->rootIndex();
    if (root.isValid())
        expand(root);
}
