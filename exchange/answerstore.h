#pragma once
// Where retrieval keeps what it finds: an answer goes into the Inbox below the
// message it answers, its header beside it when the store has the table for
// that, and it is recorded under its Message-ID in its group, so that answers
// to it are found too. Answer and record are committed together: a crash
// keeps both or neither.

#include "exchange/sendqueries.h"
#include "store/articleheaders.h"
#include "store/sqlcommand.h"
#include "transport/overview.h"

class NntpMessage;
class Tdm;

// An overview line found to answer a stored message.
struct FoundAnswer
{
    OverviewLine line;
    bool lineIsUtf8 = true; // how the line's bytes were read
    QString group;
    int groupCode = 0;
    int parent = 0; // the message answered
};

class AnswerStore
{
public:
    // queries: the run's, whose statement records each answer.
    AnswerStore(Tdm &dm, SendQueries &queries);

    // Prepares the statements that keep answers: an answer kept without its
    // record would be stored again by every later run, so a store that cannot
    // take them (a column missing, a file opened for reading only) fails
    // before anything is fetched. Throws StoreError.
    void prepare();
    // Whether headers are kept, and so fetched with the bodies.
    bool keepsHeaders() const { return m_headers.available(); }
    // Whether a Message-ID is recorded in any group: found before, or in a
    // group the article was cross-posted to.
    bool isRecorded(const QString &messageId);

    struct Stored
    {
        int articleCode = 0;
        int recordCode = 0;
    };
    // Stores the answer with the body (and header) the server sent, and its
    // record, and commits them; a store failure keeps none of them.
    Stored store(const FoundAnswer &answer, const NntpMessage &fetched);

private:
    Tdm &m_dm;
    SqlCommand qryMsgIdVerify; // MSGID: a Message-ID
    SqlCommand qryReadArticle; // stores an answer, prepared once for the whole run
    SendQueries &m_queries;
    ArticleHeaders m_headers;
};
