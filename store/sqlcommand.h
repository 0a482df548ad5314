#pragma once
// A statement prepared once and run many times with named parameters: the
// inserts and look-ups of the long runs, and forward-only reads.

#include <QSqlQuery>
#include <QString>
#include <QVariant>

class StoreConnection;

class SqlCommand
{
public:
    // name: what a missing column is reported with, as a row set's name is.
    SqlCommand(StoreConnection &connection, QString statement, QString name = {});

    // Matched to the statement's ":Name" without regard to case; unset ones are NULL.
    SqlCommand &bind(const QString &name, const QVariant &value);
    // The placeholder at a position (from 0, in the order they are written),
    // for statements of many rows whose names would cost a search each.
    SqlCommand &bindAt(int position, const QVariant &value);
    // Runs the statement with the bound values; throws StoreError.
    void exec();

    // Reading the rows of a SELECT, forward only.
    bool next() { return m_query.next(); }
    QVariant value(const QString &column) const { return m_query.value(column); }
    QVariant value(int column) const { return m_query.value(column); }
    // The column's value in the current row; a column the rows lack throws
    // StoreError "<name>: Field '<column>' not found", as a row set does.
    QVariant field(const QString &column) const;
    // The position of a column of the current result, for reading many rows
    // with value(int); throws StoreError as field() does.
    int indexOf(const QString &column) const;
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    QVariant lastInsertId() const { return m_query.lastInsertId(); }
    // Releases the engine's read of a finished SELECT.
    void finish() { m_query.finish(); }

    // Prepares the statement now instead of at its first use, so that one the
    // store cannot run (a table or column it lacks, or a change to a store
    // that could be opened for reading only) fails before the work whose
    // result it is to keep; throws StoreError.
    void prepare();

private:
    StoreConnection &m_connection;
    QString m_statement;
    QString m_name;
    QStringList m_placeholders;
    QSqlQuery m_query;
    bool m_prepared = false;
};
