// The reader of the NNTP and SOCKS byte stream, fed with any bytes in pieces
// of any size and read by any sequence of reply, data-block, line and
// byte-count reads.
//
// Input: byte 0 the piece size (0: everything at once, no wait function),
// byte 1 the line limit (0: the default), byte 2 whether the last piece comes
// together with the close, bytes 3-10 the reads to make in turn (low two bits:
// reply, data block, line, bytes; the other six bits the byte count), and the
// rest the stream.
//
// Every line and byte run the reader hands out is checked against a plain cut
// of the whole stream, so no piece boundary may lose, repeat or reorder a
// byte; every result is checked against what its reads took; and the only
// failures allowed are a closed stream where the stream really ends and an
// overlong line where a line really is too long.

#include "fuzzcheck.h"

#include "tests/support/piecefeed.h"
#include "transport/clienterrors.h"
#include "transport/replyreader.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int headerSize = 11;
constexpr int readCount = 8;
constexpr int maxReads = 4096;

enum Read { ReadReply, ReadDataBlock, ReadLine, ReadBytes };

// The stream cut the plain way, followed along with the reader.
class Reference
{
public:
    Reference(const QByteArray &bytes, qsizetype limit)
        : m_bytes(bytes)
        , m_limit(limit)
    {}

    void takeLine(const QByteArray &line)
    {
        const qsizetype lf = m_bytes.indexOf('\n', m_pos);
        FUZZ_CHECK(lf >= 0, "a line was delivered that has no line end in the stream");
        qsizetype end = lf;
        if (end > m_pos && m_bytes.at(end - 1) == '\r')
            --end;
        FUZZ_CHECK(line == m_bytes.mid(m_pos, end - m_pos), "a line differs from the stream");
        FUZZ_CHECK(line.size() <= m_limit, "a line over the limit was delivered");
        m_pos = lf + 1;
    }

    void takeBytes(const QByteArray &bytes)
    {
        FUZZ_CHECK(bytes == m_bytes.mid(m_pos, bytes.size()), "a byte run differs from the stream");
        FUZZ_CHECK(m_pos + bytes.size() <= m_bytes.size(), "more bytes delivered than sent");
        m_pos += bytes.size();
    }

    // Why the next line cannot be read: 'c' the stream ends first, 'l' it is too long.
    char lineFailure() const
    {
        const qsizetype lf = m_bytes.indexOf('\n', m_pos);
        if (lf < 0)
            return m_bytes.size() - m_pos > m_limit + 1 ? 'l' : 'c';
        qsizetype end = lf;
        if (end > m_pos && m_bytes.at(end - 1) == '\r')
            --end;
        return end - m_pos > m_limit ? 'l' : 0;
    }

    qsizetype left() const { return m_bytes.size() - m_pos; }

private:
    QByteArray m_bytes;
    qsizetype m_limit;
    qsizetype m_pos = 0;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

void checkReply(const NntpReply &reply, const QList<QByteArray> &taken)
{
    QList<QByteArray> expected;
    for (const QByteArray &line : taken) {
        if (!line.trimmed().isEmpty())
            expected.append(line.trimmed());
    }
    FUZZ_CHECK(reply.lines == expected, "reply lines are not the non-blank lines taken");
    FUZZ_CHECK(!expected.isEmpty(), "a reply without a line");
    FUZZ_CHECK(!taken.last().trimmed().isEmpty(), "a reply read past its last line");
    const QByteArray first = expected.first();
    FUZZ_CHECK(reply.code == ReplyReader::replyCode(first), "reply code not from the first line");
    const bool multiLine = first.size() >= 4 && first.at(3) == '-';
    if (!multiLine) {
        FUZZ_CHECK(expected.size() == 1, "a single-line reply read more than one line");
        return;
    }
    const auto ends = [&first](const QByteArray &line) {
        return line.startsWith(first.left(3)) && (line.size() == 3 || isBlank(line.at(3)));
    };
    FUZZ_CHECK(expected.size() >= 2 && ends(expected.last()), "a multi-line reply ended early");
    for (qsizetype i = 1; i + 1 < expected.size(); ++i)
        FUZZ_CHECK(!ends(expected.at(i)), "a multi-line reply read past its last line");
}

void checkDataBlock(const QList<QByteArray> &block, const QList<QByteArray> &taken)
{
    FUZZ_CHECK(!taken.isEmpty() && taken.last() == ".", "a data block not ended by the lone dot");
    FUZZ_CHECK(block.size() == taken.size() - 1, "data lines lost or added");
    for (qsizetype i = 0; i < block.size(); ++i) {
        const QByteArray &raw = taken.at(i);
        FUZZ_CHECK(raw != ".", "a data block read past its lone dot");
        FUZZ_CHECK(block.at(i) == (raw.startsWith("..") ? raw.mid(1) : raw), "dot-unstuffing wrong");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < headerSize)
        return 0;
    const qsizetype pieceSize = data[0];
    const qsizetype limit = data[1] == 0 ? 1024 * 1024 : data[1];
    const bool closeWithLast = data[2] & 1;
    const uint8_t *reads = data + 3;
    const QByteArray stream(reinterpret_cast<const char *>(data + headerSize), qsizetype(size - headerSize));

    PieceFeed feed(pieceSize == 0 ? QByteArray() : stream, pieceSize, closeWithLast);
    if (pieceSize == 0) {
        feed.device()->write(stream);
        feed.device()->seek(0);
    }
    ReplyReader::WaitForData wait;
    if (pieceSize > 0)
        wait = [&feed] { return feed.more(); };
    ReplyReader reader(feed.device(), wait, limit);

    Reference reference(stream, limit);
    QList<QByteArray> taken; // the lines the current read took
    reader.setObserver([&](const QByteArray &bytes, bool isLine) {
        if (isLine) {
            reference.takeLine(bytes);
            taken.append(bytes);
        } else {
            reference.takeBytes(bytes);
        }
    });

    for (int n = 0; n < maxReads; ++n) {
        const uint8_t step = reads[n % readCount];
        const Read read = Read(step & 3);
        const qsizetype count = step >> 2;
        taken.clear();
        try {
            switch (read) {
            case ReadReply:
                checkReply(reader.readReply(), taken);
                break;
            case ReadDataBlock:
                checkDataBlock(reader.readDataBlock(), taken);
                break;
            case ReadLine: {
                const QByteArray line = reader.readLine();
                FUZZ_CHECK(taken == QList<QByteArray>{line}, "readLine took other lines");
                break;
            }
            case ReadBytes:
                FUZZ_CHECK(reader.readBytes(count).size() == count, "readBytes gave a short run");
                break;
            }
        } catch (const ConnectionClosed &) {
            if (read == ReadBytes)
                FUZZ_CHECK(reference.left() < count, "closed although the bytes were there");
            else
                FUZZ_CHECK(reference.lineFailure() == 'c', "closed although a line was there");
            return 0;
        } catch (const ClientError &) {
            FUZZ_CHECK(read != ReadBytes, "a byte count failed other than by a close");
            FUZZ_CHECK(reference.lineFailure() == 'l', "a line refused that is within the limit");
            return 0;
        }
    }
    return 0;
}
