#include "directories/accountrules.h"

#include "store/columns.h"
#include "store/dmod.h"

namespace {
const QString kDefaultAccount = QStringLiteral("DefaultAccount");
}

void AccountRules::install(Tdm &dm)
{
    RowSet &account = dm.qryAccount();
    Tdm *module = &dm;
    account.afterInsert = [](RowSet &rows) { qryAccountAfterInsert(rows); };
    account.beforePost = [module](RowSet &rows) { qryAccountBeforePost(*module, rows); };
    account.afterPost = [module](RowSet &rows) { qryAccountAfterPost(*module, rows); };
}

void AccountRules::qryAccountAfterInsert(RowSet &account)
{
    // The new row is not among the rows yet: none means it is the first account.
    account.setValue(kDefaultAccount, account.rowCount() == 0);
}

void AccountRules::qryAccountBeforePost(Tdm &dm, RowSet &account)
{
    if (!account.asBool(kDefaultAccount))
        return;
    dm.MainConnection().execDirect(QStringLiteral("UPDATE account SET DefaultAccount=false"));
    // The statement cleared this row's stored mark too; writing the column even
    // when the user left it as it was puts the mark back.
    account.setValue(kDefaultAccount, true);
}

void AccountRules::qryAccountAfterPost(Tdm &dm, RowSet &account)
{
    const QVariant code = account.value(Column::Code);
    account.reopen();
    account.locate(Column::Code, code);
    dm.qryAccount1().reopen();
}

void AccountRules::afterRemove(Tdm &dm)
{
    dm.qryAccount1().reopen();
}
