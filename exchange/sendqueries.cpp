#include "exchange/sendqueries.h"
#include "store/columns.h"

SendQueries::SendQueries(StoreConnection &connection)
    : qryServer(connection,
                QStringLiteral("SELECT srv.* FROM GROUPSERVER grpsrv, GROUPS grp, SERVERS srv "
                               "WHERE grpsrv.NewsGroup=grp.code and grp.groupname=:gname "
                               "and srv.code=grpsrv.server"),
                QStringLiteral("qryServer"))
    , qryAccount(connection, QStringLiteral("SELECT * FROM ACCOUNT WHERE Code= :Id"), QStringLiteral("qryAccount"))
    , qrySent(connection,
              QStringLiteral("INSERT INTO SENTARTICLES (ArticleId, MessageId, ReferencesId,GroupId) "
                             "VALUES ( :ART, :MSG, :RFR, :GRP )"))
    , qryGroup(connection, QStringLiteral("SELECT Code FROM Groups Where GroupName=:GNAME"), QStringLiteral("qryGroup"))
    , qrySentArticle(connection,
                     QStringLiteral("SELECT * FROM SENTARTICLES snt, groups grp "
                                    "where grp.Code= snt.GroupId and ArticleId=:Id and groupname=:news"),
                     QStringLiteral("qrySentArticle"))
    , qryPendingCopy(connection,
                     QStringLiteral("SELECT MessageId FROM SentArticles WHERE ArticleId=:ART AND GroupId=:PEND"),
                     QStringLiteral("qryPendingCopy"))
    , qryConfirmCopy(connection,
                     QStringLiteral("UPDATE SentArticles SET GroupId=:GRP WHERE ArticleId=:ART AND GroupId=:PEND"))
    , qryDropPending(connection, QStringLiteral("DELETE FROM SentArticles WHERE ArticleId=:ART AND GroupId=:PEND"))
{}

void SendQueries::openServers(const QString &group)
{
    qryServer.close();
    qryServer.setParam(QStringLiteral("gname"), group);
    qryServer.open();
}

void SendQueries::openSentArticle(int articleId, const QString &group)
{
    qrySentArticle.close();
    qrySentArticle.setParam(QStringLiteral("Id"), articleId);
    qrySentArticle.setParam(QStringLiteral("news"), group);
    qrySentArticle.open();
}

int SendQueries::groupCode(const QString &group)
{
    qryGroup.close();
    qryGroup.setParam(QStringLiteral("GNAME"), group);
    qryGroup.open();
    return qryGroup.asInt(Column::Code);
}

int SendQueries::recordCopy(int articleId, const QString &messageId, const QString &references, int groupCode)
{
    // Empty texts are stored empty, not NULL, as the copy was sent with them.
    const auto text = [](const QString &value) { return value.isNull() ? QStringLiteral("") : value; };
    qrySent.bind(QStringLiteral("ART"), articleId)
        .bind(QStringLiteral("MSG"), text(messageId))
        .bind(QStringLiteral("RFR"), text(references))
        .bind(QStringLiteral("GRP"), groupCode);
    qrySent.exec();
    return qrySent.lastInsertId().toInt();
}

QString SendQueries::pendingCopy(int articleId, int groupCode)
{
    qryPendingCopy.bind(QStringLiteral("ART"), articleId).bind(QStringLiteral("PEND"), -groupCode);
    qryPendingCopy.exec();
    const QString messageId = qryPendingCopy.next() ? qryPendingCopy.field(Column::MessageId).toString() : QString();
    qryPendingCopy.finish();
    return messageId;
}

void SendQueries::recordPending(int articleId, const QString &messageId, const QString &references, int groupCode)
{
    dropPending(articleId, groupCode);
    recordCopy(articleId, messageId, references, -groupCode);
}

void SendQueries::confirmPending(int articleId, int groupCode)
{
    qryConfirmCopy.bind(QStringLiteral("ART"), articleId)
        .bind(QStringLiteral("PEND"), -groupCode)
        .bind(QStringLiteral("GRP"), groupCode);
    qryConfirmCopy.exec();
}

void SendQueries::dropPending(int articleId, int groupCode)
{
    qryDropPending.bind(QStringLiteral("ART"), articleId).bind(QStringLiteral("PEND"), -groupCode);
    qryDropPending.exec();
}
