#include "shell/mainqueries.h"

MainQueries::MainQueries(StoreConnection &connection)
    : qrySendMsg(connection, QStringLiteral("SELECT * FROM Article WHERE Folder=:fld"),
                 QStringLiteral("qrySendMsg")),
      qryCat(connection, QStringLiteral("SELECT * FROM Categories ORDER BY Parent, Kind"),
             QStringLiteral("qryCat")),
      qryNews(connection,
              QStringLiteral("SELECT groupname FROM groupcategory cat , groups gr "
                             "WHERE Category=:Id and gr.code=cat.newsgroup"),
              QStringLiteral("qryNews")),
      qrySetDefault(connection, QStringLiteral("UPDATE account SET DefaultAccount=false")),
      qryReadArticle(connection, QStringLiteral("SELECT * FROM ARTICLE WHERE Code=:Id"),
                     QStringLiteral("qryReadArticle")),
      qrySentA(connection, QStringLiteral("SELECT * FROM Article WHERE Folder=0 and Expire=false"),
               QStringLiteral("qrySentA")),
      qrySentB(connection,
               QStringLiteral("SELECT SNT.Code, SNT.MessageId, ArticleId "
                              "From SentArticles SNT, Article Artl "
                              "Where GroupId=:Id and Artl.Code=ArticleId and (not Expire) "
                              "Order By SNT.Code desc"),
               QStringLiteral("qrySentB")),
      qryMsgIdVerify(connection, QStringLiteral("SELECT* FROM SentArticles Where MessageId=:MSGID"),
                     QStringLiteral("qryMsgIdVerify"))
{
}
