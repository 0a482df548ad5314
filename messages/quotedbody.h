#pragma once
// Quoting the text of the message replied to, line by line as the reply's body
// editor shows it: a paragraph wider than the editor counts as one line per
// displayed line, an empty line counts, and the empty line after a final line
// break does not. Each line gets ">" in front, with no blank after it.

#include <QString>
#include <QStringList>

class QTextDocument;

namespace QuotedBody {

// The lines a plain-text editor shows of its document when its text area
// (the viewport) is the given number of pixels wide.
QStringList displayedLines(const QTextDocument &document, qreal textWidth);

// The lines with ">" in front of each, joined by LF; empty for no lines.
QString quote(const QStringList &lines);

} // namespace QuotedBody
