#include "exchange/newsgroupnames.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= ' ';
}

// A quoted name from the opening quote at pos: doubled quotes inside stand for
// one; a name without its closing quote runs to the end. pos is left after it.
QString quotedName(const QString &text, qsizetype &pos)
{
    QString name;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c != QLatin1Char('"')) {
            name += c;
        } else if (pos < text.size() && text.at(pos) == QLatin1Char('"')) {
            name += c;
            ++pos;
        } else {
            break;
        }
    }
    return name;
}

} // namespace

QStringList replyNewsgroups(const QString &newsgroup)
{
    return newsgroup.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QStringList sourceNames(const QString &source)
{
    QStringList names;
    qsizetype pos = 0;
    const qsizetype end = source.size();
    while (pos < end && isBlank(source.at(pos)))
        ++pos;
    while (pos < end) {
        if (source.at(pos) == QLatin1Char('"')) {
            names << quotedName(source, pos);
        } else {
            const qsizetype start = pos;
            while (pos < end && !isBlank(source.at(pos)) && source.at(pos) != QLatin1Char(','))
                ++pos;
            names << source.mid(start, pos - start);
        }
        while (pos < end && isBlank(source.at(pos)))
            ++pos;
        if (pos < end && source.at(pos) == QLatin1Char(',')) {
            if (pos + 1 == end)
                names << QString();
            do {
                ++pos;
            } while (pos < end && isBlank(source.at(pos)));
        }
    }
    return names;
}
