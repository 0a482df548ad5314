#include "shell/messagetree.h"

#include "shell/articleitem.h"
#include "shell/folderthreads.h"
#include "shell/unhandlederror.h"
#include "messagelist/sentdate.h"
#include "messagelist/folderorder.h"
#include "shell/unreadmark.h"
#include "store/jetsql.h"
#include "store/rowset.h"
#include "transport/displaytext.h"

#include <QHeaderView>
#include <QSet>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <memory>

MessageTree::MessageTree(QWidget *parent)
    : QObject(parent)
    , m_tree(new QTreeWidget(parent))
{
    setObjectName(QStringLiteral("treeMessageLogic"));
    m_tree->setObjectName(QStringLiteral("treeMessage"));
    m_tree->setAccessibleName(QStringLiteral("Messages"));
    m_tree->setColumnCount(ArticleItem::ColumnCount);
    m_tree->setHeaderLabels(
        {QStringLiteral("Subject"), QStringLiteral("Sent"), QStringLiteral("From"), QStringLiteral("Source")});
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setUniformRowHeights(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setItemsExpandable(true);
    m_tree->setExpandsOnDoubleClick(true);
    m_tree->setSortingEnabled(false);
    m_tree->setAllColumnsShowFocus(true);

    QHeaderView *header = m_tree->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setMaximumSectionSize(10000);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int widths[] = {250, 110, 150, 120};
    for (int column = 0; column < ArticleItem::ColumnCount; ++column)
        header->resizeSection(column, widths[column]);
    // 110 pixels held a date and time in the small font the layout was drawn
    // for; with the desktop's font and the user's formats the column gets the
    // room a long date and time takes, so the time is not cut off.
    const QString longest = SentDate::format(QDate(2000, 12, 28), QTime(23, 58, 58));
    QFont bold = m_tree->font();
    bold.setBold(true); // unread rows are bold
    const int needed = QFontMetrics(bold).horizontalAdvance(longest)
        + 2 * m_tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_tree) + 8;
    header->resizeSection(ArticleItem::SentColumn, qMax(widths[ArticleItem::SentColumn], needed));
    header->setSortIndicatorShown(true);
    header->setSortIndicator(m_sortColumn, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, &MessageTree::headerClicked);

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (ArticleItem *node = selectedNode())
            emit nodeSelected(node);
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { emit nodeDoubleClicked(ArticleItem::from(item)); });
    // The answers are made when their thread is opened, by hand or by code.
    connect(m_tree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *item) { runCommand([&] { makeChildren(ArticleItem::from(item)); }); });
}

MessageTree::~MessageTree() = default;

namespace {

// Where the columns a node needs are in a row set, looked up once per folder.
struct NodeColumns
{
    explicit NodeColumns(const RowSet &query)
        : code(query.columnIndex(QStringLiteral("Code")))
        , isRead(query.columnIndex(QStringLiteral("IsRead")))
        , subject(query.columnIndex(QStringLiteral("Subject")))
        , sent(query.columnIndex(QStringLiteral("SentDate")))
        , from(query.columnIndex(QStringLiteral("From")))
        , source(query.columnIndex(QStringLiteral("Source")))
    {}
    int code, isRead, subject, sent, from, source;
};

// One copy of each text among the nodes of a folder: authors, groups and the
// subjects of a thread repeat, and a shared text is stored once.
class TextPool
{
public:
    QString operator()(const QString &text)
    {
        const auto found = m_texts.constFind(text);
        if (found != m_texts.constEnd())
            return *found;
        m_texts.insert(text);
        return text;
    }

private:
    QSet<QString> m_texts;
};

std::unique_ptr<ArticleItem> makeNode(const RowSet &query, const NodeColumns &columns, TextPool &pool)
{
    TItemRec rec;
    rec.Code = JetSql::toInt(query.value(columns.code));
    rec.IsRead = JetSql::toBool(query.value(columns.isRead));
    auto node = std::make_unique<ArticleItem>(rec);
    QDate date;
    QTime time;
    if (SentDate::fromStored(query.value(columns.sent), date, time))
        node->setSent(date, time);
    node->setTexts(pool(DisplayText::header(query.value(columns.subject))),
                   pool(DisplayText::header(query.value(columns.from))),
                   pool(JetSql::toText(query.value(columns.source))));
    return node;
}

} // namespace

