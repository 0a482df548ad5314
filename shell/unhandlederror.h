#pragma once
// Errors no command handles end that command and are shown here, in the one
// box the program has for them: an OK box with the error icon, titled
// "Quorbic", holding the error's message (with a full stop added when its last
// character sorts after "."). The program goes on.
//
// Commands run their bodies through runCommand; QuorbicApplication catches
// whatever still escapes an event handler and shows it the same way.

#include <QString>
#include <exception>
#include <utility>

namespace UnhandledError {

void show(const QString &message);

// The message of the exception being handled, for show().
QString currentMessage(std::exception_ptr error);

} // namespace UnhandledError

// Runs one command; an error it raises ends it and is shown. Returns false then.
template<typename Fn>
bool runCommand(Fn &&command)
{
    try {
        std::forward<Fn>(command)();
        return true;
    } catch (...) {
        UnhandledError::show(UnhandledError::currentMessage(std::current_exception()));
        return false;
    }
}
