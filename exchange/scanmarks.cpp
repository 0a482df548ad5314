#include "exchange/scanmarks.h"

#include "store/sqlcommand.h"
#include "store/storeconnection.h"

ScanMarks::ScanMarks(StoreConnection &connection)
{
    if (!connection.hasTable(QStringLiteral("ScanMarks")))
        return;
    m_read = std::make_unique<SqlCommand>(connection,
                                          QStringLiteral(
                                              "SELECT LastArticle FROM ScanMarks WHERE Newsgroup=:NWS and Server=:SRV"),
                                          QStringLiteral("ScanMarks"));
    m_write = std::make_unique<SqlCommand>(
        connection,
        QStringLiteral("INSERT OR REPLACE INTO ScanMarks (Newsgroup, Server, LastArticle) VALUES (:NWS, :SRV, :LAST)"));
    m_drop = std::make_unique<SqlCommand>(connection,
                                          QStringLiteral("DELETE FROM ScanMarks WHERE Newsgroup=:NWS and Server=:SRV"));
}

ScanMarks::~ScanMarks() = default;

quint64 ScanMarks::mark(int groupCode, int serverCode)
{
    if (!m_read)
        return 0;
    m_read->bind(QStringLiteral("NWS"), groupCode).bind(QStringLiteral("SRV"), serverCode).exec();
    const quint64 last = m_read->next() ? m_read->field(QStringLiteral("LastArticle")).toULongLong() : 0;
    m_read->finish();
    return last;
}

void ScanMarks::setMark(int groupCode, int serverCode, quint64 lastArticle)
{
    if (!m_write)
        return;
    m_write->bind(QStringLiteral("NWS"), groupCode)
        .bind(QStringLiteral("SRV"), serverCode)
        .bind(QStringLiteral("LAST"), lastArticle)
        .exec();
}

void ScanMarks::drop(int groupCode, int serverCode)
{
    if (!m_drop)
        return;
    m_drop->bind(QStringLiteral("NWS"), groupCode).bind(QStringLiteral("SRV"), serverCode).exec();
}
