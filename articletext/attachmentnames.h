#pragma once
// Names and types of attached files as they are offered for saving.

#include <QString>

namespace AttachmentNames {

// The name without any folder part and without leading dots, so that saving
// it never lands outside the folder chosen; empty when nothing is left.
QString safeName(const QString &name);
// The type a file of that name has, by its extension; application/octet-stream
// when it tells nothing.
QString typeOf(const QString &fileName);
// A name for a file sent without one: "attachment-<n>" with the type's extension.
QString madeUpName(int number, const QString &type);

} // namespace AttachmentNames
