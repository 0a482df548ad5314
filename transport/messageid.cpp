#include "transport/messageid.h"

#include <QString>
#include <QUuid>

QString NewMessageId()
{
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in upper case, then the braces
    // become angle brackets, the third "-" the "@" and the others full stops.
    QString id = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    int dash = 0;
    for (QChar &c : id) {
        if (c == QLatin1Char('{'))
            c = QLatin1Char('<');
        else if (c == QLatin1Char('}'))
            c = QLatin1Char('>');
        else if (c == QLatin1Char('-'))
            c = ++dash == 3 ? QLatin1Char('@') : QLatin1Char('.');
    }
    return id;
}
