#pragma once
// Memo columns (`Body`) keep their lines separated by CR LF; the body editors
// work with LF. Text goes through here on its way in and out of an editor.

#include <QString>

namespace MemoText {

// CR LF, and a lone CR, become LF.
QString toEditor(QString memo);
// Every line break becomes CR LF.
QString toMemo(const QString &editorText);

} // namespace MemoText
