#include "exchange/postagain.h"

#include "store/columns.h"
#include "store/dmod.h"
#include "store/folders.h"
#include "store/sqlcommand.h"
#include "store/unpostedgroups.h"

bool PostAgain::possible(Tdm &dm, int code)
{
    UnpostedGroups unposted(dm.MainConnection());
    if (!unposted.available())
        return false;
    SqlCommand folder(dm.MainConnection(), QStringLiteral("SELECT Folder FROM Article WHERE Code=:Code"),
                      QStringLiteral("Article"));
    folder.bind(QStringLiteral("Code"), code);
    folder.exec();
    const bool inInbox = folder.next() && !folder.field(Column::Folder).isNull()
        && folder.field(Column::Folder).toInt() == folderCode(Folder::Inbox);
    folder.finish();
    return inInbox && !unposted.of(code).isEmpty();
}

bool PostAgain::move(Tdm &dm, int code)
{
    if (!possible(dm, code))
        return false;
    SqlCommand toOutbox(dm.MainConnection(), QStringLiteral("UPDATE Article SET Folder=:FLD WHERE Code=:Code"));
    toOutbox.bind(QStringLiteral("FLD"), folderCode(Folder::Outbox)).bind(QStringLiteral("Code"), code);
    toOutbox.exec();
    dm.checkpoint();
    return true;
}
