#pragma once
// Which character sets a posted article uses, chosen by the system's language:
// the charset and letter of RFC 2047 encoded-words in the headers, and the
// charset the body lines are sent in.

#include <QByteArray>

class QLocale;
class QString;

struct ArticleCharsets
{
    QByteArray headerCharset; // "ISO-8859-1", "GB2312", "Big5", "ISO-2022-JP", "EUC-KR"
    char headerEncoding = 'Q'; // 'Q' or 'B'
    QByteArray bodyCharset; // "UTF-8" (the system's 8-bit charset) or "ISO-2022-JP"

    static ArticleCharsets forLocale(const QLocale &locale);
    static ArticleCharsets forSystem();
};

// Converts text to the named charset. Sets *representable to false when the
// charset cannot hold every character (the result then has substitutes in it).
// ISO-2022-JP output always ends back in ASCII, as RFC 1468 wants of every
// line and every encoded-word.
QByteArray encodeInCharset(const QString &text, const QByteArray &charset, bool *representable);
