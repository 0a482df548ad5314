#pragma once
// Files put into a plain text body with uuencode ("begin 644 name" ... "end"),
// as newsreaders did before MIME and some still do: taken out of the text and
// decoded.

#include "articletext/shownarticle.h"

#include <QByteArray>
#include <QList>

namespace UuencodedBlocks {

// Removes each block from text (lines ending in LF) and appends its file to files.
QByteArray extract(const QByteArray &text, QList<Attachment> &files);

} // namespace UuencodedBlocks
