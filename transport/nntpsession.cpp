#include "transport/nntpsession.h"

#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/replyreader.h"
#include "transport/sessiontrace.h"
#include "transport/tcpconnector.h"

#include <QCryptographicHash>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslSocket>

#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Qt reads from the system in steps of this size; the reader keeps at most one
// line beyond it, so a server cannot make the client buffer without bound.
constexpr qint64 SocketBufferSize = 64 * 1024;

// A long reply is woken for once this much of it has arrived, or after
// BulkWaitMs with what there is (see waitForBulk).
constexpr int BulkBytes = 16 * 1024;
constexpr int BulkWaitMs = 2;

// The bytes that must be waiting before a wait for reading ends (SO_RCVLOWAT).
void setLowWater(QSslSocket &socket, int bytes)
{
    ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_RCVLOWAT, &bytes, sizeof bytes);
}

int errorNumberFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return ECONNREFUSED;
    case QAbstractSocket::HostNotFoundError:
        return HostNotFoundErrorNumber;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketResourceError:
        return ENOBUFS;
    case QAbstractSocket::SocketTimeoutError:
        return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
        return ENETDOWN;
    default:
        return EIO;
    }
}
} // namespace

NntpSession::NntpSession(const QString &host, int port, const NewsClientLimits &limits, const WaitHandler &handler)
    : m_trace(SessionTrace::fromEnvironment())
    , m_idleTimeoutMs(limits.idleTimeoutMs)
    , m_waitHandler(handler)
{
    if (m_trace)
        m_trace->comment(QStringLiteral("connection to %1:%2").arg(host).arg(port).toUtf8());
    const int fd = openTcpConnection(host, port, limits.connectTimeoutMs, handler);
    m_socket = std::make_unique<QSslSocket>();
    m_socket->setReadBufferSize(SocketBufferSize);
    if (!m_socket->setSocketDescriptor(fd)) {
        ::close(fd);
        throw SocketError(errorNumberFor(m_socket->error()));
    }
    m_reader = std::make_unique<ReplyReader>(
        m_socket.get(), [this] { return waitForData(); }, limits.maxLineLength);
    if (m_trace) {
        m_reader->setObserver([trace = m_trace.get()](const QByteArray &bytes, bool isLine) {
            isLine ? trace->receivedLine(bytes) : trace->receivedBytes(bytes);
        });
    }
}

NntpSession::~NntpSession()
{
    if (m_socket)
        m_socket->abort();
}

NntpSession::TlsCheck NntpSession::startTls(const QString &peerName, const QByteArray &extraCaCertificates)
{
    // Whatever arrived before the handshake came in plain text: read after it,
    // it would pass for the server's encrypted words (a STARTTLS injection).
    if (m_reader->bufferedBytes() > 0 || m_socket->bytesAvailable() > 0)
        throw ClientError(QStringLiteral("The server sent data before the TLS negotiation."));
    if (!QSslSocket::supportsSsl())
        throw ClientError(QStringLiteral("TLS is not available on this system."));

    QSslConfiguration configuration = m_socket->sslConfiguration();
    if (!extraCaCertificates.isEmpty()) {
        // Setting a list ends Qt's on-demand loading of the system's roots:
        // take them in explicitly. Reading them all takes a good part of a
        // second, so once per process.
        static const QList<QSslCertificate> systemRoots = QSslConfiguration::systemCaCertificates();
        configuration.setCaCertificates(systemRoots + QSslCertificate::fromData(extraCaCertificates, QSsl::Pem));
    }
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    m_socket->setSslConfiguration(configuration);
    m_socket->setPeerVerifyName(peerName);
    // Verification failures are the caller's to decide on after the handshake,
    // before a byte of the session goes through it; a handshake aborted here
    // would leave nothing to show the user.
    QSslSocket *socket = m_socket.get();
    QObject::connect(socket, &QSslSocket::sslErrors, socket, [socket] { socket->ignoreSslErrors(); });

    if (m_trace)
        m_trace->startedTls();
    m_socket->startClientEncryption();
    if (!waitOnSocket([socket](int sliceMs) { return socket->waitForEncrypted(sliceMs); }))
        failHandshake();

    TlsCheck check;
    for (const QSslError &error : m_socket->sslHandshakeErrors()) {
        const QString text = error.errorString();
        if (!check.problems.contains(text))
            check.problems.append(text);
    }
    check.certificateDigest = m_socket->peerCertificate().digest(QCryptographicHash::Sha256);
    return check;
}