ArticleItem *MessageTree::AddArticleNode(ArticleItem *parent, const RowSet &query)
{
    TextPool pool;
    // Among siblings that are all there, so that it takes its sorted place.
    makeChildren(parent);
    ArticleItem *node = attach(makeNode(query, NodeColumns(query), pool).release(), parent);
    ++m_addedCodes[node->rec().Code];
    return node;
}

ArticleItem *MessageTree::attach(ArticleItem *node, ArticleItem *parent)
{
    place(node, parent);
    UnreadMark::attached(node);
    UnreadMark::SetUnreadMark(node, !node->rec().IsRead);
    return node;
}

void MessageTree::place(ArticleItem *node, ArticleItem *parent)
{
    if (m_updating) {
        if (parent)
            parent->addChild(node);
        else
            m_pendingTop.append(node);
        return;
    }
    insertSorted(node, parent);
}

bool MessageTree::descending() const
{
    return m_directions[m_sortColumn] == Direction::Descending;
}

void MessageTree::insertSorted(ArticleItem *node, ArticleItem *parent)
{
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    auto sibling = [&](int i) { return ArticleItem::from(parent ? parent->child(i) : m_tree->topLevelItem(i)); };
    // After every sibling it does not sort before: equal keys keep no order.
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        const ArticleItem *other = sibling(mid);
        const bool before = other
            && (descending() ? ArticleItem::lessThan(*other, *node, m_sortColumn)
                             : ArticleItem::lessThan(*node, *other, m_sortColumn));
        if (before)
            high = mid;
        else
            low = mid + 1;
    }
    if (parent)
        parent->insertChild(low, node);
    else
        m_tree->insertTopLevelItem(low, node);
}

void MessageTree::DeleteArticleNode(int code)
{
    ArticleItem *node = FindArticleNode(code);
    if (!node)
        return;
    ArticleItem *parent = node->parentNode();
    UnreadMark::detaching(node);
    forgetSubtree(node);
    delete node; // takes the subtree and the records with it
    // The bold of the nodes above follows what is left below them.
    UnreadMark::refreshUpFrom(parent);
}

// The nodes below are about to go: their entries are gone, and with them
// every answer not made yet; added ones are counted out.
void MessageTree::forgetSubtree(ArticleItem *node)
{
    std::vector<QTreeWidgetItem *> stack{node};
    while (!stack.empty()) {
        QTreeWidgetItem *item = stack.back();
        stack.pop_back();
        if (ArticleItem *article = ArticleItem::from(item)) {
            if (m_threads && article->entry() >= 0) {
                m_threads->at(article->entry()).node = nullptr;
                m_threads->at(article->entry()).gone = true;
            } else if (auto added = m_addedCodes.find(article->rec().Code); added != m_addedCodes.end()) {
                if (--*added == 0)
                    m_addedCodes.erase(added);
            }
        }
        for (int i = 0; i < item->childCount(); ++i)
            stack.push_back(item->child(i));
    }
}

ArticleItem *MessageTree::FindArticleNode(int code)
{
    if (m_threads) {
        const int entry = m_threads->find(code);
        ArticleItem *made = entry >= 0 ? makePath(entry) : nullptr;
        // Unless a node added later shows the message too, this is the one.
        if (made && !m_addedCodes.contains(code))
            return made;
    }
    // Every node that has the code is made by now: the first in display order.
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        ArticleItem *node = ArticleItem::from(*it);
        if (node && node->rec().Code == code)
            return node;
    }
    return nullptr;
}

ArticleItem *MessageTree::makePath(int entry)
{
    std::vector<int> path;
    if (!m_threads->pathTo(entry, path))
        return nullptr;
    for (const int step : path) {
        makeChildren(m_threads->at(m_threads->at(step).parent).node);
        if (!m_threads->at(step).node)
            return nullptr; // the row has left the folder since the load
    }
    return m_threads->at(entry).node;
}

