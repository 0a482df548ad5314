#include "store/sqlcommand.h"

#include "store/jetsql.h"
#include "store/storeconnection.h"
#include "store/storeerror.h"

#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

namespace {

// True for a statement that changes the store when the engine opened the file
// for reading only (a read-only file or medium); such a statement can only fail.
bool refusedAsReadOnly(const QSqlQuery &query)
{
    const QVariant v = query.result() ? query.result()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3_stmt*") != 0)
        return false;
    sqlite3_stmt *statement = *static_cast<sqlite3_stmt *const *>(v.constData());
    return statement && !sqlite3_stmt_readonly(statement)
        && sqlite3_db_readonly(sqlite3_db_handle(statement), "main") == 1;
}

} // namespace

SqlCommand::SqlCommand(StoreConnection &connection, QString statement, QString name)
    : m_connection(connection)
    , m_statement(std::move(statement))
    , m_name(std::move(name))
    , m_placeholders(JetSql::parameterNames(m_statement))
{}

void SqlCommand::prepare()
{
    if (m_prepared)
        return;
    m_connection.prepare(m_query, m_statement);
    if (refusedAsReadOnly(m_query)) {
        m_query = QSqlQuery();
        throw StoreError(QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
    }
    m_query.setForwardOnly(true);
    for (const QString &placeholder : m_placeholders)
        m_query.bindValue(QLatin1Char(':') + placeholder, QVariant());
    m_prepared = true;
}

SqlCommand &SqlCommand::bind(const QString &name, const QVariant &value)
{
    prepare();
    for (const QString &placeholder : m_placeholders) {
        if (placeholder.compare(name, Qt::CaseInsensitive) == 0)
            m_query.bindValue(QLatin1Char(':') + placeholder, JetSql::toStored(value));
    }
    return *this;
}

SqlCommand &SqlCommand::bindAt(int position, const QVariant &value)
{
    prepare();
    m_query.bindValue(position, JetSql::toStored(value));
    return *this;
}

void SqlCommand::exec()
{
    prepare();
    m_connection.exec(m_query);
}

QVariant SqlCommand::field(const QString &column) const
{
    return m_query.value(indexOf(column));
}

int SqlCommand::indexOf(const QString &column) const
{
    const int index = m_query.record().indexOf(column);
    if (index < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found")
                             .arg(m_name.isEmpty() ? QStringLiteral("Dataset") : m_name, column));
    return index;
}
