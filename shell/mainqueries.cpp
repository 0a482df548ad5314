#include "shell/mainqueries.h"

MainQueries::MainQueries(StoreConnection &connection)
    : qryReadArticle(connection, QStringLiteral("SELECT * FROM ARTICLE WHERE Code=:Id"),
                     QStringLiteral("qryReadArticle"))
{}
