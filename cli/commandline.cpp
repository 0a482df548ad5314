#include "cli/commandline.h"

#include "cli/terminalsafe.h"

#include <QFileInfo>
#include <QTextStream>

namespace Cli {

// Both streams print through the filter of control characters: much of what
// they carry came from a server or the store.
QTextStream &out()
{
    static TerminalSafeDevice device(stdout);
    static QTextStream stream(&device);
    return stream;
}

QTextStream &err()
{
    static TerminalSafeDevice device(stderr);
    static QTextStream stream(&device);
    return stream;
}

Options parseOptions(const QStringList &args, const QStringList &allowed)
{
    Options options;
    for (const QString &arg : args) {
        const bool known = arg == QLatin1String("--help") || allowed.contains(arg);
        if (arg.startsWith(QLatin1String("--")) && !known) {
            if (options.error.isEmpty())
                options.error = QStringLiteral("unknown option ") + arg;
            continue;
        }
        if (arg == QLatin1String("--help"))
            options.help = true;
        else if (arg == QLatin1String("--yes"))
            options.yes = true;
        else if (arg == QLatin1String("--trust-once"))
            options.trustOnce = true;
        else if (arg == QLatin1String("--allow-plain-login"))
            options.allowPlainLogin = true;
        else if (arg == QLatin1String("--bodies"))
            options.bodies = true;
        else if (arg == QLatin1String("--again"))
            options.again = true;
        else
            options.arguments << arg;
    }
    return options;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

int usageError(const QString &command, const QString &message)
{
    err() << "quorbic-cli " << command << ": " << message << "\n"
          << "Run quorbic-cli " << command << " --help for its usage.\n";
    err().flush();
    return UsageError;
}

bool storeExists(const QString &command)
{
    if (QFileInfo::exists(QLatin1String(kStoreFile)))
        return true;
    err() << "quorbic-cli " << command << ": there is no store " << kStoreFile
          << " in this directory; make one with quorbic-cli init\n";
    err().flush();
    return false;
}

} // namespace Cli
