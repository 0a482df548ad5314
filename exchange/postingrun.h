#pragma once
// Posting the Outbox: every Outbox message goes, one copy per newsgroup with a
// Message-ID of its own, to the first server that carries the group and takes
// the post; every copy is recorded in SentArticles, and a message that reached
// some group moves to the Inbox with those groups in its Source.
//
// The run is what the posting window starts when it is shown; it shows its rows
// through PostingView, its boxes through RunUi, and keeps the main window's
// tree in step through FolderView. Abort (abort(), the window's btnAbortClick)
// is seen where the run lets events run: after each newsgroup and after a
// message's article is prepared. The message in progress still finishes its
// bookkeeping.
//
// Every recorded copy, and every move to the Inbox, is committed as soon as it
// is written, so a crash never loses the record of a copy that is on Usenet. A
// message still in the Outbox is not posted again to a group where a copy of it
// is recorded already: that copy counts as posted.

#include "exchange/categoryexpander.h"
#include "exchange/namelist.h"
#include "exchange/postingtally.h"
#include "exchange/sendqueries.h"
#include "store/rowset.h"

#include <QDateTime>
#include <QString>

#include <functional>

class FolderView;
class NewsClient;
class PostingView;
class RunUi;
class Tdm;

class PostingRun
{
public:
    enum class Outcome {
        Finished, // every message was tried
        Aborted, // Abort stopped the run
        Failed, // a failure that is not a refused post or connection ended it (shown in the error box)
        Refused, // another posting or retrieval was in progress: nothing done
    };

    PostingRun(Tdm &dm, RunUi &ui, PostingView &view, FolderView &folders);
    ~PostingRun();

    // The dial-up check, the Message-ID of each copy and the time an article is
    // dated with; the defaults are the system's.
    void setDialUpCheck(std::function<bool()> check) { m_dialUpCheck = std::move(check); }
    void setMessageIdSource(std::function<QString()> source) { m_newMessageId = std::move(source); }
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // The run. Never throws: failures it does not handle end it with the
    // standard error box, leaving the current message in the Outbox.
    Outcome run();
    // btnAbortClick: no further newsgroup or message is started.
    void abort() { KeepSending = false; }

    bool running() const { return m_running; }
    int errorCount() const { return m_errorCount; }
    // What the last run did, for the status bar.
    const PostingTally &tally() const { return m_tally; }

    bool KeepSending = true;
    // The result of the current attempt: a group row's "Result" and the text of
    // the connection boxes.
    QString ResultText;

private:
    void postOutbox();
    void postMessage();
    void prepareArticle();
    void postToGroup(const QString &group, int row);
    bool postedBefore(const QString &group);
    bool connectForPosting(const QString &host);
    QString referencesFor(const QString &group);
    void recordPosted(const QString &group, int row);
    bool serverHolds(const QString &messageId);
    void moveToInbox();

    Tdm &m_dm;
    RunUi &m_ui;
    PostingView &m_view;
    FolderView &m_folders;
    NewsClient &m_client;

    RowSet qrySendMsg; // fld: the folder to post (the Outbox)
    CategoryExpander m_categories;
    SendQueries m_queries;

    std::function<bool()> m_dialUpCheck;
    std::function<QString()> m_newMessageId;
    std::function<QDateTime()> m_clock;

    bool m_running = false;
    int m_errorCount = 0;
    PostingTally m_tally;
    NameList m_failedHosts;
    NameList m_groups;
    QString m_postedGroups;
    bool m_postedInGroup = false;
    bool m_postedSome = false;
};
