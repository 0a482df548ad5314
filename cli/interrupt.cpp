#include "cli/interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_requested = 0;

void onInterrupt(int)
{
    g_requested = 1;
}

} // namespace

namespace Interrupt {

void install()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the second Ctrl+C gets the default action and ends the process.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool requested()
{
    return g_requested != 0;
}

} // namespace Interrupt
