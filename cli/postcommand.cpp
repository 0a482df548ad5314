#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/consolepostingview.h"
#include "cli/interrupt.h"
#include "cli/toolsession.h"
#include "exchange/postingrun.h"

#include <QTextStream>

using namespace Cli;

int runPost(const QStringList &args)
{
    const Options options = parseOptions(args,
                                         {QStringLiteral("--yes"), QStringLiteral("--trust-once"),
                                          QStringLiteral("--allow-plain-login")});
    if (options.help) {
        out() << "Usage: quorbic-cli post [--yes] [--trust-once] [--allow-plain-login]\n"
                 "Posts the Outbox of qa.mdb in the working directory, as the posting window does:\n"
                 "one copy of each message per newsgroup, on the first server that carries the\n"
                 "group and takes the post; posted messages move to the Inbox.\n\n"
                 "Standard output: each message's subject, then a line per newsgroup with its\n"
                 "mark (ok, failed, - when not tried) and result text, separated by tabs.\n"
                 "Standard error: the texts of the boxes the window would show.\n\n"
                 "  --yes         answer Yes to the questions the window would ask (default No)\n"
                 "  --trust-once  connect to servers whose certificate cannot be trusted, for\n"
                 "                this run only (default: such a server is not used)\n"
                 "  --allow-plain-login  send the user name and password unencrypted to a\n"
                 "                server that offers encryption and then refuses it (default:\n"
                 "                the login is not sent and the server is not used)\n\n"
                 "Ctrl+C stops after the newsgroup being posted to; every copy posted stays\n"
                 "recorded. Exit status 0 when the run met no error, 1 otherwise.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("post"), options.error);
    if (!options.arguments.isEmpty())
        return usageError(QStringLiteral("post"), QStringLiteral("unexpected argument ") + options.arguments.first());
    if (!storeExists(QStringLiteral("post")))
        return Failure;

    Interrupt::install();
    ToolSession session({options.yes, options.trustOnce, options.allowPlainLogin});
    ConsolePostingView view(out());
    PostingRun run(session.dm(), session.ui(), view, session.folders());
    session.ui().setOnInterrupt([&run] { run.abort(); });
    const PostingRun::Outcome outcome = run.run();
    view.finish();

    if (view.messageCount() == 0 && outcome == PostingRun::Outcome::Finished)
        err() << "The Outbox is empty: nothing to post.\n";
    if (outcome == PostingRun::Outcome::Aborted)
        err() << "Interrupted: the messages not posted stay in the Outbox.\n";
    err().flush();
    // A newsgroup the message did not reach is an error here even when the run
    // counts none (a group no server carries): a schedule must hear of it.
    const bool failed = outcome != PostingRun::Outcome::Finished || run.errorCount() > 0 || view.failedGroups() > 0
        || session.ui().errorBoxes() > 0;
    return failed ? Failure : Success;
}
