#pragma once
// Whether a text looks like an e-mail address: a local part, "@", a domain.
// Not a full RFC 5322 parser: it catches what a person mistypes (no "@",
// nothing on one side of it, blanks, a second "@", a domain that is no host
// name) so that no article goes out with a From line servers refuse.

#include <QString>

namespace AddressCheck {

// What is wrong with address, as the second line of a box; empty when it
// looks right.
QString problem(const QString &address);

} // namespace AddressCheck
