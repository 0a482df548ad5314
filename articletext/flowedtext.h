#pragma once
// Text sent as format=flowed (RFC 3676) joined back into its paragraphs: a
// line ending in a blank goes on in the next line of the same quote depth;
// with DelSp=yes that blank was added by the sender and is removed. Quoted
// paragraphs keep their ">" marks, followed by one blank.

#include <QString>

namespace FlowedText {

// text: lines separated by LF (a CR before it is dropped).
QString unflow(const QString &text, bool delSp);

} // namespace FlowedText
