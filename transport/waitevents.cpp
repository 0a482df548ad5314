#include "transport/waitevents.h"

#include <QtGlobal>

#include <climits>

const char *WaitAborted::what() const noexcept
{
    return "The wait for the server was aborted.";
}

bool waitInSlices(const WaitHandler &handler, const QDeadlineTimer &deadline,
                  const std::function<bool(int sliceMs)> &waitOnce, const std::function<bool()> &keepWaiting)
{
    for (;;) {
        const qint64 remaining = deadline.remainingTime(); // -1: forever
        qint64 slice = remaining < 0 ? qint64(INT_MAX) : remaining;
        if (handler)
            slice = qMin<qint64>(slice, WaitHandlerIntervalMs);
        if (waitOnce(int(qMin<qint64>(slice, INT_MAX))))
            return true;
        if (!keepWaiting() || deadline.hasExpired())
            return false;
        if (handler && !handler())
            throw WaitAborted();
    }
}
