#include "cli/commandline.h"
#include "cli/commands.h"
#include "store/storeschema.h"

#include <QTextStream>

using namespace Cli;

int runInit(const QStringList &args)
{
    const Options options = parseOptions(args, {});
    if (options.help) {
        out() << "Usage: quorbic-cli init\n"
                 "Makes an empty store \"qa.mdb\" in the working directory.\n"
                 "Refuses, touching nothing, when the file already exists.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("init"), options.error);
    if (!options.arguments.isEmpty())
        return usageError(QStringLiteral("init"), QStringLiteral("unexpected argument ") + options.arguments.first());
    StoreSchema::create(QLatin1String(kStoreFile));
    out() << "Made an empty store " << kStoreFile << "\n";
    return Success;
}
