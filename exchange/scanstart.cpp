#include "exchange/scanstart.h"

#include "transport/newsclient.h"

namespace {

// How far back a group is read when its oldest record is not found on the server.
constexpr quint64 kRecentArticles = 300;

} // namespace

quint64 xrefNumber(const QByteArray &xref, const QString &group)
{
    const QByteArray name = group.toUtf8();
    // The first field is the server's name; every other is "group:number".
    const QList<QByteArray> entries = xref.simplified().split(' ');
    for (qsizetype i = 1; i < entries.size(); ++i) {
        const QByteArray &entry = entries.at(i);
        const qsizetype colon = entry.lastIndexOf(':');
        if (colon <= 0 || entry.left(colon).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const quint64 number = entry.mid(colon + 1).toULongLong(&ok);
        if (ok && number != 0)
            return number;
    }
    return 0;
}

quint64 scanStart(NewsClient &client, const QString &group, const QString &oldestMessageId)
{
    if (const quint64 own = xrefNumber(client.xref(oldestMessageId), group))
        return own;
    // STAT wants the Message-ID without its angle brackets.
    const QString bare = oldestMessageId.size() > 2 ? oldestMessageId.mid(1, oldestMessageId.size() - 2) : QString();
    if (client.stat(bare) && client.msgNo() != 0)
        return client.msgNo();
    const GroupFigures figures = client.groupFigures();
    if (figures.high >= kRecentArticles)
        return figures.high - kRecentArticles;
    // A young group: from its first article.
    return figures.low != 0 ? figures.low : 1;
}
