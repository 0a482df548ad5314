#include "exchange/newsgroupnames.h"

QStringList replyNewsgroups(const QString &newsgroup)
{
    return newsgroup.split(QLatin1Char(','), Qt::SkipEmptyParts);
}
