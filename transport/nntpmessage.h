#pragma once
// The single in-memory article `msgNNTP`: filled by the posting run and sent by
// NewsClient::post, or cleared and filled by NewsClient::body with a fetched
// body (NewsClient::article: with the fetched header too).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class NntpMessage
{
public:
    enum class Priority { Highest = 1, High, Normal, Low, Lowest };

    struct Address
    {
        QString name; // display name, may be empty
        QString address; // e-mail address
    };

    QString subject;
    QStringList body; // the body lines, without line ends
    QDateTime date; // local time; invalid means the time of sending
    Address from;
    QString organization;
    QStringList newsGroups; // joined with "," in the Newsgroups header
    QString references; // blank-separated Message-IDs
    QString msgId; // angle brackets included
    QStringList extraHeaders; // whole "Name: value" lines, after the generated ones
    Priority priority = Priority::Normal;
    // Never set by the program; when set, they replace the MIME declaration
    // the composer makes for non-ASCII articles.
    QString contentType;
    QString charSet;
    QString contentTransferEncoding;

    // Empties every field but the Message-ID (the posting run sets that anew
    // before each copy) and sets the priority back to normal.
    void clear();

    // Sets the body from text, split into lines at CR LF, LF or CR; a line
    // break at the very end does not start another line.
    void setBodyText(const QString &text);

    // The article as POST sends it: header lines, an empty line, the body lines
    // dot-stuffed once. Each line without its CR LF; the closing "." not included.
    // Charsets follow the system's language (see ArticleComposer).
    QList<QByteArray> postLines(const QString &newsAgent) const;

    // A fetched body, delivered as the message's one text part.
    void setFetchedBody(QList<QByteArray> lines);
    // A fetched article: the lines up to the first empty one are its header,
    // the rest its body, delivered as above.
    void setFetchedArticle(QList<QByteArray> lines);
    // The header of a fetched article: every line followed by CR LF; empty
    // when only the body was fetched.
    QByteArray fetchedHeader() const;
    // The text of the first part: every line followed by CR LF, the last included.
    // Empty when the message has no part.
    QByteArray fetchedText() const;
    qsizetype partCount() const { return m_parts.size(); }

private:
    QList<QByteArray> m_header;
    QList<QList<QByteArray>> m_parts;
};
