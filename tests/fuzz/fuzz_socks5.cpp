// The SOCKS 5 exchange against a proxy that answers anything, in pieces of any
// size, with any user name, password, host name and port.
//
// Input: byte 0 flags (bit 0 with login; bits 1-2 the port: 1 gives -1, 2
// gives 65536, else bytes 5-6), byte 1 the piece size (0: all at once), bytes
// 2-4 the lengths of user name, password and host name, bytes 5-6 the port,
// then those three texts (UTF-8, invalid sequences allowed) and the rest the
// proxy's answer.
//
// A second, plain reading of the answer says what must happen: the bytes the
// client sends, the failure text or success, and where the news server's
// bytes begin. The exchange must agree on all three, and fail only as a
// ClientError.

#include "fuzzcheck.h"

#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/replyreader.h"
#include "transport/socks5.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int headerSize = 7;

struct Outcome
{
    QByteArray sent;
    QString failure; // empty on success
    QByteArray leftOver; // the bytes after the proxy's reply, on success
};

QByteArray counted(const QByteArray &bytes)
{
    return char(bytes.size()) + bytes;
}

// The exchange as RFC 1928 and 1929 lay it out, read from the whole answer.
Outcome expected(bool login, const QString &user, const QString &password, const QString &host, int port,
                 const QByteArray &answer)
{
    Outcome out;
    if (port < 0 || port > 65535) {
        out.failure = QStringLiteral("Invalid port number %1.").arg(port);
        return out;
    }
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    const QByteArray hostBytes = host.toUtf8();
    if ((login && (userBytes.size() > 255 || passwordBytes.size() > 255)) || hostBytes.size() > 255) {
        out.failure = QStringLiteral("longer than 255 bytes");
        return out;
    }
    const QString noResponse = QStringLiteral("Socks server did not respond.");
    const char method = login ? 2 : 0;
    qsizetype pos = 0;
    const auto have = [&](qsizetype n) { return answer.size() - pos >= n; };

    out.sent += QByteArray("\x05\x01", 2) + method;
    if (!have(2))
        return out.failure = noResponse, out;
    if (answer.at(pos + 1) != method)
        return out.failure = QStringLiteral("Invalid socks authentication method."), out;
    pos += 2;
    if (login) {
        out.sent += '\x01' + counted(userBytes) + counted(passwordBytes);
        if (!have(2))
            return out.failure = noResponse, out;
        if (answer.at(pos + 1) != 0)
            return out.failure = QStringLiteral("Authentication error to socks server."), out;
        pos += 2;
    }
    out.sent += QByteArray("\x05\x01\x00\x03", 4) + counted(hostBytes) + char(port >> 8) + char(port & 0xff);
    if (!have(5))
        return out.failure = noResponse, out;
    const int reply = quint8(answer.at(pos + 1));
    if (reply != 0)
        return out.failure = Socks5Exchange::replyText(reply), out;
    qsizetype length = 0;
    switch (answer.at(pos + 3)) {
    case 1:
        length = 4 + 2;
        break;
    case 3:
        length = 1 + quint8(answer.at(pos + 4)) + 2;
        break;
    case 4:
        length = 16 + 2;
        break;
    default:
        return out.failure = QStringLiteral("Unknown socks error."), out;
    }
    pos += 4;
    if (!have(length))
        return out.failure = noResponse, out;
    out.leftOver = answer.mid(pos + length);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < headerSize)
        return 0;
    const bool login = data[0] & 1;
    const int portMode = (data[0] >> 1) & 3;
    const qsizetype pieceSize = data[1];
    int port = (data[5] << 8) | data[6];
    if (portMode == 1)
        port = -1;
    else if (portMode == 2)
        port = 65536;

    const QByteArray rest(reinterpret_cast<const char *>(data + headerSize), qsizetype(size - headerSize));
    qsizetype pos = 0;
    const auto take = [&](qsizetype length) {
        const QByteArray part = rest.mid(pos, length);
        pos += part.size();
        return QString::fromUtf8(part);
    };
    SocksSettings socks;
    socks.Authentication = login ? SocksAuthentication::saUsernamePassword : SocksAuthentication::saNoAuthentication;
    socks.UserID = take(data[2]);
    socks.Password = take(data[3]);
    const QString host = take(data[4]);
    const QByteArray answer = rest.mid(pos);

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    qsizetype served = 0;
    ReplyReader::WaitForData wait;
    if (pieceSize == 0) {
        buffer.write(answer);
        buffer.seek(0);
    } else {
        wait = [&] {
            if (served >= answer.size())
                return false;
            const qint64 readPos = buffer.pos();
            buffer.seek(buffer.size());
            buffer.write(answer.mid(served, pieceSize));
            buffer.seek(readPos);
            served += pieceSize;
            return true;
        };
    }
    ReplyReader reader(&buffer, wait);

    const Outcome want = expected(login, socks.UserID, socks.Password, host, port, answer);
    Outcome actual;
    Socks5Exchange exchange(reader, [&actual, login](const QByteArray &bytes, bool secret) {
        FUZZ_CHECK(secret == (login && bytes.startsWith('\x01')), "secret flag on the wrong bytes");
        actual.sent += bytes;
    });
    try {
        exchange.connectThrough(socks, host, port);
        // What the proxy sent after its reply must reach the news session whole.
        actual.leftOver = reader.readBytes(want.leftOver.size());
    } catch (const ConnectionClosed &) {
        FUZZ_CHECK(false, "a closed proxy connection must read as a socks failure");
    } catch (const ClientError &e) {
        actual.failure = e.text();
    }

    if (want.failure == QLatin1String("longer than 255 bytes"))
        FUZZ_CHECK(actual.failure.contains(want.failure), "an overlong field not refused");
    else
        FUZZ_CHECK(actual.failure == want.failure, qPrintable(actual.failure + QLatin1String(" / ") + want.failure));
    FUZZ_CHECK(actual.sent == want.sent, "the bytes sent differ");
    if (want.failure.isEmpty()) {
        FUZZ_CHECK(actual.leftOver == want.leftOver, "the news server's bytes differ");
        bool closed = false;
        try {
            reader.readBytes(1);
        } catch (const ConnectionClosed &) {
            closed = true;
        }
        FUZZ_CHECK(closed, "bytes after the news server's");
    }
    return 0;
}
