#pragma once
// The message tree `treeMessage` and the operations other commands keep it in
// step with: AddArticleNode, DeleteArticleNode, FindArticleNode, the two ways a
// folder is loaded, and the sort state.
//
// Sorting: a sort column (initially "Sent") and a direction per column
// (initially ascending for "Sent", none for the others). Outside a batch a node
// goes straight into its sorted place among its siblings; inside one
// (beginUpdate/endUpdate, while a folder loads) nodes are appended, nothing is
// painted, and the whole tree is sorted once when the batch ends.

#include <QObject>
#include <QSet>
#include <array>

class ArticleItem;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class RowSet;

class MessageTree : public QObject
{
    Q_OBJECT
public:
    enum class Direction { None, Ascending, Descending };

    explicit MessageTree(QWidget *parent);

    QTreeWidget *widget() const { return m_tree; }

    // Adds a node for the row the query stands on (Subject, Code, IsRead,
    // SentDate, From, Source) below the parent, or at the top level.
    ArticleItem *AddArticleNode(ArticleItem *parent, const RowSet &query);
    // Removes the first node in display order whose record has the code, with
    // everything below it; nothing when there is none.
    void DeleteArticleNode(int code);
    // The first node in display order whose record has the code, collapsed
    // threads included; null when there is none.
    ArticleItem *FindArticleNode(int code) const;

    // Every row of the open folder query as a top-level node.
    void LoadFlatList(RowSet &query);
    // The Inbox threads: rows with Parent 0 as roots, each other row below the
    // node of the row its Parent names; rows reached by no such chain left out.
    void LoadThread(RowSet &query);

    void clear();
    // The codes of the expanded nodes, and expanding the nodes of such codes
    // (a thread keeps the look the user gave it when its folder comes back).
    QSet<int> expandedCodes() const;
    void expandCodes(const QSet<int> &codes);
    void beginUpdate();
    void endUpdate();
    bool inUpdate() const { return m_updating; }

    ArticleItem *selectedNode() const;

    int sortColumn() const { return m_sortColumn; }
    Direction direction(int column) const { return m_directions.at(column); }
    // A header click: the column becomes the sort column, its direction turns
    // round (none becomes ascending) and the whole tree is sorted.
    void headerClicked(int column);
    void sortAll();

signals:
    // A node became the selected one (not merely current).
    void nodeSelected(ArticleItem *node);
    void nodeDoubleClicked(ArticleItem *node);

private:
    // Puts a new node below the parent (or at the top level) and marks it.
    ArticleItem *attach(ArticleItem *node, ArticleItem *parent);
    void place(ArticleItem *node, ArticleItem *parent);
    void insertSorted(ArticleItem *node, ArticleItem *parent);
    bool descending() const;

    QTreeWidget *m_tree;
    int m_sortColumn = 1;
    std::array<Direction, 4> m_directions{Direction::None, Direction::Ascending, Direction::None, Direction::None};
    bool m_updating = false;
    // Top-level nodes of a batch, handed to the tree in one go when it ends.
    QList<QTreeWidgetItem *> m_pendingTop;
};
