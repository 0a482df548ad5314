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
//
// The Inbox threads are made as they are shown: the load makes the questions'
// nodes only, with an expand arrow where answers are below; the answers of a
// node are read from the store and made when it is expanded, when one of them
// is looked for by code, when a node is added below it, or when its children
// are asked for (makeChildren). They come in the order a sort of the whole
// tree would have given them.

#include <QHash>
#include <QObject>
#include <QSet>
#include <array>
#include <memory>
#include <vector>

class ArticleItem;
class FolderThreads;
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
    ~MessageTree() override;

    QTreeWidget *widget() const { return m_tree; }

    // Adds a node for the row the query stands on (Subject, Code, IsRead,
    // SentDate, From, Source) below the parent, or at the top level.
    ArticleItem *AddArticleNode(ArticleItem *parent, const RowSet &query);
    // Removes the first node in display order whose record has the code, with
    // everything below it; nothing when there is none.
    void DeleteArticleNode(int code);
    // The first node in display order whose record has the code, collapsed
    // threads included (their nodes are made on the way); null when there is none.
    ArticleItem *FindArticleNode(int code);

    // Every row of the open folder query as a top-level node.
    void LoadFlatList(RowSet &query);
    // The Inbox threads: rows with Parent 0 as roots, each other row below the
    // node of the row its Parent names; rows reached by no such chain left out.
    // The query gives Code, Parent and IsRead of every row and the shown
    // columns of the roots; `answers` (its folder set, a Parent parameter)
    // gives the shown columns of a node's answers when they are made, and must
    // stay until the tree is cleared.
    void LoadThread(RowSet &query, RowSet &answers);
    // Makes the nodes of the answers below the node, if not made yet.
    void makeChildren(ArticleItem *node);
    // Makes every node of the folder (a walk through all of them follows).
    void makeAllNodes();

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
    // Ties a node made for a thread entry to it, with its marks.
    void adopt(ArticleItem *node, int entry);
    void readChildren(int parentEntry, std::vector<std::unique_ptr<ArticleItem>> &made);
    void forgetSubtree(ArticleItem *node);
    ArticleItem *makePath(int entry);
    // The order a stable sort by each column sorted by, oldest first, gives.
    bool sortsBefore(const ArticleItem &a, const ArticleItem &b) const;
    void place(ArticleItem *node, ArticleItem *parent);
    void insertSorted(ArticleItem *node, ArticleItem *parent);
    bool descending() const;

    QTreeWidget *m_tree;
    int m_sortColumn = 1;
    std::array<Direction, 4> m_directions{Direction::None, Direction::Ascending, Direction::None, Direction::None};
    bool m_updating = false;
    // Top-level nodes of a batch, handed to the tree in one go when it ends.
    QList<QTreeWidgetItem *> m_pendingTop;
    // The loaded Inbox threads; none for a flat folder.
    std::unique_ptr<FolderThreads> m_threads;
    RowSet *m_answers = nullptr;
    // Codes of the nodes added after the load, with how often each is shown.
    QHash<int, int> m_addedCodes;
    // The sorts since the load, latest first, one per column.
    std::vector<std::pair<int, Direction>> m_sortHistory;
};
