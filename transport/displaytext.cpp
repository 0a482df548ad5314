#include "transport/displaytext.h"

#include <QStringDecoder>
#include <QVariant>

#include <algorithm>

namespace DisplayText {
namespace {

bool isAscii(const QByteArray &raw)
{
    return std::all_of(raw.cbegin(), raw.cend(), [](char c) { return uchar(c) < 0x80; });
}

QString eightBit(const QByteArray &raw)
{
    if (isAscii(raw))
        return QString::fromLatin1(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(raw);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    if (windows1252.isValid())
        return windows1252(raw);
    return QString::fromLatin1(raw);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool decodeQ(QByteArrayView text, QByteArray &out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_') {
            out += ' ';
        } else if (c == '=') {
            if (i + 2 >= text.size())
                return false;
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            out += char(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return true;
}

bool decodeB(QByteArrayView text, QByteArray &out)
{
    const auto result
        = QByteArray::fromBase64Encoding(text.toByteArray(),
                                         QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return false;
    out = *result;
    return true;
}

// Decodes one encoded-word "=?charset?X?text?=" starting at raw[from]; on
// success sets *end past it. A charset the system does not know, an unknown
// letter or broken encoding leaves the word as it stands.
bool decodeWord(const QByteArray &raw, qsizetype from, qsizetype *end, QString &out)
{
    const qsizetype charsetEnd = raw.indexOf('?', from + 2);
    if (charsetEnd < 0 || charsetEnd + 2 >= raw.size() || raw[charsetEnd + 2] != '?')
        return false;
    const qsizetype textEnd = raw.indexOf("?=", charsetEnd + 3);
    if (textEnd < 0)
        return false;
    const QByteArrayView text = QByteArrayView(raw).sliced(charsetEnd + 3, textEnd - charsetEnd - 3);
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '?' || uchar(c) < 32)
            return false;
    }
    QByteArray charset = raw.mid(from + 2, charsetEnd - from - 2);
    if (const qsizetype star = charset.indexOf('*'); star >= 0) // RFC 2231 language
        charset.truncate(star);
    QByteArray bytes;
    const char letter = char(raw[charsetEnd + 1] & ~0x20);
    if (letter == 'Q' ? !decodeQ(text, bytes) : letter == 'B' ? !decodeB(text, bytes) : true)
        return false;
    // A UTF-8 byte-order mark at the start of a word is the text's own
    // U+FEFF, put there by where the encoder cut the text, not a mark to skip.
    QStringDecoder::Flags flags = QStringDecoder::Flag::Stateless;
    if (charset.compare("UTF-8", Qt::CaseInsensitive) == 0)
        flags |= QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder decoder(charset.constData(), flags);
    if (charset.isEmpty() || !decoder.isValid())
        return false;
    out = decoder(bytes);
    if (decoder.hasError())
        return false;
    *end = textEnd + 2;
    return true;
}

} // namespace

QString header(const QByteArray &raw)
{
    if (!raw.contains("=?"))
        return eightBit(raw);
    QString result;
    QByteArray pending; // undecoded bytes since the last encoded-word
    bool afterWord = false; // the last thing taken was an encoded-word
    qsizetype i = 0;
    while (i < raw.size()) {
        qsizetype end = 0;
        QString word;
        if (raw[i] == '=' && i + 1 < raw.size() && raw[i + 1] == '?' && decodeWord(raw, i, &end, word)) {
            // Only blanks between two encoded-words: they are not part of the text.
            const bool onlyBlanks = std::all_of(pending.cbegin(), pending.cend(),
                                                [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
            if (!(afterWord && onlyBlanks))
                result += eightBit(pending);
            pending.clear();
            result += word;
            afterWord = true;
            i = end;
        } else {
            pending += raw[i];
            ++i;
        }
    }
    result += eightBit(pending);
    return result;
}

QString body(const QByteArray &raw)
{
    return eightBit(raw);
}

QString header(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QByteArray)
        return header(stored.toByteArray());
    const QString text = stored.toString();
    // Text typed by the user holds no encoded-words worth decoding unless it was
    // taken from an answer; decoding plain ASCII is harmless either way.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() > 127) {
            ascii = false;
            break;
        }
    }
    return ascii ? header(text.toLatin1()) : text;
}

QString body(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QByteArray)
        return body(stored.toByteArray());
    return stored.toString();
}

} // namespace DisplayText
