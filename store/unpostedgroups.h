#pragma once
// The newsgroups a posted message did not reach, each with the reply of the
// server that refused it (table UnpostedGroups), so that nothing a posting
// run leaves unreached is forgotten: the preview and `quorbic-cli show` list
// them, and Post Again sends the message to them alone. Without the table the
// store keeps none and every call does nothing.

#include "store/sqlcommand.h"

#include <QList>
#include <QMap>
#include <QString>

class StoreConnection;

class UnpostedGroups
{
public:
    struct Group
    {
        QString name;
        QString reply;
        bool operator==(const Group &) const = default;
    };

    explicit UnpostedGroups(StoreConnection &connection);

    bool available() const { return m_available; }
    // The message's unreached groups in name order.
    QList<Group> of(int articleId);
    // Every message's, by Article Code.
    QMap<int, QList<Group>> all();
    // The groups a run left unreached replace what an earlier run left.
    void replace(int articleId, const QList<Group> &groups);

    // "Not posted to: " and each group with its reply, one a line; empty for none.
    static QString describe(const QList<Group> &groups);

private:
    bool m_available;
    SqlCommand m_read;
    SqlCommand m_readAll;
    SqlCommand m_insert;
    SqlCommand m_delete;
};
