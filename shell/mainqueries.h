#pragma once
// The query the main window holds on the shared connection for its preview and
// the message commands: one message by Code. The runs own their queries.

#include "store/rowset.h"

class StoreConnection;

class MainQueries
{
public:
    explicit MainQueries(StoreConnection &connection);

    RowSet qryReadArticle; // Id: a message's Code
};
