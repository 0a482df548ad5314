#include "articletext/uuencodedblocks.h"

#include "articletext/attachmentnames.h"

#include <QRegularExpression>

#include <gmime/gmime.h>

namespace UuencodedBlocks {
namespace {

// "begin 644 name": three or four octal digits of mode, then the file's name.
bool isBegin(QByteArrayView line, QByteArray &name)
{
    static const QRegularExpression begin(QStringLiteral("^begin [0-7]{3,4} (.+)$"));
    if (!line.startsWith("begin "))
        return false;
    const QRegularExpressionMatch match = begin.match(QString::fromLatin1(line.trimmed()));
    if (!match.hasMatch())
        return false;
    name = match.captured(1).toLatin1();
    return true;
}

// A line of uuencoded data: only the characters of the code.
bool isDataLine(QByteArrayView line)
{
    if (line.isEmpty() || line.size() > 128)
        return false;
    for (char c : line) {
        if (uchar(c) < 32 || uchar(c) > 96)
            return false;
    }
    // Some encoders drop trailing blanks, so a line may be shorter than its
    // length character says.
    return true;
}

QByteArray decode(const QByteArray &data)
{
    QByteArray out(data.size(), Qt::Uninitialized);
    int state = GMIME_UUDECODE_STATE_BEGIN;
    guint32 save = 0;
    const size_t n
        = g_mime_encoding_uudecode_step(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()),
                                        reinterpret_cast<unsigned char *>(out.data()), &state, &save);
    out.truncate(qsizetype(n));
    return out;
}

} // namespace

QByteArray extract(const QByteArray &text, QList<Attachment> &files)
{
    if (!text.contains("begin "))
        return text;
    QByteArray kept;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        end = end < 0 ? text.size() : end + 1;
        const QByteArrayView line = QByteArrayView(text).sliced(pos, end - pos).trimmed();
        QByteArray name;
        if (!isBegin(line, name)) {
            kept += QByteArrayView(text).sliced(pos, end - pos);
            pos = end;
            continue;
        }
        // The data lines up to "end" (or the last data line when "end" is missing).
        QByteArray data;
        qsizetype next = end;
        while (next < text.size()) {
            qsizetype lineEnd = text.indexOf('\n', next);
            lineEnd = lineEnd < 0 ? text.size() : lineEnd + 1;
            QByteArrayView dataLine = QByteArrayView(text).sliced(next, lineEnd - next);
            while (!dataLine.isEmpty() && (dataLine.back() == '\n' || dataLine.back() == '\r'))
                dataLine.chop(1);
            if (dataLine == "end") {
                next = lineEnd;
                break;
            }
            if (!isDataLine(dataLine))
                break;
            data += dataLine;
            data += '\n';
            next = lineEnd;
        }
        if (data.isEmpty()) { // "begin" in the text, not a file
            kept += QByteArrayView(text).sliced(pos, end - pos);
            pos = end;
            continue;
        }
        const QString fileName = AttachmentNames::safeName(QString::fromUtf8(name));
        files.append({fileName, AttachmentNames::typeOf(fileName), decode(data)});
        pos = next;
    }
    return kept;
}

} // namespace UuencodedBlocks
