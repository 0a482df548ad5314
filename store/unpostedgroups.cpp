#include "store/unpostedgroups.h"

#include "store/columns.h"
#include "store/storeconnection.h"

UnpostedGroups::UnpostedGroups(StoreConnection &connection)
    : m_available(connection.hasTable(QStringLiteral("UnpostedGroups")))
    , m_read(connection,
             QStringLiteral("SELECT GroupName, Reply FROM UnpostedGroups WHERE ArticleId=:ART ORDER BY GroupName"),
             QStringLiteral("UnpostedGroups"))
    , m_readAll(connection,
                QStringLiteral("SELECT ArticleId, GroupName, Reply FROM UnpostedGroups ORDER BY ArticleId, GroupName"),
                QStringLiteral("UnpostedGroups"))
    , m_insert(connection,
               QStringLiteral("INSERT INTO UnpostedGroups (ArticleId, GroupName, Reply) VALUES (:ART, :GRP, :REPLY)"))
    , m_delete(connection, QStringLiteral("DELETE FROM UnpostedGroups WHERE ArticleId=:ART"))
{}

QList<UnpostedGroups::Group> UnpostedGroups::of(int articleId)
{
    QList<Group> groups;
    if (!m_available)
        return groups;
    m_read.bind(QStringLiteral("ART"), articleId);
    m_read.exec();
    while (m_read.next())
        groups << Group{m_read.field(Column::GroupName).toString(), m_read.field(QStringLiteral("Reply")).toString()};
    m_read.finish();
    return groups;
}

QMap<int, QList<UnpostedGroups::Group>> UnpostedGroups::all()
{
    QMap<int, QList<Group>> groups;
    if (!m_available)
        return groups;
    m_readAll.exec();
    while (m_readAll.next())
        groups[m_readAll.field(Column::ArticleId).toInt()]
            << Group{m_readAll.field(Column::GroupName).toString(),
                     m_readAll.field(QStringLiteral("Reply")).toString()};
    m_readAll.finish();
    return groups;
}

void UnpostedGroups::replace(int articleId, const QList<Group> &groups)
{
    if (!m_available)
        return;
    m_delete.bind(QStringLiteral("ART"), articleId);
    m_delete.exec();
    for (const Group &group : groups) {
        // Stored empty, not NULL, when a server gave no text.
        m_insert.bind(QStringLiteral("ART"), articleId)
            .bind(QStringLiteral("GRP"), group.name)
            .bind(QStringLiteral("REPLY"), group.reply.isNull() ? QStringLiteral("") : group.reply);
        m_insert.exec();
    }
}

QString UnpostedGroups::describe(const QList<Group> &groups)
{
    if (groups.isEmpty())
        return QString();
    QStringList lines;
    for (const Group &group : groups)
        lines << group.name + QStringLiteral(": ") + group.reply;
    return QStringLiteral("Not posted to: ") + lines.join(QStringLiteral("; "));
}
