#include "exchange/postingtally.h"

namespace {

QString counted(int count, const char *singular, const char *plural)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? singular : plural);
}

} // namespace

QString PostingTally::text() const
{
    if (outboxEmpty)
        return QStringLiteral("Nothing to post: the Outbox is empty");
    QString text = QStringLiteral("Posted ") + counted(messages, "message", "messages") + QStringLiteral(" to ")
        + counted(newsgroups, "newsgroup", "newsgroups");
    if (failedNewsgroups > 0)
        text += QStringLiteral("; ") + counted(failedNewsgroups, "newsgroup", "newsgroups") + QStringLiteral(" failed");
    if (aborted)
        text += QStringLiteral("; aborted");
    if (endedByError)
        text += QStringLiteral("; posting ended by an error");
    return text;
}
