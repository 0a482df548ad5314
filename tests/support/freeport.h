#pragma once
// A loopback TCP port that was free a moment ago, for handing to a server
// process that must be told its port before it starts (innd, nnrpd,
// microsocks). Binding port 0 lets the kernel choose, so tests can run in
// parallel without agreeing on numbers.

#include <QtGlobal>

quint16 pickFreePort();
