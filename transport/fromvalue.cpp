#include "transport/fromvalue.h"

#include "transport/articlecharsets.h"
#include "transport/headerencoding.h"

#include <QString>

QByteArray fromHeaderValue(const QString &name, const QString &address, const ArticleCharsets &charsets)
{
    const QByteArray addr = HeaderEncoding::singleLine(address).toUtf8();
    const QString displayName = HeaderEncoding::singleLine(name);
    if (displayName.isEmpty())
        return addr;

    QByteArray phrase;
    if (HeaderEncoding::needsEncoding(displayName)) {
        phrase = HeaderEncoding::encode(displayName, charsets, HeaderEncoding::Context::Phrase);
    } else {
        QByteArray quoted = displayName.toLatin1();
        quoted.replace("\\", "\\\\");
        quoted.replace("\"", "\\\"");
        phrase = '"' + quoted + '"';
    }
    return phrase + " <" + addr + '>';
}
