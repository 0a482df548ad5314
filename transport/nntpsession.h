#pragma once
// One open connection of the news client: the socket with its time limits, the
// reader of its byte stream and, when switched on, the session trace. Maps Qt's
// socket failures onto the client's failure kinds. The socket is a QSslSocket
// that stays plain TCP until startTls().

#include "transport/waitevents.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QSslSocket;
class ReplyReader;
class SessionTrace;
struct NewsClientLimits;

class NntpSession
{
public:
    // Connects to host:port within the connect limit; throws SocketError.
    // Every wait of the session calls handler (owned by the caller, who keeps
    // it alive as long as the session) as waitevents.h says.
    NntpSession(const QString &host, int port, const NewsClientLimits &limits, const WaitHandler &handler);
    ~NntpSession();

    ReplyReader &reader() { return *m_reader; }

    // What the TLS handshake found against the server's certificate.
    struct TlsCheck
    {
        QStringList problems; // verification failures, empty when trusted
        QByteArray certificateDigest; // SHA-256 of the server's certificate
    };
    // Makes the connection TLS from here on (at once after the TCP connection
    // or the SOCKS exchange, or after a 382 to STARTTLS) and completes the
    // handshake within the idle limit. The certificate is verified against the
    // system's trust store plus extraCaCertificates (PEM) and peerName; its
    // failures are returned, not thrown, for the caller to decide on before
    // sending anything. Bytes the server sent before the handshake would be
    // taken as encrypted words: any such bytes fail with ClientError. A failed
    // handshake is ClientError, a closed connection ConnectionClosed, the
    // expired limit SocketError ETIMEDOUT.
    TlsCheck startTls(const QString &peerName, const QByteArray &extraCaCertificates);
    bool encrypted() const;

    // Sends line and CR LF; traceText, when given, is written to the trace in
    // its place (a masked password).
    void writeLine(const QByteArray &line, const QByteArray &traceText = {});
    // Sends the lines, each with CR LF, in one go.
    void writeLines(const QList<QByteArray> &lines);
    // Raw bytes (the SOCKS exchange); secret keeps them out of the trace.
    void writeBytes(const QByteArray &bytes, bool secret);
    // Sends line and CR LF as far as the socket takes it, ignoring failures.
    void writeLineQuietly(const QByteArray &line);

    // While on, a wait for more of a reply lets bytes gather before the
    // reader wakes (see waitForBulk): for long replies read line by line.
    void setBulkReading(bool on) { m_bulkReading = on; }

private:
    void send(const QByteArray &bytes);
    bool waitForData();
    bool waitForBulk();
    // A socket wait of the idle limit, in slices that let the handler run.
    bool waitOnSocket(const std::function<bool(int sliceMs)> &waitOnce);
    [[noreturn]] void fail();
    [[noreturn]] void failHandshake();

    std::unique_ptr<QSslSocket> m_socket;
    std::unique_ptr<ReplyReader> m_reader;
    std::unique_ptr<SessionTrace> m_trace;
    int m_idleTimeoutMs;
    const WaitHandler &m_waitHandler;
    bool m_bulkReading = false;
};
