#include "directories/addresscheck.h"

#include <QStringList>

#include <algorithm>

namespace {

bool isHostCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.');
}

} // namespace

namespace AddressCheck {

QString problem(const QString &address)
{
    if (address.count(QLatin1Char('@')) == 0)
        return QStringLiteral("An E-mail address has an \"@\" between the name and the domain, as in ann@example.org");
    if (address.count(QLatin1Char('@')) > 1)
        return QStringLiteral("An E-mail address has only one \"@\"");
    for (const QChar c : address) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('<') || c == QLatin1Char('>')
            || c == QLatin1Char(',') || c == QLatin1Char('"'))
            return QStringLiteral("An E-mail address has no blanks, line breaks, \"<\", \">\", \",\" or quotes");
    }
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const QString local = address.left(at);
    const QString domain = address.mid(at + 1);
    if (local.isEmpty())
        return QStringLiteral("The E-mail address has no name before the \"@\"");
    if (domain.isEmpty())
        return QStringLiteral("The E-mail address has no domain after the \"@\"");
    const QStringList labels = domain.split(QLatin1Char('.'));
    for (const QString &label : labels) {
        if (label.isEmpty() || label.startsWith(QLatin1Char('-')) || label.endsWith(QLatin1Char('-'))
            || !std::all_of(label.begin(), label.end(), isHostCharacter))
            return QStringLiteral("The domain after the \"@\" is not a host name such as example.org");
    }
    return QString();
}

} // namespace AddressCheck
