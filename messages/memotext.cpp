#include "messages/memotext.h"

namespace MemoText {

QString toEditor(QString memo)
{
    memo.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    memo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return memo;
}

QString toMemo(const QString &editorText)
{
    QString memo = toEditor(editorText);
    memo.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return memo;
}

} // namespace MemoText
