#include "store/rowset.h"

#include "store/jetsql.h"
#include "store/storeconnection.h"
#include "store/storeerror.h"

#include <QSqlQuery>
#include <QStringList>

RowSet::RowSet(StoreConnection &connection, QString statement, QString name)
    : m_connection(connection)
    , m_statement(std::move(statement))
    , m_name(std::move(name))
{}

RowSet::~RowSet() = default;
RowSet::RowSet(RowSet &&) noexcept = default;

RowSet RowSet::table(StoreConnection &connection, const QString &table, const QString &orderBy, QString name)
{
    return RowSet(connection, QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, orderBy), std::move(name));
}

void RowSet::setParam(const QString &name, const QVariant &value)
{
    for (auto &param : m_params) {
        if (param.first.compare(name, Qt::CaseInsensitive) == 0) {
            param.second = value;
            return;
        }
    }
    m_params.emplace_back(name, value);
}

void RowSet::open()
{
    if (isOpen())
        return;
    auto query = std::make_unique<QSqlQuery>();
    m_connection.prepare(*query, m_statement);
    query->setForwardOnly(true);
    for (const QString &placeholder : JetSql::parameterNames(m_statement)) {
        QVariant value;
        for (const auto &param : m_params) {
            if (param.first.compare(placeholder, Qt::CaseInsensitive) == 0)
                value = JetSql::toStored(param.second);
        }
        query->bindValue(QLatin1Char(':') + placeholder, value);
    }
    m_connection.exec(*query);
    m_columns = query->record();
    m_read = 0;
    if (m_forwardOnly) {
        m_rows.clear();
        m_cursor = std::move(query);
        m_state = State::Browse;
        fetchForward();
        m_bof = true;
        return;
    }
    std::vector<Row> rows;
    const int count = m_columns.count();
    while (query->next()) {
        Row row(count);
        for (int i = 0; i < count; ++i)
            row[i] = query->value(i);
        rows.push_back(std::move(row));
    }
    m_rows = std::move(rows);
    m_state = State::Browse;
    first();
}

void RowSet::fetchForward()
{
    if (m_cursor && m_cursor->next()) {
        const int count = m_columns.count();
        m_rows.resize(1);
        Row &row = m_rows.front();
        row.resize(count);
        for (int i = 0; i < count; ++i)
            row[i] = m_cursor->value(i);
        m_row = 0;
        ++m_read;
        m_bof = false;
        m_eof = false;
        return;
    }
    // Past the last row: the statement is done with and holds nothing.
    m_cursor.reset();
    m_rows.clear();
    m_row = -1;
    m_eof = true;
}

void RowSet::requireRandomAccess(const char *operation) const
{
    if (m_forwardOnly)
        throw StoreError(QStringLiteral("%1: cannot %2 a forward-only dataset")
                             .arg(m_name.isEmpty() ? QStringLiteral("Dataset") : m_name, QLatin1String(operation)));
}

void RowSet::close()
{
    m_cursor.reset();
    m_read = 0;
    m_rows.clear();
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Inactive;
    m_row = -1;
    m_eof = m_bof = true;
}

void RowSet::reopen()
{
    close();
    open();
}

