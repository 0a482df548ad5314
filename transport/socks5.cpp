#include "transport/socks5.h"

#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/replyreader.h"

namespace {
constexpr char Version = 5;
constexpr char NoAuthentication = 0;
constexpr char UserPassword = 2;
constexpr char UserPasswordVersion = 1;
constexpr char CommandConnect = 1;
constexpr char AddressIPv4 = 1;
constexpr char AddressName = 3;
constexpr char AddressIPv6 = 4;

// RFC 1928 and 1929 give every length one byte: a longer field would be cut
// and the rest sent as the next field, so it is refused instead.
QByteArray counted(const QString &text, const char *what)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > 255)
        throw ClientError(QStringLiteral("The socks %1 is longer than 255 bytes.").arg(QLatin1String(what)));
    return char(bytes.size()) + bytes;
}
} // namespace

Socks5Exchange::Socks5Exchange(ReplyReader &reader, Write write)
    : m_reader(reader)
    , m_write(std::move(write))
{}

QByteArray Socks5Exchange::read(qsizetype count)
{
    try {
        return m_reader.readBytes(count);
    } catch (const ConnectionClosed &) {
        throw ClientError(QStringLiteral("Socks server did not respond."));
    }
}

QString Socks5Exchange::replyText(int reply)
{
    switch (reply) {
    case 1:
        return QStringLiteral("General SOCKS server failure.");
    case 2:
        return QStringLiteral("Connection not allowed by ruleset.");
    case 3:
        return QStringLiteral("Network unreachable.");
    case 4:
        return QStringLiteral("Host unreachable.");
    case 5:
        return QStringLiteral("Connection refused.");
    case 6:
        return QStringLiteral("TTL expired.");
    case 7:
        return QStringLiteral("Command not supported.");
    case 8:
        return QStringLiteral("Address type not supported.");
    default:
        return QStringLiteral("Unknown socks error.");
    }
}

void Socks5Exchange::connectThrough(const SocksSettings &socks, const QString &host, int port)
{
    if (port < 0 || port > 65535)
        throw ClientError(QStringLiteral("Invalid port number %1.").arg(port));
    // Check every field before the first byte goes out.
    const bool withLogin = socks.Authentication == SocksAuthentication::saUsernamePassword;
    const QByteArray user = withLogin ? counted(socks.UserID, "user name") : QByteArray();
    const QByteArray password = withLogin ? counted(socks.Password, "password") : QByteArray();
    const QByteArray name = counted(host, "host name");

    const char method = withLogin ? UserPassword : NoAuthentication;
    m_write(QByteArray(1, Version) + char(1) + method, false);
    if (read(2).at(1) != method)
        throw ClientError(QStringLiteral("Invalid socks authentication method."));

    if (withLogin) {
        m_write(UserPasswordVersion + user + password, true);
        if (read(2).at(1) != 0)
            throw ClientError(QStringLiteral("Authentication error to socks server."));
    }

    QByteArray request(1, Version);
    request += CommandConnect;
    request += char(0);
    request += AddressName;
    request += name;
    request += char((port >> 8) & 0xff);
    request += char(port & 0xff);
    m_write(request, false);

    // Version, reply, reserved, address type, and the first address byte.
    const QByteArray head = read(5);
    const int reply = quint8(head.at(1));
    if (reply != 0)
        throw ClientError(replyText(reply));

    // The bound address and port follow; the fifth byte was the first of them.
    qsizetype rest = 0;
    switch (head.at(3)) {
    case AddressIPv4:
        rest = 4 - 1 + 2;
        break;
    case AddressName:
        rest = quint8(head.at(4)) + 2;
        break;
    case AddressIPv6:
        rest = 16 - 1 + 2;
        break;
    default:
        // Without a known type the length of the rest is unknown.
        throw ClientError(replyText(-1));
    }
    read(rest);
}
