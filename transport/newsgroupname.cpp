#include "transport/newsgroupname.h"

#include <QStringList>

namespace NewsgroupName {

bool isValid(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxLength)
        return false;
    if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        // Printable US-ASCII is 0x21 to 0x7E; the blank is outside it.
        if (c.unicode() < 0x21 || c.unicode() > 0x7E || c == QLatin1Char(','))
            return false;
    }
    return true;
}

bool isValid(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > kMaxLength || name.startsWith('.') || name.endsWith('.'))
        return false;
    for (const char c : name) {
        if (uchar(c) < 0x21 || uchar(c) > 0x7E || c == ',')
            return false;
    }
    return true;
}

bool isValidList(const QString &value, bool followupTo)
{
    const QString trimmed = value.trimmed();
    if (followupTo && trimmed == QLatin1String("poster"))
        return true;
    const QStringList names = trimmed.split(QLatin1Char(','));
    for (const QString &name : names) {
        if (!isValid(name.trimmed()))
            return false;
    }
    return true;
}

} // namespace NewsgroupName
