#include "transport/clienterrors.h"

#include <netdb.h>

static_assert(HostNotFoundErrorNumber == EAI_NONAME, "host-not-found number is the resolver's EAI_NONAME");

ClientError::ClientError(QString text)
    : m_text(std::move(text))
    , m_what(m_text.toUtf8())
{}

ClientError::~ClientError() = default;

const char *ClientError::what() const noexcept
{
    return m_what.constData();
}

SocketError::SocketError(int errorNumber)
    : SocketError(errorNumber, describe(errorNumber))
{}

SocketError::SocketError(int errorNumber, const QString &description)
    : ClientError(QStringLiteral("Socket Error # %1\n%2").arg(errorNumber).arg(description))
    , m_errorNumber(errorNumber)
{}

QString SocketError::describe(int errorNumber)
{
    if (errorNumber < 0)
        return QString::fromLocal8Bit(gai_strerror(errorNumber));
    return qt_error_string(errorNumber);
}

ConnectionClosed::ConnectionClosed()
    : ClientError(QStringLiteral("Connection Closed Gracefully."))
{}

ReplyError::ReplyError(int code, const QString &replyLine)
    : ReplyError(code, replyLine, replyLine)
{}

ReplyError::ReplyError(int code, const QString &replyLine, const QString &text)
    : ClientError(text)
    , m_code(code)
    , m_replyLine(replyLine)
{}

ConnectionRefused::ConnectionRefused(int code, const QString &replyLine)
    : ReplyError(code, replyLine,
                 code == 502 ? QStringLiteral("Connection explicitly refused by NNTP server.") : replyLine)
{}

OversizedBody::OversizedBody(quint64 articleNumber, qsizetype limit)
    : ClientError(
        QStringLiteral("The body of article %1 is larger than %2 bytes; it was skipped.").arg(articleNumber).arg(limit))
{}
