#include "cli/terminalsafe.h"

namespace Cli {

namespace {

constexpr char kReplacement = '?';

bool keptControl(uint c)
{
    return c == '\t' || c == '\n';
}

} // namespace

QString terminalSafe(QString text)
{
    for (QChar &c : text) {
        const uint u = c.unicode();
        if ((u < 0x20 && !keptControl(u)) || (u >= 0x7F && u <= 0x9F))
            c = QLatin1Char(kReplacement);
    }
    return text;
}

QByteArray terminalSafeUtf8(QByteArray bytes)
{
    // C1 characters are U+0080..U+009F, in UTF-8 the pairs C2 80..C2 9F; an
    // encoder writes a character's bytes together, so a pair is never split
    // between two writes.
    qsizetype to = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = uchar(bytes[i]);
        if ((b < 0x20 && !keptControl(b)) || b == 0x7F) {
            bytes[to++] = kReplacement;
        } else if (b == 0xC2 && i + 1 < bytes.size() && uchar(bytes[i + 1]) >= 0x80 && uchar(bytes[i + 1]) <= 0x9F) {
            bytes[to++] = kReplacement;
            ++i;
        } else {
            bytes[to++] = char(b);
        }
    }
    bytes.truncate(to);
    return bytes;
}

} // namespace Cli

TerminalSafeDevice::TerminalSafeDevice(FILE *to)
    : m_to(to)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TerminalSafeDevice::writeData(const char *data, qint64 length)
{
    const QByteArray safe = Cli::terminalSafeUtf8(QByteArray(data, length));
    if (std::fwrite(safe.constData(), 1, size_t(safe.size()), m_to) != size_t(safe.size()))
        return -1;
    std::fflush(m_to);
    return length;
}
