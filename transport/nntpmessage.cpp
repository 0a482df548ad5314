#include "transport/nntpmessage.h"

#include "transport/articlecharsets.h"
#include "transport/articlecomposer.h"

void NntpMessage::clear()
{
    subject.clear();
    body.clear();
    date = QDateTime();
    from = Address();
    organization.clear();
    newsGroups.clear();
    references.clear();
    extraHeaders.clear();
    priority = Priority::Normal;
    contentType.clear();
    charSet.clear();
    contentTransferEncoding.clear();
    m_header.clear();
    m_parts.clear();
}

void NntpMessage::setBodyText(const QString &text)
{
    body = ArticleComposer::splitLines(text);
}

QList<QByteArray> NntpMessage::postLines(const QString &newsAgent) const
{
    return ArticleComposer(ArticleCharsets::forSystem()).compose(*this, newsAgent, QDateTime::currentDateTime());
}

void NntpMessage::setFetchedBody(QList<QByteArray> lines)
{
    // Only the body was fetched, so there is no header to say it is MIME:
    // the lines are one plain text part, kept exactly as received.
    m_parts = {std::move(lines)};
}

void NntpMessage::setFetchedArticle(QList<QByteArray> lines)
{
    const qsizetype blank = lines.indexOf(QByteArray());
    if (blank < 0) { // all header, no body
        m_header = std::move(lines);
        m_parts = {QList<QByteArray>()};
        return;
    }
    m_header = lines.mid(0, blank);
    lines.remove(0, blank + 1);
    m_parts = {std::move(lines)};
}

QByteArray NntpMessage::fetchedHeader() const
{
    QByteArray text;
    for (const QByteArray &line : m_header) {
        text += line;
        text += "\r\n";
    }
    return text;
}

QByteArray NntpMessage::fetchedText() const
{
    QByteArray text;
    if (m_parts.isEmpty())
        return text;
    for (const QByteArray &line : m_parts.first()) {
        text += line;
        text += "\r\n";
    }
    return text;
}