void MessageTree::LoadFlatList(RowSet &query)
{
    query.first();
    if (query.eof())
        return;
    const NodeColumns columns(query);
    TextPool pool;
    for (; !query.eof(); query.next())
        attach(makeNode(query, columns, pool).release(), nullptr);
}

void MessageTree::LoadThread(RowSet &query, RowSet &answers)
{
    query.first();
    if (query.eof())
        return;
    // One pass over the rows makes the questions' nodes and keeps of every
    // other row its code, parent and read mark; the threads are then put
    // together from the codes alone.
    const NodeColumns columns(query);
    const int parentColumn = query.columnIndex(QStringLiteral("Parent"));
    TextPool pool;
    std::vector<std::unique_ptr<ArticleItem>> questions;
    std::vector<ThreadRow> rows;
    std::vector<bool> read;
    for (; !query.eof(); query.next()) {
        const QVariant parent = query.value(parentColumn);
        rows.push_back({JetSql::toInt(query.value(columns.code)),
                        parent.isNull() ? std::nullopt : std::optional<int>(parent.toInt())});
        read.push_back(JetSql::toBool(query.value(columns.isRead)));
        questions.push_back(rows.back().parent == 0 ? makeNode(query, columns, pool) : nullptr);
    }
    const std::vector<ThreadBuilder::Entry> entries = FolderOrder::threads(rows);
    m_threads = std::make_unique<FolderThreads>(entries, rows, read);
    m_answers = &answers;
    for (int entry = 0; entry < m_threads->size() && m_threads->at(entry).parent < 0; ++entry) {
        ArticleItem *node = questions[size_t(entries[size_t(entry)].row)].release();
        adopt(node, entry);
        place(node, nullptr);
    }
    // What is left in `questions` hangs below no shown message and goes.
}

void MessageTree::adopt(ArticleItem *node, int entry)
{
    FolderThreads::Message &message = m_threads->at(entry);
    message.node = node;
    node->setEntry(entry);
    node->rec().IsRead = message.isRead;
    node->setUnreadBelow(message.unreadBelow);
    node->setBold(message.unreadBelow > 0);
    if (message.childCount > 0 && !message.childrenMade)
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void MessageTree::makeChildren(ArticleItem *node)
{
    if (!node || !m_threads || node->entry() < 0)
        return;
    const int entry = node->entry();
    if (m_threads->at(entry).childrenMade)
        return;
    std::vector<std::unique_ptr<ArticleItem>> made;
    readChildren(entry, made);
    FolderThreads::Message &message = m_threads->at(entry);
    message.childrenMade = true;
    QList<QTreeWidgetItem *> children;
    for (int child = message.firstChild; child >= 0 && child < message.firstChild + message.childCount; ++child) {
        FolderThreads::Message &answer = m_threads->at(child);
        std::unique_ptr<ArticleItem> &answerNode = made[size_t(child - message.firstChild)];
        if (answerNode) {
            adopt(answerNode.get(), child);
            children << answerNode.release();
        } else if (!answer.gone) {
            // Gone from the folder since the load: its unread go with it.
            answer.gone = true;
            for (ArticleItem *up = node; up; up = up->parentNode())
                up->addUnreadBelow(-answer.unreadBelow);
        }
    }
    std::stable_sort(children.begin(), children.end(), [this](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        return sortsBefore(*static_cast<ArticleItem *>(a), *static_cast<ArticleItem *>(b));
    });
    node->addChildren(children);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    UnreadMark::refreshUpFrom(node);
}

// The answers' rows, each read into a node at its place among them; a place
// stays empty when its row has left the folder.
void MessageTree::readChildren(int parentEntry, std::vector<std::unique_ptr<ArticleItem>> &made)
{
    const FolderThreads::Message &message = m_threads->at(parentEntry);
    made.resize(size_t(message.childCount));
    if (message.childCount == 0)
        return;
    QHash<int, int> places;
    places.reserve(message.childCount);
    for (int i = 0; i < message.childCount; ++i) {
        if (!m_threads->at(message.firstChild + i).gone)
            places.insert(m_threads->at(message.firstChild + i).code, i);
    }
    RowSet &query = *m_answers;
    query.close();
    query.setParam(QStringLiteral("Parent"), message.code);
    query.open();
    query.first();
    if (!query.eof()) {
        const NodeColumns columns(query);
        TextPool pool;
        for (; !query.eof(); query.next()) {
            // Rows stored since the load are shown by whoever stored them.
            const auto place = places.constFind(JetSql::toInt(query.value(columns.code)));
            if (place != places.constEnd())
                made[size_t(*place)] = makeNode(query, columns, pool);
        }
    }
    query.close();
}

void MessageTree::makeAllNodes()
{
    std::vector<QTreeWidgetItem *> stack;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        stack.push_back(m_tree->topLevelItem(i));
    while (!stack.empty()) {
        QTreeWidgetItem *item = stack.back();
        stack.pop_back();
        makeChildren(ArticleItem::from(item));
        for (int i = 0; i < item->childCount(); ++i)
            stack.push_back(item->child(i));
    }
}

bool MessageTree::sortsBefore(const ArticleItem &a, const ArticleItem &b) const
{
    for (const auto &[column, direction] : m_sortHistory) {
        if (ArticleItem::lessThan(a, b, column))
            return direction != Direction::Descending;
        if (ArticleItem::lessThan(b, a, column))
            return direction == Direction::Descending;
    }
    return false;
}

QSet<int> MessageTree::expandedCodes() const
{
    QSet<int> codes;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const ArticleItem *node = ArticleItem::from(*it);
        if (node && node->isExpanded())
            codes.insert(node->rec().Code);
    }
    return codes;
}

