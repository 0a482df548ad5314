#pragma once
// The virtual group list of the category manager: the column "Newsgroup",
// row i showing the `GroupName` of row i of the filtered group list, read only
// when the row is drawn, with the pencil mark while the group belongs to the
// current category; where the store keeps descriptions, a second column
// "Description". The row count is set explicitly, as the list shows the
// filtered group list only when the manager says so.

#include <QAbstractTableModel>

class CategoryGroups;

class GroupListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role { MarkedRole = Qt::UserRole + 1 };

    explicit GroupListModel(CategoryGroups &groups, QObject *parent = nullptr);

    void setRowCountTo(int count);
    // Redraws the rows whose mark may have changed.
    void marksChanged(const std::vector<int> &rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CategoryGroups &m_groups;
    int m_count = 0;
};
