#pragma once
// Events during network waits. The client blocks its thread while it waits for
// a connection or a reply; a caller with windows hands it a handler that the
// waits call every few milliseconds, so the windows repaint and a click on
// Abort is seen inside a wait too. The time limits of the waits stay as they
// are. When the handler answers false the wait is given up: the connection is
// dropped at once (nothing more can be read of a reply cut in the middle) and
// the operation throws WaitAborted.

#include <QDeadlineTimer>

#include <exception>
#include <functional>

// Runs the caller's pending events; false gives up the wait.
using WaitHandler = std::function<bool()>;

// How often a wait calls its handler.
inline constexpr int WaitHandlerIntervalMs = 50;

// A wait given up by its handler. Not a ClientError: the server did nothing
// wrong, and callers that sort failures by kind must not take it for one.
class WaitAborted : public std::exception
{
public:
    const char *what() const noexcept override;
};

// Calls waitOnce with slices of at most the handler's interval (the whole time
// when there is no handler) until it answers true or the deadline has passed,
// calling the handler between slices. keepWaiting tells whether a slice that
// answered false only ran out (true) or failed (false: the wait ends at once).
// Throws WaitAborted when the handler answers false.
bool waitInSlices(const WaitHandler &handler, const QDeadlineTimer &deadline,
                  const std::function<bool(int sliceMs)> &waitOnce, const std::function<bool()> &keepWaiting);
