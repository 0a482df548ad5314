#pragma once
// A positioned row set over one statement: the rows are fetched when it opens
// and read and written by column name, with the cursor, the browse / insert /
// edit states and the hooks the windows and runs are written against.
//
// Changes go to the statement's table (the one after FROM) by its key `Code`:
// append + post inserts a row (its `Code` and store defaults are readable
// afterwards), edit + post updates the changed columns, remove deletes the
// current row. Every failure throws StoreError and leaves the state as it was.
//
// A forward-only row set holds no more than its current row: next() reads the
// following one from the store, so a set of any size costs the memory of one
// row. It can only be walked once from first to last after each open; it
// cannot be positioned, searched or changed.

#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;
class StoreConnection;

class RowSet
{
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Hook = std::function<void(RowSet &)>;

    RowSet(StoreConnection &connection, QString statement, QString name = {});
    ~RowSet();
    RowSet(RowSet &&) noexcept;
    // A whole-table view in the order of the given columns (its index order).
    static RowSet table(StoreConnection &connection, const QString &table,
                        const QString &orderBy = QStringLiteral("Code"), QString name = {});

    const QString &name() const { return m_name; }
    const QString &statement() const { return m_statement; }
    // Takes effect at the next open.
    void setStatement(QString statement) { m_statement = std::move(statement); }

    // Parameters are matched by name without regard to case; one never set is NULL.
    void setParam(const QString &name, const QVariant &value);

    // Takes effect at the next open.
    void setForwardOnly(bool forwardOnly) { m_forwardOnly = forwardOnly; }
    bool forwardOnly() const { return m_forwardOnly; }

    void open();
    void close();
    // Runs the statement again with the current parameters; the cursor goes to
    // the first row.
    void reopen();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // The cursor. eof() is true on an empty set and after next() on the last
    // row; bof() after first() and after prior() on the first row.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int row() const { return m_row; }
    void setRow(int row);
    // Forward-only: the rows read so far.
    int rowCount() const { return m_forwardOnly ? m_read : int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // Moves to the first row whose column equals the value (text compared
    // without regard to case); false leaves the cursor where it was.
    bool locate(const QString &column, const QVariant &value);

    // Columns of the current row, or of the edit buffer while inserting or editing.
    bool hasColumn(const QString &column) const;
    // The position of a column, for reading many rows without looking up its
    // name each time; throws when there is no such column.
    int columnIndex(const QString &column) const;
    // A column of the current row by position (not of the edit buffer).
    QVariant value(int column) const;
    QVariant value(const QString &column) const;
    int asInt(const QString &column) const;
    QString asString(const QString &column) const;
    bool asBool(const QString &column) const;
    QDateTime asDateTime(const QString &column) const;
    void setValue(const QString &column, const QVariant &value);

    void append();
    void edit();
    void post();
    void cancel();
    void remove();

    // afterInsert runs once append() has made the new row; beforePost may throw
    // to refuse the row (the state stays Insert or Edit); afterPost runs once
    // the row is stored.
    Hook afterInsert;
    Hook beforePost;
    Hook afterPost;

private:
    using Row = std::vector<QVariant>;

    void requireOpen() const;
    void requireRandomAccess(const char *operation) const;
    void fetchForward();
    void requireBrowse(const char *operation) const;
    QString keyedTable() const;
    void insertRow();
    void updateRow();
    Row fetchStored(const QVariant &code) const;

    StoreConnection &m_connection;
    QString m_statement;
    QString m_name;
    std::vector<std::pair<QString, QVariant>> m_params;
    QSqlRecord m_columns;
    std::vector<Row> m_rows;
    Row m_buffer;
    std::vector<bool> m_modified;
    State m_state = State::Inactive;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_forwardOnly = false;
    std::unique_ptr<QSqlQuery> m_cursor; // forward-only: the statement being read
    int m_read = 0;
};
