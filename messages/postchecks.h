#pragma once
// The checks an editor's Post runs before a message may go to the Outbox, in
// their fixed order; the first that fails is the only one reported.
//
// Question: category, account, subject, body. Reply: subject, body, then the
// account: a reply opened while no account existed has none to send from, and
// is refused rather than posted with an empty From. An account code that names
// no account in the account list (removed since) counts as none, in both
// editors. A subject or body of blanks only passes.

#include <QString>

namespace PostChecks {

enum class Field { None, Category, Account, Subject, Body };

struct Message
{
    int category = 0;
    int account = 0;
    bool accountListed = false; // the account is one of the account list's rows
    QString subject;
    QString body;
};

struct Failure
{
    Field field = Field::None; // None: every check passed
    QString reason;
};

Failure question(const Message &message);
Failure reply(const Message &message);

// The text of the box that reports a failure: "The message could not be
// sent", two line breaks (each a single CR), the reason.
QString boxText(const QString &reason);

inline constexpr char kBoxTitle[] = "Quorbic";
inline constexpr char kNotSent[] = "The message could not be sent";
inline constexpr char kNoCategory[] = "You must specify a category to post to";
inline constexpr char kNoAccount[] = "You must specify an account";
inline constexpr char kNoSubject[] = "This message has no subject.";
inline constexpr char kNoBody[] = "This message body is empty.";

} // namespace PostChecks
