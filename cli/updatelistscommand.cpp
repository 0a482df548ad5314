#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/consolelistloadview.h"
#include "cli/interrupt.h"
#include "cli/toolsession.h"
#include "exchange/listloader.h"
#include "store/dmod.h"

#include <QTextStream>

using namespace Cli;

int runUpdateLists(const QStringList &args)
{
    const Options options = parseOptions(args,
                                         {QStringLiteral("--yes"), QStringLiteral("--trust-once"),
                                          QStringLiteral("--allow-plain-login")});
    if (options.help) {
        out() << "Usage: quorbic-cli update-lists [--yes] [--trust-once] [--allow-plain-login]\n"
                 "Loads the newsgroup list of every news server of qa.mdb in the working\n"
                 "directory, as Update List of the Newsgroups window does.\n\n"
                 "Standard error: a line per server, and the texts of the boxes the window\n"
                 "would show.\n\n"
                 "  --yes         answer Yes to the questions the window would ask (default No)\n"
                 "  --trust-once  connect to servers whose certificate cannot be trusted, for\n"
                 "                this run only (default: such a server is not used)\n"
                 "  --allow-plain-login  send the user name and password unencrypted to a\n"
                 "                server that offers encryption and then refuses it (default:\n"
                 "                the login is not sent and the server is not used)\n\n"
                 "What was loaded is kept when the last server is done. Ctrl+C stops the load\n"
                 "and keeps nothing of it. Exit status 0 when the run met no error, 1 otherwise.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("update-lists"), options.error);
    if (!options.arguments.isEmpty())
        return usageError(QStringLiteral("update-lists"),
                          QStringLiteral("unexpected argument ") + options.arguments.first());
    if (!storeExists(QStringLiteral("update-lists")))
        return Failure;

    Interrupt::install();
    ToolSession session({options.yes, options.trustOnce, options.allowPlainLogin});
    Tdm &dm = session.dm();
    NewsgroupListLoader *current = nullptr;
    ConsoleListLoadView view(err(), [&current] { return current ? current->GroupCount() : 0; });
    NewsgroupListLoader loader(dm, session.ui(), view);
    current = &loader;
    session.ui().setOnInterrupt([&loader] { loader.abort(); });

    // As in the Newsgroups window: the load is one transaction of its own,
    // kept or discarded as a whole.
    dm.commit();
    dm.holdCheckpoints(true);
    try {
        loader.rememberStoredGroupNames();
        loader.loadAllServers();
    } catch (...) {
        dm.rollback();
        dm.holdCheckpoints(false);
        throw;
    }
    if (Interrupt::requested()) {
        dm.rollback();
        dm.holdCheckpoints(false);
        err() << "Interrupted: nothing of this load was kept.\n";
        err().flush();
        return Failure;
    }
    dm.commit();
    dm.holdCheckpoints(false);
    return session.ui().errorBoxes() > 0 ? Failure : Success;
}
