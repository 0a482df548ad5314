#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/consolepostingview.h"
#include "cli/interrupt.h"
#include "cli/toolsession.h"
#include "exchange/postagain.h"
#include "exchange/postingrun.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "store/unpostedgroups.h"

#include <QTextStream>

using namespace Cli;

namespace {

// The Outbox before the run: the messages it may leave with groups unreached.
QList<QPair<int, QString>> outboxMessages(Tdm &dm)
{
    QList<QPair<int, QString>> messages;
    SqlCommand outbox(dm.MainConnection(), QStringLiteral("SELECT Code, Subject FROM Article WHERE Folder=1"),
                      QStringLiteral("Article"));
    outbox.exec();
    while (outbox.next())
        messages << qMakePair(outbox.field(Column::Code).toInt(), outbox.field(Column::Subject).toString());
    outbox.finish();
    return messages;
}

// Each unreached newsgroup with its reply, and where its message is now.
void reportUnreached(Tdm &dm, const QList<QPair<int, QString>> &messages)
{
    UnpostedGroups unposted(dm.MainConnection());
    for (const auto &[code, subject] : messages) {
        const QList<UnpostedGroups::Group> groups = unposted.of(code);
        if (groups.isEmpty())
            continue;
        for (const UnpostedGroups::Group &group : groups)
            err() << "Not posted to " << oneLine(group.name) << ": " << oneLine(group.reply) << "\n";
        if (PostAgain::possible(dm, code))
            err() << "\"" << oneLine(subject) << "\" is in the Inbox without these newsgroups; "
                  << "quorbic-cli post --again " << code << " posts it to them.\n";
        else
            err() << "\"" << oneLine(subject) << "\" stays in the Outbox; the next post tries every newsgroup.\n";
    }
}

} // namespace

int runPost(const QStringList &args)
{
    const Options options = parseOptions(args,
                                         {QStringLiteral("--yes"), QStringLiteral("--trust-once"),
                                          QStringLiteral("--allow-plain-login"), QStringLiteral("--again")});
    if (options.help) {
        out() << "Usage: quorbic-cli post [--yes] [--trust-once] [--allow-plain-login] [--again CODE]\n"
                 "Posts the Outbox of qa.mdb in the working directory, as the posting window does:\n"
                 "one copy of each message per newsgroup, on the first server that carries the\n"
                 "group and takes the post; posted messages move to the Inbox.\n\n"
                 "Standard output: each message's subject, then a line per newsgroup with its\n"
                 "mark (ok, failed, - when not tried) and result text, separated by tabs.\n"
                 "Standard error: the texts of the boxes the window would show, a warning before\n"
                 "a message goes to one server as more than 5 separate copies of one text, and\n"
                 "after the run each newsgroup a message did not reach, with the server's reply.\n\n"
                 "  --yes         answer Yes to the questions the window would ask (default No)\n"
                 "  --trust-once  connect to servers whose certificate cannot be trusted, for\n"
                 "                this run only (default: such a server is not used)\n"
                 "  --allow-plain-login  send the user name and password unencrypted to a\n"
                 "                server that offers encryption and then refuses it (default:\n"
                 "                the login is not sent and the server is not used)\n"
                 "  --again CODE  first move message CODE, which is in the Inbox without some of\n"
                 "                its newsgroups (see quorbic-cli show Inbox), back to the Outbox;\n"
                 "                it then goes only to the newsgroups without a copy\n\n"
                 "Ctrl+C stops after the newsgroup being posted to; every copy posted stays\n"
                 "recorded. Exit status 0 when the run met no error, 1 otherwise.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("post"), options.error);
    bool numbered = false;
    const int again = options.again && options.arguments.size() == 1 ? options.arguments.first().toInt(&numbered) : 0;
    if (options.again && !numbered)
        return usageError(QStringLiteral("post"), QStringLiteral("--again wants the code of one message"));
    if (!options.again && !options.arguments.isEmpty())
        return usageError(QStringLiteral("post"), QStringLiteral("unexpected argument ") + options.arguments.first());
    if (!storeExists(QStringLiteral("post")))
        return Failure;

    Interrupt::install();
    ToolSession session({options.yes, options.trustOnce, options.allowPlainLogin});
    if (options.again && !PostAgain::move(session.dm(), again)) {
        err() << "quorbic-cli post: message " << again
              << " is not in the Inbox with newsgroups it did not reach; nothing to post again\n";
        err().flush();
        return Failure;
    }
    const QList<QPair<int, QString>> messages = outboxMessages(session.dm());
    ConsolePostingView view(out());
    PostingRun run(session.dm(), session.ui(), view, session.folders());
    session.ui().setOnInterrupt([&run] { run.abort(); });
    const PostingRun::Outcome outcome = run.run();
    view.finish();

    if (view.messageCount() == 0 && outcome == PostingRun::Outcome::Finished)
        err() << "The Outbox is empty: nothing to post.\n";
    if (outcome == PostingRun::Outcome::Aborted)
        err() << "Interrupted: the messages not posted stay in the Outbox.\n";
    reportUnreached(session.dm(), messages);
    err().flush();
    // A newsgroup the message did not reach is an error here even when the run
    // counts none (a group no server carries): a schedule must hear of it.
    const bool failed = outcome != PostingRun::Outcome::Finished || run.errorCount() > 0 || view.failedGroups() > 0
        || session.ui().errorBoxes() > 0;
    return failed ? Failure : Success;
}
