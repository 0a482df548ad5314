#pragma once
// The queries the main window holds on the shared connection for posting,
// retrieving, the account rules and its own preview. They are made closed;
// each user sets the parameters and opens them.

#include "store/rowset.h"
#include "store/sqlcommand.h"

class StoreConnection;

class MainQueries
{
public:
    explicit MainQueries(StoreConnection &connection);

    RowSet qrySendMsg;      // fld: the folder posting reads (the Outbox)
    RowSet qryCat;          // the category tree, for expanding a category into newsgroups
    RowSet qryNews;         // Id: a category's Code; its newsgroup names
    SqlCommand qrySetDefault; // clears every account's default mark
    RowSet qryReadArticle;  // Id: a message's Code
    RowSet qrySentA;        // the unexpired Inbox, for retrieval
    RowSet qrySentB;        // Id: a newsgroup's Code; its recorded copies, newest first
    RowSet qryMsgIdVerify;  // MSGID: a Message-ID
};
