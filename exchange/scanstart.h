#pragma once
// Where a retrieval scan of a group starts when no earlier scan left a mark:
// at the group's own number of the oldest recorded copy or answer, read from
// its Xref header; else at the number STAT gives for it when that is not 0;
// else at the last 300 articles.
//
// STAT by Message-ID is no help on most servers: INN and leafnode answer
// "223 0 <id>" (RFC 3977 allows it), sn the number in the first group the
// article was filed in, whatever group is selected. The Xref header names each
// group with its own number on all of them.

#include <QByteArray>
#include <QString>

class NewsClient;

// The number the Xref value ("host group:number group:number ...") gives the
// group; 0 when it does not name the group.
quint64 xrefNumber(const QByteArray &xref, const QString &group);

// The first article to examine in group, selected on client, for the oldest
// record's Message-ID (angle brackets kept).
quint64 scanStart(NewsClient &client, const QString &group, const QString &oldestMessageId);
