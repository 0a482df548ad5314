#pragma once
// Reads the NNTP (and SOCKS) byte stream of one connection: lines, replies,
// multi-line data blocks and raw byte counts. Works on any QIODevice; the owner
// supplies the wait for more bytes, so a QBuffer serves the tests and a socket
// with its time limits serves the client. Reads only what it needs: bytes after
// a reply stay buffered for the next read.

#include <QByteArray>
#include <QList>

#include <functional>

class QIODevice;

struct NntpReply
{
    int code = 0;
    QList<QByteArray> lines; // all lines of the reply, surrounding blanks removed
    QByteArray line() const { return lines.isEmpty() ? QByteArray() : lines.last(); }
};

class ReplyReader
{
public:
    // Blocks until the device may have more bytes; false when the peer has
    // closed. May throw (a time limit). Without one, the end of the device's
    // data is the end of the stream.
    using WaitForData = std::function<bool()>;
    // Sees every line and raw byte run as it is taken from the stream.
    using Observer = std::function<void(const QByteArray &bytes, bool isLine)>;

    explicit ReplyReader(QIODevice *device, WaitForData waitForData = {}, qsizetype maxLineLength = 1024 * 1024);

    void setMaxLineLength(qsizetype length) { m_maxLineLength = length; }
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    // One line up to LF, without the LF and a CR before it. ConnectionClosed when
    // the stream ends first, ClientError when it is longer than the limit.
    QByteArray readLine();
    // Exactly count bytes; ConnectionClosed when the stream ends first.
    QByteArray readBytes(qsizetype count);

    // A reply: blank lines skipped, a multi-line reply ("xyz-") read to its line
    // "xyz " (or "xyz" alone); the code from the first line.
    NntpReply readReply();

    // One line of a multi-line data block, dot-unstuffed; false at the lone ".".
    bool readDataLine(QByteArray &line);
    // The same as a view into the reader's buffer, valid until the next read:
    // a list of 100,000 lines is read without a copy of each.
    bool readDataLine(QByteArrayView &line);
    QList<QByteArray> readDataBlock();

    // Bytes taken from the device but not yet read.
    qsizetype bufferedBytes() const { return m_buffer.size() - m_pos; }

    // The number formed by the first three characters; 0 when they are not digits.
    static int replyCode(const QByteArray &line);

private:
    bool fill();
    // The next line in the buffer, without its line end, and the reader past it.
    QByteArrayView takeLine();

    QIODevice *m_device;
    WaitForData m_waitForData;
    qsizetype m_maxLineLength;
    Observer m_observer;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_ended = false;
};
