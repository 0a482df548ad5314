#pragma once
// A read-only one-column list of a row set's rows, in the row set's order,
// showing one column of each. The row set has no signals: reload() takes a
// fresh copy, and is called when the window shows and after each command.

#include <QAbstractListModel>
#include <QStringList>

class RowSet;

class RowSetColumnModel : public QAbstractListModel
{
    Q_OBJECT
public:
    RowSetColumnModel(RowSet &rows, QString column, QString title, QObject *parent = nullptr);

    // Reads every row again; the row set's cursor is left where it was.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    RowSet &m_rows;
    QString m_column;
    QString m_title;
    QStringList m_values;
};
