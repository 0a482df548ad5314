#include "transport/headerfolding.h"

namespace HeaderFolding {

namespace {

QByteArray withoutTrailingBlanks(QByteArrayView piece)
{
    while (piece.endsWith(' ') || piece.endsWith('\t'))
        piece.chop(1);
    return piece.toByteArray();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the rest may be broken: the first blank of a run of blanks that
// follows some text of the piece. Breaking there keeps the whole run on the
// continuation line, so unfolding gives back every blank.
qsizetype breakPoint(QByteArrayView rest, qsizetype firstAllowed)
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

// The first place after the leading blanks and the first word of a piece
// where it may be broken.
qsizetype afterFirstWord(QByteArrayView rest, qsizetype from)
{
    while (from < rest.size() && isBlank(rest.at(from)))
        ++from;
    return from + 1;
}

} // namespace

QList<QByteArray> fold(const QByteArray &line)
{
    const QByteArray whole = withoutTrailingBlanks(line);
    if (whole.size() <= maxLineLength)
        return {whole};

    // The rest is a view into the whole line: pieces are cut from it without
    // copying what remains, so a line of megabytes folds in linear time.
    QByteArrayView rest(whole);
    // The first piece keeps "Name: " and at least the first word of the value.
    const qsizetype colon = rest.indexOf(':');
    qsizetype firstAllowed = afterFirstWord(rest, colon < 0 ? 1 : colon + 1);

    QList<QByteArray> lines;
    while (rest.size() > maxLineLength) {
        const qsizetype at = breakPoint(rest, firstAllowed);
        if (at < 0)
            break;
        lines.append(withoutTrailingBlanks(rest.first(at)));
        rest = rest.sliced(at);
        // A continuation begins with its blanks; it may be broken after its
        // first word.
        firstAllowed = afterFirstWord(rest, 1);
    }
    lines.append(rest.toByteArray());
    return lines;
}

} // namespace HeaderFolding
