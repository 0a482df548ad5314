#include "store/sqlcommand.h"

#include "store/jetsql.h"
#include "store/storeconnection.h"

SqlCommand::SqlCommand(StoreConnection &connection, QString statement)
    : m_connection(connection),
      m_statement(std::move(statement)),
      m_placeholders(JetSql::parameterNames(m_statement))
{
}

void SqlCommand::prepare()
{
    if (m_prepared)
        return;
    m_connection.prepare(m_query, m_statement);
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

void SqlCommand::exec()
{
    prepare();
    m_connection.exec(m_query);
}
