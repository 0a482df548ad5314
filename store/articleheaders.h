#pragma once
// The header blocks of retrieved answers, kept in the ArticleHeader table by
// Article code. A store made before that table has no headers: every answer
// then reads as having none, and nothing is kept.

#include "store/sqlcommand.h"

#include <QByteArray>
#include <QVariant>

class StoreConnection;

class ArticleHeaders
{
public:
    explicit ArticleHeaders(StoreConnection &connection);

    // Whether the store has the table.
    bool available() const;
    // The header block of the answer; NULL when it has none or the store no table.
    QVariant of(int articleCode);
    // Keeps the header block of a newly stored answer (nothing without the table).
    void keep(int articleCode, const QByteArray &header);
    // Drops the header of a message deleted for good (nothing without the table).
    void forget(int articleCode);
    // Prepares the insert now, so that a store that cannot take it fails
    // before anything is fetched; throws StoreError.
    void prepare();

private:
    StoreConnection &m_connection;
    SqlCommand m_read;
    SqlCommand m_insert;
    SqlCommand m_delete;
};
