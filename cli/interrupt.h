#pragma once
// Ctrl+C (SIGINT) during a run: the first one only raises a flag, which the
// console interface reads where the run lets events run, so the run ends as
// its Abort would and the command decides what to keep. A second one ends the
// process at once, as if no handler were installed (the store then keeps what
// was committed).

namespace Interrupt {

void install();
bool requested();

} // namespace Interrupt
