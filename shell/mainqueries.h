#pragma once
// The queries the main window holds on the shared connection: one message by
// Code for its preview and the message commands, and the two the Inbox
// threads are read with. The runs own their queries.

#include "store/rowset.h"

class StoreConnection;

class MainQueries
{
public:
    explicit MainQueries(StoreConnection &connection);

    RowSet qryReadArticle; // Id: a message's Code
    // fld: a folder. Code, Parent and IsRead of each of its messages and the
    // shown columns of the questions (Parent 0) only: the answers' are read
    // when their nodes are made. In the table's order: a scan reads each page
    // once, where a walk by Parent comes back to a page for each of its rows.
    RowSet qryThreads;
    // fld, Parent: the shown columns of the answers to one message.
    RowSet qryAnswers;
};
