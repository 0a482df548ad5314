#include "cli/commandline.h"
#include "cli/commands.h"
#include "store/storeschema.h"

#include <QTextStream>

using namespace Cli;

int runUpgrade(const QStringList &args)
{
    const Options options = parseOptions(args, {});
    if (options.help) {
        out() << "Usage: quorbic-cli upgrade\n"
                 "Adds to the store \"qa.mdb\" in the working directory the tables that newer\n"
                 "features keep, after copying the store as it was to \"qa.mdb.bak\".\n"
                 "A store that has them all is left untouched.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("upgrade"), options.error);
    if (!options.arguments.isEmpty())
        return usageError(QStringLiteral("upgrade"),
                          QStringLiteral("unexpected argument ") + options.arguments.first());
    const QString store = QLatin1String(kStoreFile);
    const QStringList added = StoreSchema::upgrade(store, store + QStringLiteral(".bak"));
    if (added.isEmpty())
        out() << store << " has every table already; nothing was changed\n";
    else
        out() << "Copied " << store << " to " << store << ".bak and added the tables "
              << added.join(QStringLiteral(", ")) << "\n";
    return Success;
}
