#pragma once
// Builds the text of a posted article (RFC 1036 / RFC 822, RFC 2047 for
// non-ASCII header words) from the message object.

#include "transport/articlecharsets.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class NntpMessage;
class QDateTime;
class QString;

class ArticleComposer
{
public:
    // The name and version of this message library, sent as X-Library.
    static constexpr const char *libraryName = "Quorbic NNTP 1.0";

    explicit ArticleComposer(const ArticleCharsets &charsets);

    // Header lines in their fixed order (empty ones left out, long ones
    // folded), an empty line, and the body lines dot-stuffed once; no line
    // ends, no closing ".". sendTime stands in for an invalid message date;
    // when both are invalid the Date header is left out (the server adds one).
    //
    // A header value holding CR or LF has each replaced by a blank. An article
    // with a non-ASCII character anywhere is declared as MIME text/plain in the
    // charset its body is sent in; a pure ASCII article carries no MIME headers.
    //
    // Throws ClientError, composing nothing, when a name of newsGroups or of a
    // Followup-To among the extra headers is not a valid newsgroup name.
    QList<QByteArray> compose(const NntpMessage &message, const QString &newsAgent, const QDateTime &sendTime) const;

    // Text split into lines at CR LF, LF or CR; a break at the very end does
    // not start another line.
    static QStringList splitLines(const QString &text);

private:
    ArticleCharsets m_charsets;
};
