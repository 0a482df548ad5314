#include "transport/headerfolding.h"

namespace HeaderFolding {

namespace {

QByteArray withoutTrailingBlanks(QByteArray piece)
{
    while (piece.endsWith(' ') || piece.endsWith('\t'))
        piece.chop(1);
    return piece;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the rest may be broken: the first blank of a run of blanks that
// follows some text of the piece. Breaking there keeps the whole run on the
// continuation line, so unfolding gives back every blank.
qsizetype breakPoint(const QByteArray &rest, qsizetype firstAllowed)
{
    qsizetype best = -1;
    for (qsizetype i = firstAllowed; i < rest.size(); ++i) {
        if (!isBlank(rest.at(i)) || isBlank(rest.at(i - 1)))
            continue;
        if (i <= maxLineLength)
            best = i;
        else
            return best > 0 ? best : i;
    }
    return best;
}

} // namespace

QList<QByteArray> fold(const QByteArray &line)
{
    QByteArray rest = withoutTrailingBlanks(line);
    if (rest.size() <= maxLineLength)
        return {rest};

    // The first piece keeps "Name: " and at least the first word of the value.
    const qsizetype colon = rest.indexOf(':');
    qsizetype firstAllowed = colon < 0 ? 1 : colon + 1;
    while (firstAllowed < rest.size() && isBlank(rest.at(firstAllowed)))
        ++firstAllowed;
    firstAllowed = qMax<qsizetype>(firstAllowed + 1, 1);

    QList<QByteArray> lines;
    while (rest.size() > maxLineLength) {
        const qsizetype at = breakPoint(rest, firstAllowed);
        if (at < 0)
            break;
        lines.append(withoutTrailingBlanks(rest.left(at)));
        rest = rest.mid(at);
        // A continuation begins with its blanks; it may be broken after its
        // first word.
        firstAllowed = 1;
        while (firstAllowed < rest.size() && isBlank(rest.at(firstAllowed)))
            ++firstAllowed;
        ++firstAllowed;
    }
    lines.append(rest);
    return lines;
}

} // namespace HeaderFolding
