#pragma once
// Posting the Outbox: every Outbox message goes, one copy per newsgroup with a
// Message-ID of its own, to the first server that carries the group and takes
// the post; every copy is recorded in SentArticles, and a message that reached
// some group moves to the Inbox with those groups in its Source.
//
// A question whose category posts as one cross-post (CategoryPosting) goes
// instead as one article per server, naming the groups that server is the
// first to carry (at most kCrossPostLimit per article); the groups of an
// article a server refuses go on together to the next server carrying them.
// The article is recorded once per group it reached, with one Message-ID.
// Before the run, a message that would go as more than kCopyWarning separate
// copies with one body to one server is named in a warning box: spam filters
// refuse such copies. The groups a message did not reach are kept with their
// replies (UnpostedGroups), for the preview, `quorbic-cli show` and Post Again.
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
#include <memory>
#include <optional>

class CategoryPosting;
class FolderView;
class NewsClient;
class UnpostedGroups;
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

    // Groups one cross-post may name: PyClean's default limit, below Cleanfeed's 14.
    static constexpr int kCrossPostLimit = 10;
    // Separate copies of one body a server takes before its filter calls them spam.
    static constexpr int kCopyWarning = 5;

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
    void abort() { m_keepSending = false; }

    bool running() const { return m_running; }
    int errorCount() const { return m_errorCount; }
    // What the last run did, for the status bar.
    const PostingTally &tally() const { return m_tally; }

private:
    // A newsgroup row of the message being posted.
    struct Target
    {
        QString group;
        int row = -1;
        bool reached = false;
        bool tried = false;
        QString result; // the text of its last attempt
        // Cross-post mode: the servers carrying the group and the next to try.
        QList<int> servers;
        qsizetype next = 0;
        int groupCode = 0;
        QString pending; // Message-ID of a copy an earlier run sent unanswered
    };

    void postOutbox();
    void postMessage();
    void expandGroups(NameList &groups, NameList &crossPosted);
    void prepareArticle();
    // Posts the copy for the target's group; returns its row's result.
    QString postToGroup(Target &target);
    // Sends the target's copy to the server connected: the server's refusal,
    // or nothing when it took the copy.
    std::optional<QString> sendCopy(const Target &target, const QString &unconfirmed);
    bool postedBefore(const QString &group);
    // A connection attempt: whether the server takes posts, and the words for
    // the group's row and the box.
    struct Connection
    {
        bool canPost = false;
        QString words;
    };
    Connection connectForPosting(const QString &host);
    QString referencesFor(const QString &group);
    void recordPosted(Target &target);
    bool serverHolds(const QString &messageId);
    void keepUnreached();
    void moveToInbox();

    // Cross-post mode (postingcrosspost.cpp).
    void postCrossPost(const QList<qsizetype> &indices);
    void postArticle(const QList<qsizetype> &batch, int server);
    void takeRefusal(const QList<qsizetype> &batch, const QString &messageId, const QString &reply);
    // The warning before the run (postingcrosspost.cpp).
    void warnOfManyCopies();

    Tdm &m_dm;
    RunUi &m_ui;
    PostingView &m_view;
    FolderView &m_folders;
    NewsClient &m_client;

    RowSet qrySendMsg; // fld: the folder to post (the Outbox)
    CategoryExpander m_categories;
    SendQueries m_queries;
    // Made when a run starts: whether the store has their tables is known only then.
    std::unique_ptr<CategoryPosting> m_modes;
    std::unique_ptr<UnpostedGroups> m_unposted;

    std::function<bool()> m_dialUpCheck;
    std::function<QString()> m_newMessageId;
    std::function<QDateTime()> m_clock;

    bool m_running = false;
    bool m_keepSending = true; // until Abort
    int m_errorCount = 0;
    PostingTally m_tally;
    NameList m_failedHosts;
    QList<Target> m_targets;
    bool m_postedSome = false;
};
