#include "messages/quotedbody.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace QuotedBody {

QStringList displayedLines(const QTextDocument &document, qreal textWidth)
{
    // Laid out as the plain-text editor lays out a paragraph: its default
    // font and wrapping, inside the document margin on both sides.
    const QTextOption option = document.defaultTextOption();
    const qreal lineWidth = qMax<qreal>(1, textWidth - 2 * document.documentMargin());
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(text, document.defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            lines << text.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    // The last block is empty after a final line break, and in an empty
    // document: neither is a line of the text.
    if (document.lastBlock().text().isEmpty() && !lines.isEmpty())
        lines.removeLast();
    return lines;
}

QString quote(const QStringList &lines)
{
    QStringList quoted;
    quoted.reserve(lines.size());
    for (const QString &line : lines)
        quoted << QLatin1Char('>') + line;
    return quoted.join(QLatin1Char('\n'));
}

} // namespace QuotedBody
