#pragma once
// The windows quorbic-screenshot draws for the README and the manual, each on a scratch store
// of its own. Each returns the program's exit status: 0 when the PNG was
// written.

class QString;
class QWidget;

int shootMainWindow(const QString &out);
int shootPostingWindow(const QString &out);
int shootCategoryManager(const QString &out);
int shootServerDialog(const QString &out);
int shootAccountDialog(const QString &out);
int shootQuestionEditor(const QString &out);
int shootHelpWindow(const QString &out);

// Runs the event loop until the widget has been drawn, then saves a grab of
// it to out and ends the loop.
int saveWhenDrawn(QWidget &widget, const QString &out);
