// quorbic-cli: the companion command-line tool. It works on the store "qa.mdb"
// of the working directory through the same core code as the windows.

#include "store/storeerror.h"
#include "store/storeschema.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

const char kStoreFile[] = "qa.mdb";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void usage(QTextStream &to)
{
    to << "Usage: quorbic-cli COMMAND [OPTIONS]\n"
          "Works on the store \"qa.mdb\" in the working directory.\n\n"
          "Commands:\n"
          "  init    make an empty store; refuses when qa.mdb exists\n\n"
          "Run quorbic-cli COMMAND --help for a command's options.\n";
    to.flush();
}

int runInit(const QStringList &args)
{
    if (args.contains(QStringLiteral("--help"))) {
        out() << "Usage: quorbic-cli init\n"
                 "Makes an empty store \"qa.mdb\" in the working directory.\n"
                 "Refuses, touching nothing, when the file already exists.\n";
        return 0;
    }
    if (!args.isEmpty()) {
        err() << "quorbic-cli init: unexpected argument " << args.first() << "\n";
        return 2;
    }
    StoreSchema::create(QLatin1String(kStoreFile));
    out() << "Made an empty store " << kStoreFile << "\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help")) {
        usage(args.isEmpty() ? err() : out());
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("init"))
            return runInit(args);
    } catch (const StoreError &e) {
        err() << "quorbic-cli " << command << ": " << errorBoxText(e.text()) << "\n";
        return 1;
    }
    err() << "quorbic-cli: unknown command " << command << "\n";
    usage(err());
    return 2;
}
