#pragma once
// The Message-IDs recorded in one newsgroup (copies of the user's messages and
// stored answers, of messages not expired), loaded into the matcher that tells
// which overview lines answer them.
//
// A scan of the whole range since the oldest record needs every record. A scan
// of the few lines that arrived since the last one needs only the records
// those lines can name: the Message-IDs in their References, looked up by
// index, and the few records of an unusual form, which the matcher searches as
// text. A group with thousands of records then costs a handful of look-ups.

#include "store/sqlcommand.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class ReferenceMatcher;
class StoreConnection;

class GroupRecords
{
public:
    explicit GroupRecords(StoreConnection &connection);

    // Every record of the group; the Message-ID of the oldest, none when the
    // group has no record.
    std::optional<QString> loadAll(int groupCode, ReferenceMatcher &matcher);
    // The records of an unusual form, which no look-up can find, read before
    // the lines arrive; the look-up statement is made ready too.
    void loadUnusual(int groupCode, ReferenceMatcher &matcher);
    // Adds the records the References of these overview lines can name.
    void addNamedBy(int groupCode, const QList<QByteArray> &overview, ReferenceMatcher &matcher);

    // Lines naming more Message-IDs than this are matched against every
    // record: one read of the group beats as many look-ups.
    static constexpr qsizetype kMostLookups = 2000;

private:
    void loadRows(SqlCommand &query, ReferenceMatcher &matcher, std::optional<QString> *oldest = nullptr);

    SqlCommand qrySentB; // Id: a group's Code; its unexpired records, newest first
    SqlCommand m_named; // Id and kBatch Message-IDs: the records among them
    SqlCommand m_unusual; // Id: the records whose Message-ID is not "<...>"
};
