#include "transport/replyreader.h"

#include "transport/clienterrors.h"

#include <QIODevice>

namespace {
constexpr qsizetype ChunkSize = 64 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
} // namespace

ReplyReader::ReplyReader(QIODevice *device, WaitForData waitForData, qsizetype maxLineLength)
    : m_device(device)
    , m_waitForData(std::move(waitForData))
    , m_maxLineLength(maxLineLength)
{}

// Moves what the device holds into the buffer, waiting for more when it holds
// nothing. False when the stream has ended.
bool ReplyReader::fill()
{
    if (m_pos > 0 && m_pos * 2 >= m_buffer.size()) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    for (;;) {
        if (m_ended)
            return false;
        if (const qint64 available = m_device->bytesAvailable(); available > 0) {
            // read(n) sets aside n bytes first: ask for what is there, not a
            // whole chunk for every small segment.
            const QByteArray chunk = m_device->read(qMin<qint64>(ChunkSize, available));
            if (!chunk.isEmpty()) {
                m_buffer.append(chunk);
                return true;
            }
        }
        if (!m_waitForData || !m_waitForData()) {
            // Bytes that arrived together with the close are still readable.
            if (m_device->bytesAvailable() > 0)
                continue;
            m_ended = true;
            return false;
        }
    }
}

QByteArray ReplyReader::readLine()
{
    return takeLine().toByteArray();
}

QByteArrayView ReplyReader::takeLine()
{
    const auto tooLong = [this] {
        return ClientError(QStringLiteral("The server sent a line longer than %1 bytes.").arg(m_maxLineLength));
    };
    qsizetype scanned = 0; // bytes after m_pos already searched for LF
    for (;;) {
        const qsizetype lf = m_buffer.indexOf('\n', m_pos + scanned);
        if (lf >= 0) {
            qsizetype end = lf;
            if (end > m_pos && m_buffer.at(end - 1) == '\r')
                --end;
            if (end - m_pos > m_maxLineLength)
                throw tooLong();
            const QByteArrayView line(m_buffer.constData() + m_pos, end - m_pos);
            m_pos = lf + 1;
            if (m_observer)
                m_observer(line.toByteArray(), true);
            return line;
        }
        scanned = m_buffer.size() - m_pos;
        // The CR of the line end may already be there: allow one byte more.
        if (scanned > m_maxLineLength + 1)
            throw tooLong();
        if (!fill())
            throw ConnectionClosed();
    }
}

QByteArray ReplyReader::readBytes(qsizetype count)
{
    while (m_buffer.size() - m_pos < count) {
        if (!fill())
            throw ConnectionClosed();
    }
    QByteArray bytes = m_buffer.mid(m_pos, count);
    m_pos += count;
    if (m_observer)
        m_observer(bytes, false);
    return bytes;
}

int ReplyReader::replyCode(const QByteArray &line)
{
    if (line.size() < 3)
        return 0;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        const char c = line.at(i);
        if (c < '0' || c > '9')
            return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

NntpReply ReplyReader::readReply()
{
    NntpReply reply;
    QByteArray first;
    do {
        first = readLine().trimmed();
    } while (first.isEmpty());
    reply.lines.append(first);
    reply.code = replyCode(first);

    if (first.size() >= 4 && first.at(3) == '-') {
        const QByteArray prefix = first.left(3);
        for (;;) {
            const QByteArray line = readLine().trimmed();
            if (line.isEmpty())
                continue;
            reply.lines.append(line);
            if (line.startsWith(prefix) && (line.size() == 3 || isBlank(line.at(3))))
                break;
        }
    }
    return reply;
}

bool ReplyReader::readDataLine(QByteArray &line)
{
    QByteArrayView view;
    const bool more = readDataLine(view);
    line = view.toByteArray();
    return more;
}

bool ReplyReader::readDataLine(QByteArrayView &line)
{
    line = takeLine();
    if (line.startsWith('.')) {
        if (line.size() == 1)
            return false;
        if (line.at(1) == '.')
            line = line.sliced(1);
    }
    return true;
}

QList<QByteArray> ReplyReader::readDataBlock()
{
    QList<QByteArray> lines;
    QByteArray line;
    while (readDataLine(line))
        lines.append(line);
    return lines;
}
