#pragma once
// The readable text of an HTML part, for an answer that has no plain text:
// tags dropped (script, style and head with their content), paragraphs,
// line breaks, list items and table rows kept as lines, character references
// decoded. Nothing the HTML refers to is ever loaded.

#include <QString>

namespace HtmlText {

QString toPlainText(const QString &html);

} // namespace HtmlText
