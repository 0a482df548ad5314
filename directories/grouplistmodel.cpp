#include "directories/grouplistmodel.h"

#include "directories/categorygroups.h"
#include "directories/categoryimages.h"

#include <QIcon>

GroupListModel::GroupListModel(CategoryGroups &groups, QObject *parent)
    : QAbstractTableModel(parent)
    , m_groups(groups)
{}

void GroupListModel::setRowCountTo(int count)
{
    beginResetModel();
    m_count = count;
    endResetModel();
}

void GroupListModel::marksChanged(const std::vector<int> &rows)
{
    for (int row : rows) {
        if (row >= 0 && row < m_count)
            emit dataChanged(index(row, 0), index(row, 0),
                             {Qt::DecorationRole, Qt::AccessibleDescriptionRole, MarkedRole});
    }
}

int GroupListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int GroupListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_groups.qryNewsgroup().described() ? 2 : 1);
}

QVariant GroupListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    if (index.column() == 1)
        return role == Qt::DisplayRole ? QVariant(m_groups.groupDescription(index.row())) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_groups.groupName(index.row());
    case Qt::DecorationRole:
        return m_groups.isMarked(index.row()) ? CategoryImages::pencil() : CategoryImages::noMark();
    case Qt::AccessibleDescriptionRole:
        return m_groups.isMarked(index.row()) ? QStringLiteral("In the category") : QString();
    case MarkedRole:
        return m_groups.isMarked(index.row());
    default:
        return {};
    }
}

QVariant GroupListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("Newsgroup");
    if (orientation == Qt::Horizontal && section == 1 && role == Qt::DisplayRole)
        return QStringLiteral("Description");
    return {};
}
