#pragma once
// The category tree in memory, shared by the category manager and the
// category chooser: the root "All" (node code 0, no row) above the rows of
// `Categories`. Under each parent the folders come first, then the
// categories, each run in name order, as the category row set delivers them;
// a node added later goes to the end of its parent's children and takes its
// sorted place only when the tree is loaded again.
//
// A node's kind is read back from its image: the category image means a
// category, the closed-folder image a folder; the root has no parent. The
// open-folder image is only shown while a folder is expanded (setExpanded).
//
// Every node that leaves the tree, alone or with clear(), is first reported to
// nodeDeletion, bottom-up: each node after all nodes below it. When the hook
// throws, the tree is left as it was.

#include <QAbstractItemModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class RowSet;

struct CategoryRow
{
    int code = 0;
    int parent = 0;
    bool kind = false; // true: an expert category; false: a folder
    QString name;
};

class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum class Kind { Root, Folder, Category };
    enum Role { CodeRole = Qt::UserRole + 1, ImageRole };

    explicit CategoryTreeModel(QObject *parent = nullptr);
    ~CategoryTreeModel() override;

    // Reopens the category row set ("SELECT * FROM categories ORDER BY
    // Parent, Kind desc, Name") and loads the tree from it; the row set is left
    // on its first row. Views expand the root one level themselves.
    void BuildCategoryTree(RowSet &tbCategory);
    // Replaces all nodes by the root and its descendants, from rows in the
    // row set's order.
    void build(const std::vector<CategoryRow> &rows);
    // Removes every node (each reported to nodeDeletion).
    void clear();

    std::function<void(int code)> nodeDeletion;

    QModelIndex rootIndex() const;
    int nodeCode(const QModelIndex &index) const;
    Kind kind(const QModelIndex &index) const;
    QString caption(const QModelIndex &index) const;
    // "\" and the caption of each node from "All" down to the node, joined.
    QString pathText(const QModelIndex &index) const;
    static QString pathText(const QStringList &captionsFromRoot);
    // The first node in pre-order carrying the code; invalid when none does.
    QModelIndex findCode(int code) const;

    // Adds a node at the end of the parent's children.
    QModelIndex addChild(const QModelIndex &parent, int code, bool isCategory, const QString &caption);
    void setCaption(const QModelIndex &index, const QString &caption);
    // Shows the open-folder image of a folder while it is expanded.
    void setExpanded(const QModelIndex &index, bool expanded);
    // Removes the node with its sub-tree.
    void removeNode(const QModelIndex &index);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Node;
    Node *node(const QModelIndex &index) const;
    QModelIndex indexOf(const Node *node) const;
    void AddChildNodes(Node *node, const std::vector<CategoryRow> &rows);
    void reportDeletion(const Node *node) const;

    std::unique_ptr<Node> m_root;
};
