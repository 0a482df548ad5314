#include "widgets/outbar.h"

#include <QListWidget>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Room for the picture, two lines of caption and the margins around them.
QSize cellSize(const QSize &icon, const QFontMetrics &metrics, int width)
{
    return QSize(width, icon.height() + 2 * metrics.height() + 16);
}
} // namespace

OutBar::OutBar(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setMinimumWidth(60);
}

int OutBar::addGroup(const QString &caption)
{
    auto *header = new QToolButton(this);
    header->setText(caption);
    header->setToolButtonStyle(Qt::ToolButtonTextOnly);
    header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    header->setAutoRaise(false);
    header->setCheckable(true);

    auto *items = new QListWidget(this);
    items->setViewMode(QListView::IconMode);
    items->setFlow(QListView::TopToBottom);
    items->setWrapping(false);
    items->setMovement(QListView::Static);
    items->setResizeMode(QListView::Adjust);
    items->setSelectionMode(QAbstractItemView::SingleSelection);
    items->setEditTriggers(QAbstractItemView::NoEditTriggers);
    items->setDragEnabled(false);
    items->setWordWrap(true);
    items->setUniformItemSizes(true);
    items->setIconSize(m_iconSize);
    items->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    items->setAccessibleName(caption);
    items->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    const int group = int(m_groups.size());
    m_groups.push_back({header, items});
    m_layout->addWidget(header);
    m_layout->addWidget(items, 1);
    connect(header, &QToolButton::clicked, this, [this, group] { setOpenGroup(group); });
    // Driven by the selection, not the current row: a list that gets the
    // keyboard focus makes its first row current without selecting it.
    connect(items, &QListWidget::itemSelectionChanged, this, [this, items] { onSelectionChanged(items); });
    if (m_open < 0)
        setOpenGroup(group);
    else
        items->hide();
    return group;
}

int OutBar::addItem(int group, const QString &caption, const QIcon &icon)
{
    QListWidget *list = m_groups.at(group).items;
    auto *item = new QListWidgetItem(icon, caption);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Adding the first item must not select it: the owner decides when.
    const QSignalBlocker blocker(list);
    list->addItem(item);
    list->setCurrentRow(-1);
    layoutCells();
    return list->count() - 1;
}

int OutBar::itemCount(int group) const
{
    return m_groups.at(group).items->count();
}

QString OutBar::itemCaption(int group, int row) const
{
    const QListWidgetItem *item = m_groups.at(group).items->item(row);
    return item ? item->text() : QString();
}

void OutBar::setOpenGroup(int group)
{
    if (group < 0 || group >= groupCount())
        return;
    m_open = group;
    for (int i = 0; i < groupCount(); ++i) {
        m_groups[i].items->setVisible(i == group);
        m_groups[i].header->setChecked(i == group);
    }
    onSelectionChanged(m_groups[group].items);
}

int OutBar::currentIndex() const
{
    if (m_open < 0)
        return -1;
    const QListWidget *list = m_groups[m_open].items;
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void OutBar::setCurrentIndex(int row)
{
    if (m_open < 0)
        return;
    QListWidget *list = m_groups[m_open].items;
    if (row < 0 || row >= list->count()) {
        list->clearSelection();
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void OutBar::setIconSize(const QSize &size)
{
    m_iconSize = size;
    for (const Group &group : m_groups)
        group.items->setIconSize(size);
    layoutCells();
}

void OutBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutCells();
}

void OutBar::layoutCells()
{
    for (const Group &group : m_groups) {
        QListWidget *list = group.items;
        const int width = qMax(list->viewport()->width() - 2, m_iconSize.width() + 8);
        list->setGridSize(cellSize(m_iconSize, list->fontMetrics(), width));
    }
}

QSize OutBar::sizeHint() const
{
    return QSize(100, 300);
}

void OutBar::onSelectionChanged(QListWidget *list)
{
    if (m_open < 0 || m_groups[m_open].items != list)
        return;
    const int row = currentIndex();
    if (row == m_reported)
        return;
    m_reported = row;
    emit currentChanged(row);
}
