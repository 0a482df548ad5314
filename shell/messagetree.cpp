#include "shell/messagetree.h"

#include "shell/articleitem.h"
#include "messagelist/sentdate.h"
#include "messagelist/folderorder.h"
#include "shell/unreadmark.h"
#include "store/rowset.h"
#include "transport/displaytext.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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
}

ArticleItem *MessageTree::AddArticleNode(ArticleItem *parent, const RowSet &query)
{
    TItemRec rec;
    rec.Code = query.asInt(QStringLiteral("Code"));
    rec.IsRead = query.asBool(QStringLiteral("IsRead"));
    auto *node = new ArticleItem(rec);
    node->setText(ArticleItem::SubjectColumn, DisplayText::header(query.value(QStringLiteral("Subject"))));
    QDate date;
    QTime time;
    if (SentDate::fromStored(query.value(QStringLiteral("SentDate")), date, time))
        node->setSent(date, time);
    node->setText(ArticleItem::FromColumn, DisplayText::header(query.value(QStringLiteral("From"))));
    node->setText(ArticleItem::SourceColumn, query.asString(QStringLiteral("Source")));
    place(node, parent);
    UnreadMark::attached(node);
    UnreadMark::SetUnreadMark(node, !rec.IsRead);
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
    delete node; // takes the subtree and the records with it
    // The bold of the nodes above follows what is left below them.
    UnreadMark::refreshUpFrom(parent);
}

ArticleItem *MessageTree::FindArticleNode(int code) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        ArticleItem *node = ArticleItem::from(*it);
        if (node && node->rec().Code == code)
            return node;
    }
    return nullptr;
}

void MessageTree::LoadFlatList(RowSet &query)
{
    for (query.first(); !query.eof(); query.next())
        AddArticleNode(nullptr, query);
}

void MessageTree::LoadThread(RowSet &query)
{
    const std::vector<ThreadBuilder::Entry> entries = FolderOrder::read(query, true);
    std::vector<ArticleItem *> nodes(entries.size(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        query.setRow(entries[i].row);
        nodes[i] = AddArticleNode(entries[i].parent < 0 ? nullptr : nodes[entries[i].parent], query);
    }
}

void MessageTree::clear()
{
    qDeleteAll(m_pendingTop);
    m_pendingTop.clear();
    m_tree->clear();
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
}
