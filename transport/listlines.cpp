#include "transport/listlines.h"

#include <limits>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The next blank-separated field of text from pos on; empty at the end.
QByteArrayView nextField(QByteArrayView text, qsizetype &pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const qsizetype start = pos;
    while (pos < text.size() && !isBlank(text[pos]))
        ++pos;
    return text.sliced(start, pos - start);
}

// An article number: digits alone, within 64 bits. Anything else is no number.
std::optional<quint64> number(QByteArrayView field)
{
    if (field.isEmpty())
        return std::nullopt;
    constexpr quint64 max = std::numeric_limits<quint64>::max();
    quint64 value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const quint64 digit = quint64(c - '0');
        if (value > (max - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

bool readListLine(QByteArrayView text, ListLine &line)
{
    qsizetype pos = 0;
    line.name = nextField(text, pos);
    if (line.name.isEmpty())
        return false;
    line.high = number(nextField(text, pos));
    line.low = number(nextField(text, pos));
    line.rest = text.sliced(pos);
    return true;
}

QString listStatus(QByteArrayView rest)
{
    static const QString y = QStringLiteral("y"), m = QStringLiteral("m"), n = QStringLiteral("n");
    qsizetype pos = 0;
    const QByteArrayView first = nextField(rest, pos);
    if (nextField(rest, pos).isEmpty()) {
        if (first == "y")
            return y;
        if (first == "m")
            return m;
        if (first == "n")
            return n;
        return QString::fromUtf8(first);
    }
    return QString::fromUtf8(rest.toByteArray().simplified());
}

bool readDescriptionLine(QByteArrayView text, QByteArrayView &name, QByteArrayView &description)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] != '\t' && text[end] != ' ')
        ++end;
    if (end == 0)
        return false;
    name = text.first(end);
    description = text.sliced(end).trimmed();
    return true;
}
