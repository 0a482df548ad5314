#pragma once
// The text of a body part from its bytes and the charset its Content-Type
// names, read as mail programs read labels: ISO-8859-1 and US-ASCII labels (and
// none) are often wrong, so bytes that are valid UTF-8 are read as UTF-8 and
// other 8-bit bytes as Windows-1252; a label the system does not know is
// treated like no label.

#include <QByteArray>
#include <QString>

namespace PartCharset {

QString decode(const QByteArray &bytes, const QByteArray &label);

} // namespace PartCharset
