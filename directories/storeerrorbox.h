#pragma once
// The box for errors no command handles: an OK box with the error icon, titled
// "Quorbic", holding the error's message (with a full stop added when its last
// character sorts after "."). The command that ran into the error ends; the
// program goes on. The main window shows the same box for its own commands.

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace StoreErrorBox {

void show(QWidget *owner, const QString &message);
// The message of the exception being handled.
QString messageOf(std::exception_ptr error);

} // namespace StoreErrorBox

// Runs one command of a window; an error it raises ends it and is shown over
// the window. Returns false then.
template<typename Fn>
bool runWindowCommand(QWidget *owner, Fn &&command)
{
    try {
        std::forward<Fn>(command)();
        return true;
    } catch (...) {
        StoreErrorBox::show(owner, StoreErrorBox::messageOf(std::current_exception()));
        return false;
    }
}
