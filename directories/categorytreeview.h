#pragma once
// The view of the category tree in the manager and in the chooser: one node
// selected at a time, captions not editable, the open-folder image while a
// folder is expanded. Owns its CategoryTreeModel.

#include <QTreeView>

class CategoryTreeModel;

class CategoryTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit CategoryTreeView(QWidget *parent = nullptr);

    CategoryTreeModel &tree() const { return *m_tree; }

    // The one selected node; invalid when none is.
    QModelIndex selectedNode() const;
    // Makes the node the selected (and current) node; an invalid index clears
    // the selection.
    void selectNode(const QModelIndex &node);
    // After loading: the root expanded one level, deeper folders collapsed.
    void expandRootOneLevel();

Q_SIGNALS:
    // Whenever a node becomes the selected node, or none is selected any more.
    void selectedNodeChanged(const QModelIndex &node);

private:
    CategoryTreeModel *m_tree;
};
