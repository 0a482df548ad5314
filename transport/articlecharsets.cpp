#include "transport/articlecharsets.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
// Linux desktops run with UTF-8 as their 8-bit charset; Qt's System codec is
// UTF-8 on every Unix.
const QByteArray systemCharset = QByteArrayLiteral("UTF-8");
}

ArticleCharsets ArticleCharsets::forLocale(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Chinese:
        // Only the People's Republic uses simplified Chinese in GB2312;
        // Taiwan, Hong Kong, Macau and Singapore get Big5.
        if (locale.territory() == QLocale::China)
            return {"GB2312", 'B', systemCharset};
        return {"Big5", 'B', systemCharset};
    case QLocale::Japanese:
        return {"ISO-2022-JP", 'B', "ISO-2022-JP"};
    case QLocale::Korean:
        return {"EUC-KR", 'B', systemCharset};
    default:
        return {"ISO-8859-1", 'Q', systemCharset};
    }
}

ArticleCharsets ArticleCharsets::forSystem()
{
    return forLocale(QLocale::system());
}

QByteArray encodeInCharset(const QString &text, const QByteArray &charset, bool *representable)
{
    // Stateless: a lone high surrogate at the end of the text becomes a
    // substitute instead of being held back for text that never follows.
    QStringEncoder encoder(charset.constData(), QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    bool ok = encoder.isValid() && !encoder.hasError();
    if (ok && charset.compare("ISO-2022-JP", Qt::CaseInsensitive) == 0) {
        // Qt's converter leaves the last shift sequence open; close it.
        static const QByteArray toAscii = QByteArrayLiteral("\x1b(B");
        const qsizetype lastEscape = bytes.lastIndexOf('\x1b');
        if (lastEscape >= 0 && bytes.mid(lastEscape, 3) != toAscii)
            bytes += toAscii;
    }
    if (ok && representable) {
        // Some converters substitute silently; a round trip tells for sure.
        QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
        const QString back = decoder.decode(bytes);
        ok = !decoder.hasError() && back == text;
    }
    if (representable)
        *representable = ok;
    return bytes;
}
