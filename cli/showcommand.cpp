#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/folderlisting.h"
#include "cli/toolsession.h"
#include "articletext/storedanswer.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "store/folders.h"
#include "store/rowset.h"
#include "store/unpostedgroups.h"

#include <QTextStream>

using namespace Cli;

namespace {

// The folder codes, by the folder bar's names or by number; -1 for neither.
int folderCode(const QString &word)
{
    static const QStringList names{QStringLiteral("inbox"), QStringLiteral("outbox"), QStringLiteral("drafts"),
                                   QStringLiteral("deleted")};
    const QString name = word.toLower();
    if (name == QLatin1String("deleted messages"))
        return 3;
    const qsizetype byName = names.indexOf(name);
    if (byName >= 0)
        return int(byName);
    bool number = false;
    const int code = word.toInt(&number);
    return number && code >= 0 && code <= 3 && word.size() == 1 ? code : -1;
}

} // namespace

int runShow(const QStringList &args)
{
    const Options options = parseOptions(args, {QStringLiteral("--bodies")});
    if (options.help) {
        out() << "Usage: quorbic-cli show FOLDER [--bodies]\n"
                 "Lists a folder of qa.mdb in the working directory as the main window's\n"
                 "message tree shows it. FOLDER is Inbox, Outbox, Drafts or Deleted, or its\n"
                 "number 0, 1, 2 or 3.\n\n"
                 "One line per message: \"*\" where the window shows it bold (unread, or with\n"
                 "an unread message below it), two blanks per level of the Inbox's threads,\n"
                 "then Subject, Sent, From and Source separated by tabs. Messages are in the\n"
                 "order of the Sent column at every level.\n\n"
                 "Below a message that did not reach some of its newsgroups: a line per such\n"
                 "group, \"! Not posted to GROUP: \" and the server's reply; in the Inbox also\n"
                 "\"! Post again: quorbic-cli post --again CODE\", which posts it to them.\n\n"
                 "  --bodies  write each message's text below its line, behind \"| \"\n\n"
                 "Nothing is marked read.\n";
        return Success;
    }
    if (!options.error.isEmpty())
        return usageError(QStringLiteral("show"), options.error);
    if (options.arguments.size() != 1)
        return usageError(QStringLiteral("show"),
                          options.arguments.isEmpty() ? QStringLiteral("name the folder to show")
                                                      : QStringLiteral("name one folder"));
    const int folder = folderCode(options.arguments.first());
    if (folder < 0)
        return usageError(QStringLiteral("show"), QStringLiteral("no folder ") + options.arguments.first());
    if (!storeExists(QStringLiteral("show")))
        return Failure;

    ToolSession session({});
    RowSet &query = session.dm().qryArticle();
    query.close();
    query.setParam(QStringLiteral("fld"), folder);
    query.open();
    FolderListing listing;
    const bool inbox = folder == folderCode(Folder::Inbox);
    listing.load(query, inbox);
    listing.setUnposted(UnpostedGroups(session.dm().MainConnection()).all(), inbox);
    FolderListing::BodyReader bodies;
    StoreConnection &store = session.dm().MainConnection();
    RowSet body(store, QStringLiteral("SELECT Body FROM Article WHERE Code=:Code"));
    if (options.bodies) {
        // The text the preview shows, decoded only as it is written.
        bodies = [&body, &store](int code) {
            body.close();
            body.setParam(QStringLiteral("Code"), code);
            body.open();
            if (body.isEmpty())
                return QVariant();
            return QVariant(ArticleText::ofStored(store, code, body.value(Column::Body)).displayText());
        };
    }
    listing.writeLines([](const QString &line) { out() << line << "\n"; }, bodies);
    out().flush();
    return Success;
}
