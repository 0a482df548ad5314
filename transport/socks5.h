#pragma once
// The SOCKS 5 exchange (RFC 1928, user name and password of RFC 1929) on an
// open connection to the proxy, asking it to connect to the news server. The
// news server's name is always sent as a name (address type 3), never resolved
// here. Failures are ClientError with the proxy's reason; a proxy that closes
// the connection gives "Socks server did not respond.". A time limit that
// expires stays a SocketError.

#include <QByteArray>
#include <QString>

#include <functional>

class ReplyReader;
struct SocksSettings;

class Socks5Exchange
{
public:
    // Sends bytes to the proxy; secret marks bytes holding a password.
    using Write = std::function<void(const QByteArray &bytes, bool secret)>;

    Socks5Exchange(ReplyReader &reader, Write write);

    void connectThrough(const SocksSettings &socks, const QString &host, int port);

    // The text for a reply byte of the connect request (1..8, else unknown).
    static QString replyText(int reply);

private:
    QByteArray read(qsizetype count);

    ReplyReader &m_reader;
    Write m_write;
};
