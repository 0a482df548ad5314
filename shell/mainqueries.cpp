#include "shell/mainqueries.h"

namespace {
// A shown column of the questions' rows; NULL for the others.
QString ofQuestions(const char *column)
{
    return QStringLiteral("CASE WHEN Parent=0 THEN \"%1\" END AS \"%1\"").arg(QLatin1String(column));
}
} // namespace

MainQueries::MainQueries(StoreConnection &connection)
    : qryReadArticle(connection, QStringLiteral("SELECT * FROM ARTICLE WHERE Code=:Id"),
                     QStringLiteral("qryReadArticle"))
    , qryThreads(connection,
                 QStringLiteral("Select Code, Parent, IsRead, %1, %2, %3, %4 from article not indexed "
                                "where folder=:fld")
                     .arg(ofQuestions("Subject"), ofQuestions("From"), ofQuestions("SentDate"), ofQuestions("Source")),
                 QStringLiteral("qryThreads"))
    , qryAnswers(connection,
                 QStringLiteral("Select Code, IsRead, Subject, \"From\", SentDate, Source from article "
                                "where folder=:fld and Parent=:Parent"),
                 QStringLiteral("qryAnswers"))
{
    // Read a row at a time: a folder of any size is never held in memory.
    qryThreads.setForwardOnly(true);
    qryAnswers.setForwardOnly(true);
}
