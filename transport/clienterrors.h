#pragma once
// Failures of the news client. Every failure is a ClientError; callers tell the
// kinds apart by catching them in this order: ConnectionRefused, SocketError,
// ConnectionClosed, ReplyError, ClientError.

#include <QByteArray>
#include <QString>

#include <exception>

// The number a SocketError carries when a host name does not resolve. Socket
// failures carry the system's errno (positive); resolver failures carry the
// resolver's EAI_* code (negative), so the two ranges cannot collide. This one is
// EAI_NONAME ("Name or service not known"); the resolver's "no such host" answers
// (EAI_NONAME, EAI_NODATA, EAI_ADDRFAMILY, EAI_FAIL) are all reported with it.
inline constexpr int HostNotFoundErrorNumber = -2;

class ClientError : public std::exception
{
public:
    explicit ClientError(QString text);
    ~ClientError() override;

    const QString &text() const { return m_text; }
    const char *what() const noexcept override;

private:
    QString m_text;
    QByteArray m_what;
};

// The connection could not be made, or a send or receive failed at the socket
// level, or a time limit expired (ETIMEDOUT).
class SocketError : public ClientError
{
public:
    // Text: "Socket Error # <number>", a line break, the system's description.
    explicit SocketError(int errorNumber);
    SocketError(int errorNumber, const QString &description);

    int errorNumber() const { return m_errorNumber; }

    // The system's description of a socket (errno) or resolver (EAI_*) number.
    static QString describe(int errorNumber);

private:
    int m_errorNumber;
};

// The server closed the connection while the client waited for data.
class ConnectionClosed : public ClientError
{
public:
    ConnectionClosed();
};

// A reply whose code the command does not accept. The text is the reply line.
class ReplyError : public ClientError
{
public:
    ReplyError(int code, const QString &replyLine);
    // A text of the client's own about the reply.
    ReplyError(int code, const QString &replyLine, const QString &text);

    int code() const { return m_code; }
    const QString &replyLine() const { return m_replyLine; }

private:
    int m_code;
    QString m_replyLine;
};

// The greeting was 502, or a code no greeting may have (RFC 3977 allows only
// 200, 201, 400 and 502): the server refuses this client. The text is fixed
// for 502; for any other code it is the server's own reply line.
class ConnectionRefused : public ReplyError
{
public:
    ConnectionRefused(int code, const QString &replyLine);
};

// An article's body larger than the client's limit. The rest of the body was
// read and thrown away, so the connection goes on with the next command.
class OversizedBody : public ClientError
{
public:
    OversizedBody(quint64 articleNumber, qsizetype limit);
};
