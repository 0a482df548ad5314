#include "store/articleheaders.h"

#include "store/storeconnection.h"

ArticleHeaders::ArticleHeaders(StoreConnection &connection)
    : m_connection(connection)
    , m_read(connection, QStringLiteral("SELECT Header FROM ArticleHeader WHERE ArticleId=:Id"),
             QStringLiteral("ArticleHeader"))
    , m_insert(connection,
               QStringLiteral("INSERT OR REPLACE INTO ArticleHeader (ArticleId, Header) VALUES (:Id, :Header)"),
               QStringLiteral("ArticleHeader"))
    , m_delete(connection, QStringLiteral("DELETE FROM ArticleHeader WHERE ArticleId=:Id"),
               QStringLiteral("ArticleHeader"))
{}

bool ArticleHeaders::available() const
{
    // Asked on each use: the store may be opened after this is made.
    return m_connection.hasTable(QStringLiteral("ArticleHeader"));
}

QVariant ArticleHeaders::of(int articleCode)
{
    if (!available())
        return {};
    m_read.bind(QStringLiteral("Id"), articleCode).exec();
    QVariant header;
    if (m_read.next())
        header = m_read.value(0);
    m_read.finish();
    return header;
}

void ArticleHeaders::keep(int articleCode, const QByteArray &header)
{
    if (!available())
        return;
    m_insert.bind(QStringLiteral("Id"), articleCode).bind(QStringLiteral("Header"), header).exec();
}

void ArticleHeaders::forget(int articleCode)
{
    if (available())
        m_delete.bind(QStringLiteral("Id"), articleCode).exec();
}

void ArticleHeaders::prepare()
{
    if (available())
        m_insert.prepare();
}
