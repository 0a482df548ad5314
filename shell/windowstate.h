#pragma once
// The main window's size, splitters and column widths between runs: the one
// piece of state outside the store. It lives in an INI file in the user's
// configuration directory and is harmless to lose: a missing or unreadable
// file leaves the window as it is designed.

#include <QString>

class QMainWindow;

namespace WindowState {

// $XDG_CONFIG_HOME/Quorbic/window.ini (~/.config/Quorbic/window.ini).
QString defaultFile();

// Gives window the size, splitter positions and column widths stored in file;
// true when it got a size and place from there.
bool restore(QMainWindow &window, const QString &file);
// Stores them.
void save(const QMainWindow &window, const QString &file);

} // namespace WindowState
