#pragma once
// Post Again: a message that reached some of its newsgroups went to the Inbox
// with the others kept as unreached (UnpostedGroups). Post Again moves it back
// to the Outbox, from where the next posting run sends it only to the groups
// without a recorded copy. Without the table nothing can be posted again.

class Tdm;

namespace PostAgain {

// In the Inbox, with unreached newsgroups kept.
bool possible(Tdm &dm, int code);
// Moves the message to the Outbox and makes that durable; false, with nothing
// changed, when it cannot be posted again.
bool move(Tdm &dm, int code);

} // namespace PostAgain
