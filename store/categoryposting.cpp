#include "store/categoryposting.h"

#include "store/storeconnection.h"

CategoryPosting::CategoryPosting(StoreConnection &connection)
    : m_available(connection.hasTable(QStringLiteral("CategoryPosting")))
    , m_read(connection, QStringLiteral("SELECT CrossPost FROM CategoryPosting WHERE Category=:CAT"),
             QStringLiteral("CategoryPosting"))
    , m_write(connection,
              QStringLiteral("INSERT OR REPLACE INTO CategoryPosting (Category, CrossPost) VALUES (:CAT, :CROSS)"))
    , m_delete(connection, QStringLiteral("DELETE FROM CategoryPosting WHERE Category=:CAT"))
{}

bool CategoryPosting::crossPost(int category)
{
    if (!m_available)
        return false;
    m_read.bind(QStringLiteral("CAT"), category);
    m_read.exec();
    // Yes is -1, No is 0; NULL reads as No.
    const bool on = m_read.next() && m_read.field(QStringLiteral("CrossPost")).toInt() != 0;
    m_read.finish();
    return on;
}

void CategoryPosting::setCrossPost(int category, bool crossPost)
{
    if (!m_available)
        return;
    m_write.bind(QStringLiteral("CAT"), category).bind(QStringLiteral("CROSS"), crossPost ? -1 : 0);
    m_write.exec();
}

void CategoryPosting::forget(int category)
{
    if (!m_available)
        return;
    m_delete.bind(QStringLiteral("CAT"), category);
    m_delete.exec();
}
