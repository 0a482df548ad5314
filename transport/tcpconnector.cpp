#include "transport/tcpconnector.h"

#include "transport/clienterrors.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
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

// The resolver has no time limit of its own and cannot be interrupted: with a
// handler it runs on a thread of its own, which is left to finish by itself
// when the handler gives up.
struct Resolution
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int result = 0;
    addrinfo *addresses = nullptr;
    bool abandoned = false;
};

int resolve(const QByteArray &host, const QByteArray &port, const addrinfo &hints, addrinfo **addresses,
            const WaitHandler &handler)
{
    if (!handler)
        return ::getaddrinfo(host.constData(), port.constData(), &hints, addresses);
    auto state = std::make_shared<Resolution>();
    std::thread([state, host, port, hints] {
        addrinfo *found = nullptr;
        const int result = ::getaddrinfo(host.constData(), port.constData(), &hints, &found);
        std::lock_guard lock(state->mutex);
        if (state->abandoned) {
            if (result == 0)
                ::freeaddrinfo(found);
            return;
        }
        state->result = result;
        state->addresses = found;
        state->finished = true;
        state->done.notify_all();
    }).detach();
    const auto waitOnce = [&state](int sliceMs) {
        std::unique_lock lock(state->mutex);
        return state->done.wait_for(lock, std::chrono::milliseconds(sliceMs), [&state] { return state->finished; });
    };
    try {
        waitInSlices(handler, QDeadlineTimer(QDeadlineTimer::Forever), waitOnce, [] { return true; });
    } catch (...) {
        std::lock_guard lock(state->mutex);
        state->abandoned = true;
        throw;
    }
    *addresses = state->addresses;
    return state->result;
}

// Connects one address; 0 on success, else the errno of the failure.
int connectAddress(int fd, const addrinfo *address, const QDeadlineTimer &deadline, const WaitHandler &handler)
{
    if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd p{fd, POLLOUT, 0};
    int failure = 0;
    const auto waitOnce = [&](int sliceMs) {
        for (;;) {
            const int ready = ::poll(&p, 1, sliceMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                failure = errno;
            return ready != 0;
        }
    };
    if (!waitInSlices(handler, deadline, waitOnce, [&failure] { return failure == 0; }))
        return failure != 0 ? failure : ETIMEDOUT;
    if (failure != 0)
        return failure;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        return errno;
    return error;
}

} // namespace

int openTcpConnection(const QString &host, int port, int timeoutMs, const WaitHandler &handler)
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
    const int resolved = resolve(host.toUtf8(), QByteArray::number(port), hints, &addresses, handler);
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
        try {
            lastError = connectAddress(fd, a, deadline, handler);
        } catch (...) {
            ::close(fd);
            ::freeaddrinfo(addresses);
            throw;
        }
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