bool NntpSession::encrypted() const
{
    return m_socket->isEncrypted();
}

void NntpSession::failHandshake()
{
    switch (m_socket->error()) {
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        throw ClientError(QStringLiteral("The TLS negotiation failed: %1.").arg(m_socket->errorString()));
    case QAbstractSocket::RemoteHostClosedError:
        throw ConnectionClosed();
    default:
        break;
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        throw ConnectionClosed();
    // Still connected and nothing failed: the wait ran out.
    throw SocketError(ETIMEDOUT);
}

void NntpSession::fail()
{
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError
        || m_socket->state() != QAbstractSocket::ConnectedState)
        throw ConnectionClosed();
    throw SocketError(errorNumberFor(m_socket->error()));
}

bool NntpSession::waitForData()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
#ifdef TCP_QUICKACK
    // Acknowledge at once, so a server that waits for our ACK before sending
    // the rest of a short reply (Nagle) is not held up by delayed ACKs.
    const int on = 1;
    ::setsockopt(int(m_socket->socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
    if (m_bulkReading && waitForBulk())
        return true;
    QSslSocket *socket = m_socket.get();
    if (waitOnSocket([socket](int sliceMs) { return socket->waitForReadyRead(sliceMs); }))
        return true;
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError
        || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    throw SocketError(errorNumberFor(m_socket->error()));
}

// INN writes a list a few KB at a time: woken for each, the reader spent
// more on waking (system calls, task switches, the server's socket lock) than
// on the lines, two thirds of its time on a list of known names. The kernel
// is asked to wake it only once BulkBytes are there; the end of a reply,
// shorter than that, and a server that sends slowly are read after
// BulkWaitMs by the ordinary wait. False leaves that wait to run and to tell
// a closed connection from a quiet one.
bool NntpSession::waitForBulk()
{
    setLowWater(*m_socket, BulkBytes);
    const bool ready = m_socket->waitForReadyRead(BulkWaitMs);
    setLowWater(*m_socket, 1);
    return ready;
}

bool NntpSession::waitOnSocket(const std::function<bool(int sliceMs)> &waitOnce)
{
    if (!m_waitHandler)
        return waitOnce(m_idleTimeoutMs);
    // A slice that runs out leaves the socket connected with a time-out error;
    // anything else ends the wait for the caller to sort out.
    const auto onlyRanOut = [this] {
        return m_socket->state() == QAbstractSocket::ConnectedState
            && m_socket->error() == QAbstractSocket::SocketTimeoutError;
    };
    try {
        return waitInSlices(m_waitHandler, QDeadlineTimer(m_idleTimeoutMs), waitOnce, onlyRanOut);
    } catch (const WaitAborted &) {
        m_socket->abort();
        throw;
    }
}

void NntpSession::send(const QByteArray &bytes)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState || m_socket->write(bytes) != bytes.size())
        fail();
    // Most commands leave at once: a wait (and its window events) only for
    // what the system did not take.
    m_socket->flush();
    QSslSocket *socket = m_socket.get();
    while (m_socket->bytesToWrite() > 0) {
        if (!waitOnSocket([socket](int sliceMs) { return socket->waitForBytesWritten(sliceMs); }))
            fail();
    }
}

void NntpSession::writeLine(const QByteArray &line, const QByteArray &traceText)
{
    if (m_trace)
        m_trace->sentLine(traceText.isNull() ? line : traceText);
    send(line + "\r\n");
}

void NntpSession::writeLines(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        if (m_trace)
            m_trace->sentLine(line);
        bytes += line;
        bytes += "\r\n";
    }
    send(bytes);
}

void NntpSession::writeBytes(const QByteArray &bytes, bool secret)
{
    if (m_trace) {
        if (secret)
            m_trace->comment("C> (socks user name and password, not shown)");
        else
            m_trace->sentBytes(bytes);
    }
    send(bytes);
}

void NntpSession::writeLineQuietly(const QByteArray &line)
{
    if (m_trace)
        m_trace->sentLine(line);
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(line + "\r\n");
    while (m_socket->bytesToWrite() > 0 && m_socket->waitForBytesWritten(m_idleTimeoutMs)) {}
}
