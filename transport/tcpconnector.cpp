#include "transport/tcpconnector.h"

#include "transport/clienterrors.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int resolverFailure(int code)
{
    switch (code) {
    case EAI_NONAME:
    case EAI_FAIL:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return HostNotFoundErrorNumber;
    case EAI_SYSTEM:
        return errno;
    default:
        return code;
    }
}

// Connects one address; 0 on success, else the errno of the failure.
int connectAddress(int fd, const addrinfo *address, const QDeadlineTimer &deadline)
{
    if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd p{fd, POLLOUT, 0};
    for (;;) {
        const qint64 remaining = deadline.remainingTime();
        const int ready = ::poll(&p, 1, remaining < 0 ? -1 : int(qMin<qint64>(remaining, INT_MAX)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        break;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        return errno;
    return error;
}

} // namespace

int openTcpConnection(const QString &host, int port, int timeoutMs)
{
    if (port < 0 || port > 65535)
        throw ClientError(QStringLiteral("Invalid port number %1.").arg(port));
    if (host.trimmed().isEmpty())
        throw SocketError(HostNotFoundErrorNumber);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo *addresses = nullptr;
    const int resolved
        = ::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &addresses);
    if (resolved != 0)
        throw SocketError(resolverFailure(resolved));

    const QDeadlineTimer deadline(timeoutMs);
    int lastError = EHOSTUNREACH;
    int connectedFd = -1;
    for (const addrinfo *a = addresses; a && connectedFd < 0; a = a->ai_next) {
        if (deadline.hasExpired()) {
            lastError = ETIMEDOUT;
            break;
        }
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        lastError = connectAddress(fd, a, deadline);
        if (lastError == 0)
            connectedFd = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(addresses);
    if (connectedFd < 0)
        throw SocketError(lastError);

    // Commands are short and each waits for its reply: do not hold them back.
    const int on = 1;
    ::setsockopt(connectedFd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return connectedFd;
}
