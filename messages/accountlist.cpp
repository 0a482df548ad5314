#include "messages/accountlist.h"

#include "store/columns.h"
#include "store/rowset.h"

#include <QString>

namespace AccountList {

namespace {
const QString kCode = QStringLiteral("Code");
}

void ensureOpen(RowSet &list)
{
    if (!list.isOpen())
        list.open();
}

bool locate(RowSet &list, int code)
{
    ensureOpen(list);
    if (code == 0)
        return false;
    const int standing = list.row();
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setRow(row);
        if (list.asInt(kCode) == code)
            return true;
    }
    if (standing >= 0)
        list.setRow(standing);
    return false;
}

int defaultAccount(RowSet &list)
{
    ensureOpen(list);
    if (list.isEmpty())
        return 0;
    const int standing = list.row();
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setRow(row);
        if (list.asBool(QStringLiteral("DefaultAccount")))
            return list.asInt(kCode);
    }
    list.setRow(standing < 0 ? 0 : standing);
    return list.asInt(kCode);
}

QString fromValue(const RowSet &list)
{
    return list.asString(Column::UserName) + QStringLiteral(" <") + list.asString(Column::EMailAddress)
        + QLatin1Char('>');
}

} // namespace AccountList