void MessageTree::expandCodes(const QSet<int> &codes)
{
    if (codes.isEmpty())
        return;
    // The threads' nodes are made first; then every node with such a code,
    // added ones too, is expanded (which makes its answers).
    if (m_threads) {
        for (const int code : codes) {
            const int entry = m_threads->find(code);
            if (entry >= 0)
                makePath(entry);
        }
    }
    QList<ArticleItem *> expand;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        ArticleItem *node = ArticleItem::from(*it);
        if (node && codes.contains(node->rec().Code))
            expand << node;
    }
    for (ArticleItem *node : expand) {
        makeChildren(node);
        node->setExpanded(true);
    }
}

void MessageTree::clear()
{
    qDeleteAll(m_pendingTop);
    m_pendingTop.clear();
    m_tree->clear();
    m_threads.reset();
    m_answers = nullptr;
    m_addedCodes.clear();
    m_sortHistory.clear();
}

void MessageTree::beginUpdate()
{
    if (m_updating)
        return;
    m_updating = true;
    m_tree->setUpdatesEnabled(false);
}

void MessageTree::endUpdate()
{
    if (!m_updating)
        return;
    m_updating = false;
    if (!m_pendingTop.isEmpty()) {
        m_tree->addTopLevelItems(m_pendingTop);
        m_pendingTop.clear();
    }
    sortAll();
    m_tree->setUpdatesEnabled(true);
}

ArticleItem *MessageTree::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    return selected.isEmpty() ? nullptr : ArticleItem::from(selected.first());
}

void MessageTree::headerClicked(int column)
{
    if (column < 0 || column >= ArticleItem::ColumnCount)
        return;
    m_sortColumn = column;
    Direction &direction = m_directions[column];
    direction = direction == Direction::Ascending ? Direction::Descending : Direction::Ascending;
    sortAll();
}

void MessageTree::sortAll()
{
    const Qt::SortOrder order = descending() ? Qt::DescendingOrder : Qt::AscendingOrder;
    // The nodes compare by the header's sort column, so it is set first.
    m_tree->header()->setSortIndicator(m_sortColumn, order);
    m_tree->sortItems(m_sortColumn, order);
    // Answers made later are put in the order this sort, after the ones
    // before it, would have given them.
    std::erase_if(m_sortHistory, [this](const auto &sort) { return sort.first == m_sortColumn; });
    m_sortHistory.insert(m_sortHistory.begin(), {m_sortColumn, m_directions[m_sortColumn]});
}
