#pragma once
// One open connection of the news client: the socket with its time limits, the
// reader of its byte stream and, when switched on, the session trace. Maps Qt's
// socket failures onto the client's failure kinds.

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class QTcpSocket;
class ReplyReader;
class SessionTrace;
struct NewsClientLimits;

class NntpSession
{
public:
    // Connects to host:port within the connect limit; throws SocketError.
    NntpSession(const QString &host, int port, const NewsClientLimits &limits);
    ~NntpSession();

    ReplyReader &reader() { return *m_reader; }

    // Sends line and CR LF; traceText, when given, is written to the trace in
    // its place (a masked password).
    void writeLine(const QByteArray &line, const QByteArray &traceText = {});
    // Sends the lines, each with CR LF, in one go.
    void writeLines(const QList<QByteArray> &lines);
    // Raw bytes (the SOCKS exchange); secret keeps them out of the trace.
    void writeBytes(const QByteArray &bytes, bool secret);
    // Sends line and CR LF as far as the socket takes it, ignoring failures.
    void writeLineQuietly(const QByteArray &line);

private:
    void send(const QByteArray &bytes);
    bool waitForData();
    [[noreturn]] void fail();

    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<ReplyReader> m_reader;
    std::unique_ptr<SessionTrace> m_trace;
    int m_idleTimeoutMs;
};
