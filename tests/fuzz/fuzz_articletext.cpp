// What a reader sees of an answer, from any header block and body: MIME
// structure, transfer encodings, charsets, format=flowed, HTML, uuencode.
//
// Input: byte 0 picks a frame around the fuzzed body (low two bits: none,
// 100 nested multipart/mixed levels, a big base64 part after it, or a
// multipart/alternative with an HTML version), then the header block and the
// body separated by 0x1E (no 0x1E: all header, empty body).
//
// Checks: it ends (libFuzzer's timeout catches a hang) and its results stay
// in proportion to the input: the text has no more characters than the
// input has bytes (plus a little for the headings of enclosed messages and
// made-up lines), and the files together no more bytes.

#include "fuzzcheck.h"

#include "articletext/shownarticle.h"

#include <cstddef>
#include <cstdint>

namespace {

#ifdef QUORBIC_FUZZ_LARGE
constexpr qsizetype bigPart = 10 * 1024 * 1024;
#else
constexpr qsizetype bigPart = 256 * 1024;
#endif

QByteArray nested(const QByteArray &body, int depth)
{
    QByteArray framed;
    for (int i = 0; i < depth; ++i)
        framed += "--n" + QByteArray::number(i) + "\r\nContent-Type: multipart/mixed; boundary=n"
            + QByteArray::number(i + 1) + "\r\n\r\n";
    framed += "--n" + QByteArray::number(depth) + "\r\n" + body;
    for (int i = depth; i >= 0; --i)
        framed += "\r\n--n" + QByteArray::number(i) + "--\r\n";
    return framed;
}

QByteArray withBigPart(const QByteArray &body)
{
    QByteArray line(76, 'A');
    line += "\r\n";
    QByteArray base64;
    base64.reserve(bigPart + bigPart / 38);
    while (base64.size() < bigPart)
        base64 += line;
    return "--b\r\n" + body
        + "\r\n--b\r\nContent-Type: image/png; name=big.png\r\n"
          "Content-Transfer-Encoding: base64\r\n\r\n"
        + base64 + "--b--\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype split = input.indexOf('\x1e');
    QByteArray header = split < 0 ? input : input.left(split);
    QByteArray body = split < 0 ? QByteArray() : input.mid(split + 1);
    qsizetype framing = 0;
    switch (data[0] & 3) {
    case 1:
        header += "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=n0\r\n";
        body = nested(body, 100);
        framing = body.size() + header.size();
        break;
    case 2:
        header += "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n";
        body = withBigPart(body);
        framing = body.size() + header.size();
        break;
    case 3:
        header += "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=a\r\n";
        body = "--a\r\nContent-Type: text/html\r\n\r\n" + body + "\r\n--a--\r\n";
        framing = 64;
        break;
    default:
        break;
    }
    const ShownArticle shown = ArticleText::shown(header, body);
    const QString displayed = shown.displayText();
    const qsizetype limit = input.size() + framing + 1024;
    FUZZ_CHECK(shown.text.size() <= 2 * limit, "more text than the input could hold");
    qsizetype files = 0;
    for (const Attachment &file : shown.attachments) {
        files += file.size();
        FUZZ_CHECK(!file.name.contains(QLatin1Char('/')), "a file name with a folder in it");
    }
    FUZZ_CHECK(files <= limit + framing, "more file bytes than the input holds");
    FUZZ_CHECK(displayed.startsWith(shown.text), "the displayed text does not begin with the text");
    return 0;
}
