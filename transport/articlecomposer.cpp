#include "transport/articlecomposer.h"

#include "transport/articledate.h"
#include "transport/clienterrors.h"
#include "transport/fromvalue.h"
#include "transport/headerencoding.h"
#include "transport/headerfolding.h"
#include "transport/newsgroupname.h"
#include "transport/nntpmessage.h"

#include <QDateTime>
#include <QStringList>

namespace {

const QByteArray utf8 = QByteArrayLiteral("UTF-8");

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 128)
            return false;
    }
    return true;
}

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 128)
            return false;
    }
    return true;
}

QByteArray plainValue(const QString &value)
{
    return HeaderEncoding::singleLine(value).toUtf8();
}

// The groups an article goes to are only ever the names given: a name from a
// server's list holding a comma would add a group of the server's choosing.
void checkGroupNames(const NntpMessage &message)
{
    for (const QString &name : message.newsGroups) {
        if (!NewsgroupName::isValid(name))
            throw ClientError(QStringLiteral("\"%1\" is not a valid newsgroup name; the article was not sent.")
                                  .arg(HeaderEncoding::singleLine(name)));
    }
    static const QString followupTo = QStringLiteral("followup-to:");
    for (const QString &extra : message.extraHeaders) {
        const QString line = HeaderEncoding::singleLine(extra).trimmed();
        if (line.startsWith(followupTo, Qt::CaseInsensitive)
            && !NewsgroupName::isValidList(line.mid(followupTo.size()), true))
            throw ClientError(QStringLiteral("\"%1\" names no valid newsgroups; the article was not sent.").arg(line));
    }
}

class HeaderWriter
{
public:
    // A value of blanks alone counts as empty: folding would strip it to a
    // bare "Name:" line.
    void add(const char *name, const QByteArray &value)
    {
        if (!value.trimmed().isEmpty())
            addLine(QByteArray(name) + ": " + value);
    }
    void addLine(const QByteArray &line) { m_lines += HeaderFolding::fold(line); }
    QList<QByteArray> lines() const { return m_lines; }

private:
    QList<QByteArray> m_lines;
};

} // namespace

ArticleComposer::ArticleComposer(const ArticleCharsets &charsets)
    : m_charsets(charsets)
{}

QStringList ArticleComposer::splitLines(const QString &text)
{
    // Cut by hand: a regular expression matches nothing at all in text that
    // is not valid UTF-16 (a lone surrogate), and the breaks would go out as
    // bare CR or LF inside a line.
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QList<QByteArray> ArticleComposer::compose(const NntpMessage &message, const QString &newsAgent,
                                           const QDateTime &sendTime) const
{
    checkGroupNames(message);
    // A body entry holding a line break would put a bare CR or LF on the
    // wire; such an entry is sent as the lines it holds.
    QStringList bodyLines;
    for (const QString &entry : message.body)
        bodyLines += entry.isEmpty() ? QStringList{entry} : splitLines(entry);

    // The body goes in the set's charset; when that cannot hold it (a Japanese
    // system and a body in another script), in UTF-8.
    QByteArray bodyCharset = m_charsets.bodyCharset;
    QList<QByteArray> encodedBody;
    for (const QString &line : bodyLines) {
        bool ok = false;
        encodedBody.append(encodeInCharset(line, bodyCharset, &ok));
        if (!ok && bodyCharset != utf8) {
            bodyCharset = utf8;
            encodedBody.clear();
            for (const QString &again : bodyLines)
                encodedBody.append(encodeInCharset(again, utf8, nullptr));
            break;
        }
    }

    bool nonAscii = !isAscii(message.subject) || !isAscii(message.organization) || !isAscii(message.from.name)
        || !isAscii(message.from.address) || !isAscii(message.references)
        || !isAscii(message.newsGroups.join(QString())) || !isAscii(message.extraHeaders.join(QString()))
        || !isAscii(message.msgId);
    for (const QString &line : bodyLines)
        nonAscii = nonAscii || !isAscii(line);

    QByteArray mimeVersion;
    QByteArray contentType;
    QByteArray transferEncoding;
    if (!message.contentType.isEmpty()) {
        mimeVersion = "1.0";
        contentType = plainValue(message.contentType);
        if (!message.charSet.isEmpty())
            contentType += "; charset=" + plainValue(message.charSet);
        transferEncoding = plainValue(message.contentTransferEncoding);
    } else if (nonAscii) {
        bool eightBit = false;
        for (const QByteArray &line : encodedBody)
            eightBit = eightBit || !isAscii(line);
        mimeVersion = "1.0";
        contentType = "text/plain; charset=" + bodyCharset;
        transferEncoding = eightBit ? "8bit" : "7bit";
    }

    const QDateTime date = message.date.isValid() ? message.date : sendTime;

    HeaderWriter headers;
    headers.add("Message-ID", plainValue(message.msgId));
    headers.add("From", fromHeaderValue(message.from.name, message.from.address, m_charsets));
    headers.add("Subject", HeaderEncoding::encode(HeaderEncoding::singleLine(message.subject), m_charsets));
    headers.add("Newsgroups", plainValue(message.newsGroups.join(QLatin1Char(','))));
    headers.add("MIME-Version", mimeVersion);
    headers.add("Content-Type", contentType);
    headers.add("Content-Transfer-Encoding", transferEncoding);
    headers.add("Organization", HeaderEncoding::encode(HeaderEncoding::singleLine(message.organization), m_charsets));
    headers.add("References", plainValue(message.references));
    headers.add("Date", ArticleDate::format(date));
    headers.add("X-Priority", QByteArray::number(int(message.priority)));
    headers.add("X-Library", libraryName);
    headers.add("Lines", QByteArray::number(bodyLines.size()));
    headers.add("X-Newsreader", plainValue(newsAgent));
    for (const QString &extra : message.extraHeaders) {
        const QByteArray line = plainValue(extra).trimmed();
        if (!line.isEmpty())
            headers.addLine(line);
    }

    QList<QByteArray> lines = headers.lines();
    lines.append(QByteArray());
    for (const QByteArray &line : encodedBody)
        lines.append(line.startsWith('.') ? '.' + line : line);
    return lines;
}
