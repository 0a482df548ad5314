#pragma once
// What the commands of quorbic-cli share: the store file of the working
// directory, the output streams, exit statuses and the options.

#include <QString>
#include <QStringList>

class QTextStream;

namespace Cli {

inline constexpr char kStoreFile[] = "qa.mdb";

// 0: the run counted no error; 1: it did (or the store could not be used);
// 2: the command line was wrong and nothing was done.
enum ExitStatus { Success = 0, Failure = 1, UsageError = 2 };

// Results on standard output; boxes, questions and progress on standard error.
QTextStream &out();
QTextStream &err();

struct Options
{
    bool help = false;
    bool yes = false; // --yes: questions are answered Yes
    bool trustOnce = false; // --trust-once: untrusted certificates are accepted for this run
    bool allowPlainLogin = false; // --allow-plain-login: a login goes in plain text where STARTTLS was refused
    bool bodies = false; // --bodies (show)
    bool again = false; // --again CODE (post): the code is the first argument
    QStringList arguments; // everything that is not an option
    QString error; // the first word that is no allowed option
};

// Reads args; only --help and the options named in allowed are accepted.
Options parseOptions(const QStringList &args, const QStringList &allowed);

// A text on one line of output: control characters (tabs, line breaks) become blanks.
QString oneLine(QString text);

// Writes a usage error for the command and returns UsageError.
int usageError(const QString &command, const QString &message);

// True when qa.mdb is there; otherwise says how to make one.
bool storeExists(const QString &command);

} // namespace Cli
