#include "articletext/flowedtext.h"

#include <QStringList>

namespace FlowedText {
namespace {

struct Line
{
    int depth = 0;
    QString text;
    bool flowed = false;
};

Line parse(QString raw, bool delSp)
{
    if (raw.endsWith(QLatin1Char('\r')))
        raw.chop(1);
    Line line;
    while (line.depth < raw.size() && raw.at(line.depth) == QLatin1Char('>'))
        ++line.depth;
    line.text = raw.mid(line.depth);
    if (line.text.startsWith(QLatin1Char(' '))) // space-stuffed
        line.text.remove(0, 1);
    // The signature separator "-- " is never flowed.
    line.flowed = line.text.endsWith(QLatin1Char(' ')) && line.text != QLatin1String("-- ");
    if (line.flowed && delSp)
        line.text.chop(1);
    return line;
}

QString prefixed(int depth, const QString &text)
{
    if (depth == 0)
        return text;
    return QString(depth, QLatin1Char('>')) + QLatin1Char(' ') + text;
}

} // namespace

QString unflow(const QString &text, bool delSp)
{
    QStringList out;
    QString paragraph;
    int depth = -1; // of the open paragraph; -1 when none is open
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const Line line = parse(raw, delSp);
        if (depth >= 0 && line.depth != depth) {
            // A flowed line followed by another quote depth ends its paragraph.
            out << prefixed(depth, paragraph);
            paragraph.clear();
            depth = -1;
        }
        paragraph += line.text;
        depth = line.depth;
        if (!line.flowed) {
            out << prefixed(depth, paragraph);
            paragraph.clear();
            depth = -1;
        }
    }
    if (depth >= 0)
        out << prefixed(depth, paragraph);
    return out.join(QLatin1Char('\n'));
}

} // namespace FlowedText
