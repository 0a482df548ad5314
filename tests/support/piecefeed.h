#pragma once
// A device that hands out its bytes in fixed pieces, one piece per wait, the
// way a socket delivers a reply in several segments: the wait function a
// ReplyReader is given calls more(). Header-only, so that the fuzz targets,
// built without the test fixtures, use it too.

#include <QBuffer>
#include <QByteArray>

class PieceFeed
{
public:
    // closeWithLast: the peer closes together with its last piece, whose bytes
    // must still count.
    PieceFeed(const QByteArray &bytes, qsizetype pieceSize, bool closeWithLast = false)
        : m_bytes(bytes)
        , m_pieceSize(pieceSize)
        , m_closeWithLast(closeWithLast)
    {
        m_buffer.open(QIODevice::ReadWrite);
    }

    QIODevice *device() { return &m_buffer; }

    // Appends the next piece; false when nothing more will come.
    bool more()
    {
        if (m_sent >= m_bytes.size())
            return false;
        const qint64 readPos = m_buffer.pos();
        m_buffer.seek(m_buffer.size());
        m_buffer.write(m_bytes.mid(m_sent, m_pieceSize));
        m_buffer.seek(readPos);
        m_sent += m_pieceSize;
        ++m_waits;
        return !(m_closeWithLast && m_sent >= m_bytes.size());
    }

    int waits() const { return m_waits; }

private:
    QByteArray m_bytes;
    qsizetype m_pieceSize;
    bool m_closeWithLast;
    qsizetype m_sent = 0;
    int m_waits = 0;
    QBuffer m_buffer;
};
