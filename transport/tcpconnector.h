#pragma once
// Opens a TCP connection with the system's own error numbers: resolver
// failures as negative EAI_* codes (a name that does not resolve as
// HostNotFoundErrorNumber), socket failures as errno, an expired time limit as
// ETIMEDOUT. Qt's socket layer would fold these into a few enum values.

#include "transport/waitevents.h"

#include <QString>

// Resolves host and tries its addresses in turn until one accepts, all within
// timeoutMs. Returns the connected (non-blocking) descriptor; throws SocketError.
// With a handler, the resolution and each attempt call it while they wait
// (WaitAborted when it gives up).
int openTcpConnection(const QString &host, int port, int timeoutMs, const WaitHandler &handler = {});
