#pragma once
// The virtual list of the Newsgroups dialog: it holds only a row count; row i
// shows row i of the filtered group list, its `GroupName` and the pencil while
// `Subscribed` is true, and, where the store keeps descriptions, the group's
// `Description` in a second column, read from the row set when the row is
// drawn. With 100,000 groups nothing but the drawn rows is ever read.

#include <QAbstractTableModel>
#include <QString>

class RowSet;

class NewsgroupListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // described: the row set has a Description column to show.
    NewsgroupListModel(RowSet &groups, bool described, QObject *parent = nullptr);

    // Takes the row count of the row set once it has been opened again, and
    // lets every row be drawn afresh (an empty result clears the list).
    void beginRefill();
    void endRefill();

    // How many rows were read from the row set so far (each drawn row once
    // while it stays on screen).
    qint64 rowsRead() const { return m_rowsRead; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // Reads one row into the one-row cache: a drawn row asks for its text and
    // its mark separately.
    void fetch(int row) const;

    RowSet &m_groups;
    bool m_described = false;
    int m_count = 0;
    mutable int m_cachedRow = -1;
    mutable QString m_cachedName;
    mutable QString m_cachedDescription;
    mutable bool m_cachedSubscribed = false;
    mutable qint64 m_rowsRead = 0;
};
