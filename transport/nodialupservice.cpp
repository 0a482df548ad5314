#include "transport/nodialupservice.h"

namespace {
// ERROR_INVALID_FUNCTION: there is nothing to enumerate.
constexpr quint32 notAvailable = 1;
}

quint32 NoDialUpService::enumEntries(quint32 *count)
{
    if (count)
        *count = 0;
    return notAvailable;
}

quint32 NoDialUpService::enumConnections(quint32 *count)
{
    if (count)
        *count = 0;
    return notAvailable;
}
