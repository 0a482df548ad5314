#include "directories/rowsetcolumnmodel.h"

#include "store/rowset.h"

RowSetColumnModel::RowSetColumnModel(RowSet &rows, QString column, QString title, QObject *parent)
    : QAbstractListModel(parent)
    , m_rows(rows)
    , m_column(std::move(column))
    , m_title(std::move(title))
{}

void RowSetColumnModel::reload()
{
    QStringList values;
    if (m_rows.isOpen() && m_rows.state() == RowSet::State::Browse) {
        const int current = m_rows.row();
        for (int i = 0; i < m_rows.rowCount(); ++i) {
            m_rows.setRow(i);
            values << m_rows.asString(m_column);
        }
        if (current >= 0)
            m_rows.setRow(current);
    }
    beginResetModel();
    m_values = values;
    endResetModel();
}

int RowSetColumnModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_values.size());
}

QVariant RowSetColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_values.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_values.at(index.row());
    return {};
}

QVariant RowSetColumnModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_title;
    return {};
}
