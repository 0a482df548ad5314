#pragma once
// The manual: HTML pages with pictures, installed with the program into
// share/quorbic/manual and shown in the program's own help window (no browser
// needed). Help > Contents and F1 open it at its first page.

#include <QString>
#include <QStringList>

class DesktopOpener;

namespace HelpContents {

// The manual's first page.
inline constexpr char kIndexPage[] = "index.html";

// Where the manual is looked for, in order: beside the program
// (<prefix>/bin/../share/quorbic/manual), the system's and the user's data
// directories (XDG_DATA_DIRS, XDG_DATA_HOME), and the checkout the program was
// built from, so that a program run from its build tree finds it too.
QStringList searchDirectories();
// The first page of the first manual found; empty when there is none.
QString indexPage();

// The start-up check of the help engine. The help window is the program's
// own and always there: nothing to warn about.
bool prepare(const DesktopOpener &opener);

} // namespace HelpContents
