#pragma once
// A hint as the windows store it: a short text and a long text joined by "|".
// The short text is the tooltip, the long one the status tip; a hint without
// "|" is both. The whole hint is kept as the action's "hint" property.

#include <QAction>
#include <QString>

inline void setActionHint(QAction *action, const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setProperty("hint", hint);
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}
