#pragma once
// The single in-memory article `msgNNTP`: filled by the posting run and sent by
// NewsClient::post, or cleared and filled by NewsClient::body with a fetched body.

#include <QByteArray>
#include <QList>
#include <QString>

class NntpMessage
{
public:
    // Empties every field but the Message-ID (the posting run sets that anew
    // before each copy) and sets the priority back to normal.
    void clear();

    // The article as POST sends it: header lines, an empty line, the body lines
    // dot-stuffed once. Each line without its CR LF; the closing "." not included.
    QList<QByteArray> postLines(const QString &newsAgent) const;

    // A fetched body, delivered as the message's one text part.
    void setFetchedBody(QList<QByteArray> lines);
    // The text of the first part: every line followed by CR LF, the last included.
    QByteArray fetchedText() const;
};
