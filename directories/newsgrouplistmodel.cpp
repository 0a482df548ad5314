#include "directories/newsgrouplistmodel.h"

#include "directories/categoryimages.h"
#include "store/columns.h"
#include "store/rowset.h"

#include <QIcon>

NewsgroupListModel::NewsgroupListModel(RowSet &groups, bool described, QObject *parent)
    : QAbstractTableModel(parent)
    , m_groups(groups)
    , m_described(described)
{}

void NewsgroupListModel::beginRefill()
{
    beginResetModel();
}

void NewsgroupListModel::endRefill()
{
    m_count = m_groups.isOpen() ? m_groups.rowCount() : 0;
    m_cachedRow = -1;
    endResetModel();
}

int NewsgroupListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int NewsgroupListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_described ? 2 : 1);
}

void NewsgroupListModel::fetch(int row) const
{
    if (row == m_cachedRow)
        return;
    m_groups.setRow(row);
    m_cachedName = m_groups.asString(Column::GroupName);
    m_cachedSubscribed = m_groups.asBool(QStringLiteral("Subscribed"));
    if (m_described)
        m_cachedDescription = m_groups.asString(QStringLiteral("Description"));
    m_cachedRow = row;
    ++m_rowsRead;
}

QVariant NewsgroupListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    if (role != Qt::DisplayRole && role != Qt::DecorationRole)
        return {};
    if (!m_groups.isOpen() || index.row() >= m_groups.rowCount())
        return {};
    fetch(index.row());
    if (index.column() == 1)
        return role == Qt::DisplayRole ? QVariant(m_cachedDescription) : QVariant();
    if (role == Qt::DisplayRole)
        return m_cachedName;
    return m_cachedSubscribed ? CategoryImages::pencil() : CategoryImages::noMark();
}

QVariant NewsgroupListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("Newsgroup");
    if (orientation == Qt::Horizontal && section == 1 && role == Qt::DisplayRole)
        return QStringLiteral("Description");
    return {};
}
