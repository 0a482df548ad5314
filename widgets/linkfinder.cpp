#include "widgets/linkfinder.h"

#include <QRegularExpression>

namespace LinkFinder {

namespace {

const QRegularExpression &linkStart()
{
    static const QRegularExpression re(QStringLiteral(R"((?<![\w@.])(?:(?:https?|ftp|nntp)://|news:|mailto:|www\.))"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

bool endsLink(QChar c)
{
    return c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('"');
}

// Sentence punctuation after an address is not part of it; a closing bracket
// is, when the address opened one.
qsizetype trimmedLength(const QString &text, qsizetype start, qsizetype length)
{
    static const QString trailing = QStringLiteral(".,;:!?'");
    while (length > 0) {
        const QChar last = text.at(start + length - 1);
        if (trailing.contains(last)) {
            --length;
            continue;
        }
        if (last == QLatin1Char(')')) {
            const QStringView link = QStringView(text).mid(start, length);
            if (link.count(QLatin1Char('(')) < link.count(QLatin1Char(')'))) {
                --length;
                continue;
            }
        }
        break;
    }
    return length;
}

} // namespace

std::vector<Link> find(const QString &text)
{
    std::vector<Link> links;
    qsizetype from = 0;
    while (from < text.size()) {
        const QRegularExpressionMatch match = linkStart().match(text, from);
        if (!match.hasMatch())
            break;
        const qsizetype start = match.capturedStart();
        qsizetype end = match.capturedEnd();
        while (end < text.size() && !endsLink(text.at(end)))
            ++end;
        const qsizetype length = trimmedLength(text, start, end - start);
        // A bare scheme with nothing after it is no address.
        if (length > match.capturedLength())
            links.push_back({start, length});
        from = end;
    }
    return links;
}

QString shownAddress(const QString &address)
{
    QString shown;
    shown.reserve(address.size());
    for (const QChar c : address) {
        const char16_t u = c.unicode();
        const bool reorders
            = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F;
        if (reorders)
            shown += QStringLiteral("[U+") + QString::number(u, 16).toUpper() + QLatin1Char(']');
        else
            shown += c;
    }
    return shown;
}

QUrl toUrl(const QString &linkText)
{
    if (linkText.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + linkText, QUrl::TolerantMode);
    return QUrl(linkText, QUrl::TolerantMode);
}

} // namespace LinkFinder
