#include "articletext/partcharset.h"

#include "transport/displaytext.h"

#include <QStringDecoder>

#include <gmime/gmime.h>

namespace PartCharset {
namespace {

// Labels that mail programs put on text in whatever 8-bit set the sender had.
bool isWeakLabel(const QByteArray &label)
{
    static const char *const weak[]
        = {"us-ascii", "ascii", "iso-8859-1", "iso8859-1",      "latin1",    "iso_8859-1",   "iso-ir-100",
           "l1",       "cp819", "ibm819",     "ansi_x3.4-1968", "x-unknown", "unknown-8bit", "x-user-defined"};
    for (const char *name : weak) {
        if (label.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Labels Qt's converters do not know under that name, mapped to one they do.
QByteArray knownName(const QByteArray &label)
{
    const QByteArray lower = label.toLower();
    if (lower == "gb2312" || lower == "gbk" || lower == "x-gbk" || lower == "cp936")
        return "GB18030"; // a superset: senders label GBK text GB2312
    if (lower == "ks_c_5601-1987" || lower == "x-windows-949" || lower == "cp949")
        return "windows-949";
    if (lower == "x-sjis" || lower == "sjis")
        return "Shift_JIS";
    return label;
}

// Through the system's iconv, for what ICU does not name.
bool decodeWithIconv(const QByteArray &bytes, const QByteArray &label, QString &text)
{
    iconv_t cd = g_mime_iconv_open("UTF-8", label.constData());
    if (cd == (iconv_t)-1)
        return false;
    char *converted = g_mime_iconv_strndup(cd, bytes.constData(), size_t(bytes.size()));
    g_mime_iconv_close(cd);
    if (!converted)
        return false;
    text = QString::fromUtf8(converted);
    g_free(converted);
    return true;
}

} // namespace

QString decode(const QByteArray &bytes, const QByteArray &label)
{
    const QByteArray name = knownName(label.trimmed());
    if (name.isEmpty() || isWeakLabel(name))
        return DisplayText::body(bytes); // UTF-8 when valid, else Windows-1252
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);
    QString text;
    if (decodeWithIconv(bytes, name, text))
        return text;
    return DisplayText::body(bytes);
}

} // namespace PartCharset
