#pragma once
// The help file "Quorbic.chm" of the working directory, opened at its table of
// contents by the desktop's handler. A missing file is no error: nothing opens.

#include <QString>

class DesktopOpener;

namespace HelpContents {

inline constexpr char kHelpFile[] = "Quorbic.chm";

// Opens the help file when it exists; returns whether it asked for it.
bool open(DesktopOpener &opener);

// The start-up check: warns, with "Warning!" and the warning icon, when no
// handler can be had to show the help file. Returns whether help can be shown.
bool prepare(const DesktopOpener &opener);

} // namespace HelpContents
