#pragma once
// The Yes/No question with the warning icon, titled "Warning", that the
// windows ask before something risky; No is the default button.

#include <QString>

class QWidget;

bool warningQuestion(QWidget *parent, const QString &text);
