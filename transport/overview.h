#pragma once
// Overview lines (XOVER, RFC 2980) as the answer scan reads them.

#include <QDateTime>
#include <QString>

// The article number is 64-bit, as NewsClient keeps article numbers; 0 (which
// numbers no article) when the field is not a number.
struct OverviewLine
{
    quint64 articleNumber = 0;
    QString subject; // raw header text, not decoded
    QString from; // raw header text: display name and address
    QDateTime date; // as written in the article, zone not applied; invalid when unreadable
    QString messageId; // angle brackets kept
    QString references; // blank-separated Message-IDs
    quint32 byteCount = 0;
    quint32 lineCount = 0;
    QString extra; // everything after the eighth TAB, TABs included
};

// Splits one overview line into its fields. Missing fields are empty (numbers
// 0); a number field that is not a whole number (or does not fit its 64 or 32
// bits) reads as 0.
OverviewLine ParseOverviewLine(const QString &line);

// The same for a line as NewsClient::overview delivers it. Header texts in
// 8-bit bytes are read as UTF-8 when they are valid UTF-8 and as Latin-1
// otherwise, so that no byte is lost.
OverviewLine ParseOverviewLine(const QByteArray &line);

// Single fields, cut and decoded as ParseOverviewLine(const QByteArray &) cuts
// and decodes them, without the work of the other fields: the answer scan
// looks at these on every line of a group, and most lines answer nothing.
enum class OverviewField { Number = 0, MessageId = 4, References = 5 };
QString overviewField(const QByteArray &line, OverviewField field);
// The article number, 0 when the field is not one (as articleNumber reads).
quint64 overviewNumber(const QByteArray &line);
// Whether ParseOverviewLine reads the line as UTF-8 (else as Latin-1).
bool overviewReadsAsUtf8(const QByteArray &line);
