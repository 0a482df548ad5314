#pragma once
// The box for errors no command handles: an OK box with the error icon, titled
// "Quorbic", holding the error's message (with a full stop added when its last
// character sorts after "."). The command that ran into the error ends; the
// program goes on. The one box for such errors, in every window.

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace ErrorBox {

void show(QWidget *owner, const QString &message);
// The message as the box shows it: with a full stop added when its last
// character sorts after ".".
QString sentence(const QString &message);
// The message of the exception being handled.
QString messageOf(std::exception_ptr error);

} // namespace ErrorBox

// Runs one command of a window; an error it raises ends it and is shown over
// the window. Returns false then.
template<typename Fn>
bool runWindowCommand(QWidget *owner, Fn &&command)
{
    try {
        std::forward<Fn>(command)();
        return true;
    } catch (...) {
        ErrorBox::show(owner, ErrorBox::messageOf(std::current_exception()));
        return false;
    }
}
