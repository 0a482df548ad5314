#pragma once
// Overview lines (XOVER, RFC 2980) as the answer scan reads them.

#include <QDateTime>
#include <QString>

struct OverviewLine
{
    quint64 articleNumber = 0;
    QString subject;    // raw header text, not decoded
    QString from;       // raw header text: display name and address
    QDateTime date;     // as written in the article, zone not applied; invalid when unreadable
    QString messageId;  // angle brackets kept
    QString references; // blank-separated Message-IDs
    quint64 byteCount = 0;
    quint64 lineCount = 0;
    QString extra;      // everything after the eighth TAB, TABs included
};

// Splits one overview line into its fields. Missing fields are empty (numbers
// 0); a number field that is not a whole number reads as 0.
OverviewLine ParseOverviewLine(const QString &line);