void RowSet::requireOpen() const
{
    if (!isOpen())
        throw StoreError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void RowSet::requireBrowse(const char *operation) const
{
    requireOpen();
    if (m_state != State::Browse)
        throw StoreError(
            QStringLiteral("Cannot %1 while a row is being inserted or edited").arg(QLatin1String(operation)));
}

void RowSet::first()
{
    // A forward-only set is on its first row only until it moves on.
    if (m_forwardOnly) {
        if (m_read > 1 || (m_read == 1 && m_eof))
            requireRandomAccess("go back to the first row of");
        m_bof = true;
        return;
    }
    m_row = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

void RowSet::next()
{
    if (m_forwardOnly) {
        if (!m_eof)
            fetchForward();
        return;
    }
    if (m_row + 1 < rowCount()) {
        ++m_row;
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void RowSet::prior()
{
    requireRandomAccess("move back in");
    if (m_row > 0) {
        --m_row;
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void RowSet::last()
{
    requireRandomAccess("move to the end of");
    m_row = rowCount() - 1;
    m_eof = true;
    m_bof = m_rows.empty();
}

void RowSet::setRow(int row)
{
    requireRandomAccess("position");
    if (row < 0 || row >= rowCount())
        throw StoreError(QStringLiteral("Row %1 is outside the row set").arg(row));
    m_row = row;
    m_bof = m_eof = false;
}

bool RowSet::locate(const QString &column, const QVariant &value)
{
    requireOpen();
    requireRandomAccess("search");
    const int index = columnIndex(column);
    const QVariant wanted = JetSql::toStored(value);
    const bool text = wanted.typeId() == QMetaType::QString;
    for (int i = 0; i < rowCount(); ++i) {
        const QVariant &have = m_rows[i][index];
        const bool match = text ? have.toString().compare(wanted.toString(), Qt::CaseInsensitive) == 0 && !have.isNull()
                                : have == wanted;
        if (match) {
            setRow(i);
            return true;
        }
    }
    return false;
}

int RowSet::columnIndex(const QString &column) const
{
    const int index = m_columns.indexOf(column);
    if (index < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found")
                             .arg(m_name.isEmpty() ? QStringLiteral("Dataset") : m_name, column));
    return index;
}

bool RowSet::hasColumn(const QString &column) const
{
    return m_columns.indexOf(column) >= 0;
}

QVariant RowSet::value(int column) const
{
    requireOpen();
    if (m_row < 0 || column < 0 || column >= m_columns.count())
        return {};
    return m_rows[m_row][column];
}

QVariant RowSet::value(const QString &column) const
{
    requireOpen();
    const int index = columnIndex(column);
    if (m_state == State::Insert || m_state == State::Edit)
        return m_buffer[index];
    if (m_row < 0)
        return {};
    return m_rows[m_row][index];
}

int RowSet::asInt(const QString &column) const
{
    return JetSql::toInt(value(column));
}

QString RowSet::asString(const QString &column) const
{
    return JetSql::toText(value(column));
}

bool RowSet::asBool(const QString &column) const
{
    return JetSql::toBool(value(column));
}

QDateTime RowSet::asDateTime(const QString &column) const
{
    return JetSql::toDateTime(value(column));
}

void RowSet::setValue(const QString &column, const QVariant &value)
{
    requireOpen();
    if (m_state != State::Insert && m_state != State::Edit)
        throw StoreError(QStringLiteral("Dataset not in edit or insert mode"));
    const int index = columnIndex(column);
    m_buffer[index] = JetSql::toStored(value);
    m_modified[index] = true;
}

QString RowSet::keyedTable() const
{
    const QString table = JetSql::baseTable(m_statement);
    if (table.isEmpty() || !hasColumn(QStringLiteral("Code")))
        throw StoreError(QStringLiteral("The rows of this dataset cannot be changed: it has no key Code"));
    return table;
}

void RowSet::append()
{
    requireBrowse("append");
    requireRandomAccess("append to");
    keyedTable();
    m_buffer.assign(m_columns.count(), QVariant());
    m_modified.assign(m_columns.count(), false);
    m_state = State::Insert;
    if (afterInsert)
        afterInsert(*this);
}

void RowSet::edit()
{
    requireBrowse("edit");
    requireRandomAccess("edit");
    keyedTable();
    if (m_row < 0)
        throw StoreError(QStringLiteral("Cannot edit: the dataset is empty"));
    m_buffer = m_rows[m_row];
    m_modified.assign(m_columns.count(), false);
    m_state = State::Edit;
}

void RowSet::post()
{
    requireOpen();
    if (m_state == State::Browse)
        return;
    if (beforePost)
        beforePost(*this);
    if (m_state == State::Insert)
        insertRow();
    else
        updateRow();
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
    if (afterPost)
        afterPost(*this);
}

void RowSet::cancel()
{
    requireOpen();
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
}

void RowSet::remove()
{
    requireBrowse("delete");
    requireRandomAccess("delete from");
    const QString table = keyedTable();
    if (m_row < 0)
        throw StoreError(QStringLiteral("Cannot delete: the dataset is empty"));
    QSqlQuery query;
    m_connection.prepare(query, QStringLiteral("DELETE FROM %1 WHERE Code=:Code").arg(table));
    query.bindValue(QStringLiteral(":Code"), m_rows[m_row][columnIndex(QStringLiteral("Code"))]);
    m_connection.exec(query);
    m_rows.erase(m_rows.begin() + m_row);
    if (m_row >= rowCount())
        m_row = rowCount() - 1;
    m_eof = m_rows.empty();
    m_bof = m_rows.empty();
}

namespace {
QString quoted(const QString &column)
{
    return QLatin1Char('"') + column + QLatin1Char('"');
}
} // namespace

void RowSet::insertRow()
{
    const QString table = keyedTable();
    QStringList names, holders;
    std::vector<int> bound;
    for (int i = 0; i < m_columns.count(); ++i) {
        if (!m_modified[i])
            continue;
        names << quoted(m_columns.fieldName(i));
        holders << QStringLiteral(":p%1").arg(i);
        bound.push_back(i);
    }
    const QString sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                              .arg(table, names.join(QLatin1Char(',')), holders.join(QLatin1Char(',')));
    QSqlQuery query;
    m_connection.prepare(query, sql);
    for (int i : bound)
        query.bindValue(QStringLiteral(":p%1").arg(i), m_buffer[i]);
    m_connection.exec(query);
    // The stored row, with its key and the store's defaults, joins the set where
    // the cursor is: at the end, as a new row is appended.
    m_rows.push_back(fetchStored(query.lastInsertId()));
    m_row = rowCount() - 1;
    m_bof = m_eof = false;
}

void RowSet::updateRow()
{
    const QString table = keyedTable();
    QStringList sets;
    std::vector<int> bound;
    for (int i = 0; i < m_columns.count(); ++i) {
        if (!m_modified[i])
            continue;
        sets << QStringLiteral("%1=:p%2").arg(quoted(m_columns.fieldName(i))).arg(i);
        bound.push_back(i);
    }
    if (!sets.isEmpty()) {
        const int key = columnIndex(QStringLiteral("Code"));
        QSqlQuery query;
        m_connection
            .prepare(query, QStringLiteral("UPDATE %1 SET %2 WHERE Code=:key").arg(table, sets.join(QLatin1Char(','))));
        for (int i : bound)
            query.bindValue(QStringLiteral(":p%1").arg(i), m_buffer[i]);
        query.bindValue(QStringLiteral(":key"), m_rows[m_row][key]);
        m_connection.exec(query);
    }
    m_rows[m_row] = m_buffer;
}

RowSet::Row RowSet::fetchStored(const QVariant &code) const
{
    QSqlQuery query;
    m_connection.prepare(query, QStringLiteral("SELECT * FROM %1 WHERE Code=:Code").arg(keyedTable()));
    query.bindValue(QStringLiteral(":Code"), code);
    m_connection.exec(query);
    Row row = m_buffer;
    if (query.next()) {
        const QSqlRecord stored = query.record();
        for (int i = 0; i < m_columns.count(); ++i) {
            const int from = stored.indexOf(m_columns.fieldName(i));
            if (from >= 0)
                row[i] = query.value(from);
        }
    }
    return row;
}
