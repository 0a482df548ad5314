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
    QString memo = toEditor(storable(editorText));
    memo.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return memo;
}

QString storable(const QString &text)
{
    if (text.isValidUtf16())
        return text;
    QString sound = text;
    for (qsizetype i = 0; i < sound.size(); ++i) {
        if (sound.at(i).isHighSurrogate() && i + 1 < sound.size() && sound.at(i + 1).isLowSurrogate())
            ++i;
        else if (sound.at(i).isSurrogate())
            sound[i] = QChar::ReplacementCharacter;
    }
    return sound;
}

} // namespace MemoText
