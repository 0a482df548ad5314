#pragma once
// The posting window's queries: the servers that carry a group, the account a
// message is posted with, a group's Code, the recorded copies of a message in a
// group, and the statement that records a copy. Answer retrieval uses the same
// statements to find servers and record the answers it stores.

#include "store/rowset.h"
#include "store/sqlcommand.h"

class StoreConnection;

class SendQueries
{
public:
    explicit SendQueries(StoreConnection &connection);

    // Opens qryServer on the servers carrying group, in the store's order.
    void openServers(const QString &group);
    // Opens qrySentArticle on the copies of message articleId recorded in group.
    void openSentArticle(int articleId, const QString &group);
    // The group's Code through qryGroup; 0 when the store has no such group.
    int groupCode(const QString &group);
    // Records one posted copy or stored answer with qrySent; returns its Code.
    int recordCopy(int articleId, const QString &messageId, const QString &references, int groupCode);

    // A copy about to be posted is recorded first as pending, under the
    // negated group Code, which no look-up by group finds. Confirmed, it
    // becomes an ordinary record. One whose confirmation never came (the
    // connection broke, the program was ended) stays pending, and the next
    // run posts it with the same Message-ID, which servers and their peers
    // take only once.
    QString pendingCopy(int articleId, int groupCode);
    void recordPending(int articleId, const QString &messageId, const QString &references, int groupCode);
    void confirmPending(int articleId, int groupCode);
    void dropPending(int articleId, int groupCode);

    RowSet qryServer; // gname: a group name
    RowSet qryAccount; // Id: an Account.Code
    SqlCommand qrySent; // ART, MSG, RFR, GRP
    RowSet qryGroup; // GNAME: a group name
    RowSet qrySentArticle; // Id: an Article.Code; news: a group name
    SqlCommand qryPendingCopy; // ART, PEND: the pending copy's Message-ID
    SqlCommand qryConfirmCopy; // ART, PEND, GRP
    SqlCommand qryDropPending; // ART, PEND
};
