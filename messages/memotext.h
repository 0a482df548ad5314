#pragma once
// Memo columns (`Body`) keep their lines separated by CR LF; the body editors
// work with LF. Text goes through here on its way in and out of an editor.

#include <QString>

namespace MemoText {

// CR LF, and a lone CR, become LF.
QString toEditor(QString memo);
// Every line break becomes CR LF, and the text is made storable (below).
QString toMemo(const QString &editorText);

// Text as the store can keep it: a lone UTF-16 surrogate, which pasted text
// can hold, becomes U+FFFD. The store's conversion to UTF-8 would otherwise
// pair it with the character after it, changing both.
QString storable(const QString &text);

} // namespace MemoText
