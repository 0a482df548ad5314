// quorbic-cli: the companion command-line tool. It works on the store "qa.mdb"
// of the working directory through the same core code as the windows.

#include "cli/commandline.h"
#include "cli/commands.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

using Command = int (*)(const QStringList &);

struct Entry
{
    const char *name;
    Command run;
    const char *summary;
};

const Entry kCommands[] = {
    {"init", runInit, "make an empty store; refuses when qa.mdb exists"},
    {"upgrade", runUpgrade, "add the tables of newer features to an older store"},
    {"post", runPost, "post the Outbox"},
    {"retrieve", runRetrieve, "retrieve the answers to the Inbox's messages"},
    {"update-lists", runUpdateLists, "load the newsgroup list of every news server"},
    {"show", runShow, "list a folder: Inbox, Outbox, Drafts or Deleted (0-3)"},
};

void usage(QTextStream &to)
{
    to << "Usage: quorbic-cli COMMAND [OPTIONS]\n"
          "Works on the store \"qa.mdb\" in the working directory.\n\n"
          "Commands:\n";
    for (const Entry &entry : kCommands)
        to << "  " << QString::fromLatin1(entry.name).leftJustified(14) << entry.summary << "\n";
    to << "\nRun quorbic-cli COMMAND --help for a command's options.\n";
    to.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help")) {
        usage(args.isEmpty() ? Cli::err() : Cli::out());
        return args.isEmpty() ? Cli::UsageError : Cli::Success;
    }
    const QString command = args.takeFirst();
    for (const Entry &entry : kCommands) {
        if (command != QLatin1String(entry.name))
            continue;
        try {
            return entry.run(args);
        } catch (const StoreError &e) {
            Cli::err() << "quorbic-cli " << command << ": " << errorBoxText(e.text()) << "\n";
        } catch (const ClientError &e) {
            Cli::err() << "quorbic-cli " << command << ": " << errorBoxText(e.text()) << "\n";
        }
        Cli::err().flush();
        return Cli::Failure;
    }
    Cli::err() << "quorbic-cli: unknown command " << command << "\n";
    usage(Cli::err());
    return Cli::UsageError;
}
