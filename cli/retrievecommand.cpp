#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/toolsession.h"
#include "exchange/retrievalrun.h"

#include <QTextStream>

using namespace Cli;

int runRetrieve(const QStringList &args)
{
    const Options options = parseOptions(args,
                                         {QStringLiteral("--yes"), QStringLiteral("--trust-once"),
                                          QStringLiteral("--allow-plain-login")});
    if (options.help) {
        out() << "Usage: quorbic-cli retrieve [--yes] [--trust-once] [--allow-plain-login]\n"
                 "Retrieves the answers to the messages of the Inbox of qa.mdb in the working\n"
                 "directory, as the main window's Retrieve does, and stores them unread below\n"
                 "the messages they answer.\n\n"
                 "Standard output: the count, as \"3 new messages\".\n"
                 "Standard error: progress, and the texts of the boxes the window would show.\n\n"
                 "  --yes         answer Yes to the questions the window would ask (default No)\n"
                 "  --trust-once  connect to servers whose certificate cannot be trusted, for\n"
                 "                this run only (default: such a server is not used)\n"
                 "  --allow-plain-login  send the user name and password unencrypted to a\n"
                 "                server that offers encryption and then refuses it (default:\n"
                 "                the login is not sent and the server is not used)\n\n"
                 "Each answer is kept as soon as it is stored, so Ctrl+C loses none.\n"
                 "Exit status 0 when the run met no error, 1 otherwise.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("retrieve"), options.error);
    if (!options.arguments.isEmpty())
        return usageError(QStringLiteral("retrieve"),
                          QStringLiteral("unexpected argument ") + options.arguments.first());
    if (!storeExists(QStringLiteral("retrieve")))
        return Failure;

    ToolSession session({options.yes, options.trustOnce, options.allowPlainLogin});
    RetrievalRun run(session.dm(), session.ui(), session.folders());
    const RetrievalRun::Outcome outcome = run.RetrieveAnswers();
    if (outcome == RetrievalRun::Outcome::Finished)
        out() << session.ui().lastStatus() << "\n";
    out().flush();
    const bool failed = outcome != RetrievalRun::Outcome::Finished || session.ui().errorBoxes() > 0;
    return failed ? Failure : Success;
}
