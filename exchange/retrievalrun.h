#pragma once
// Retrieving answers: every newsgroup named in the Source of an unexpired
// Inbox message is scanned from right after where the last complete scan of
// the group on the same server ended (ScanMarks), or else from the article
// number of its oldest unexpired record (scanstart.h), and every article whose References hold a
// recorded Message-ID of that group is stored in the Inbox below the message
// the newest such record belongs to, with its body fetched (and its header,
// kept beside it when the store has the table for it), and is recorded
// itself, so that answers to answers thread below it, in the same scan too.
//
// The run (RetrieveAnswers) belongs to the main window: it shows the hourglass
// and its progress through RunUi (panel 0 the step and at the end the count,
// panel 1 the index of the overview line) and keeps the tree in step through
// FolderView while the Inbox is on view. Each answer and its record are
// committed together as soon as they are written.

#include "exchange/namelist.h"
#include "exchange/referencematcher.h"
#include "exchange/scanmarks.h"
#include "exchange/sendqueries.h"
#include "store/articleheaders.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"

#include <QString>

#include <deque>
#include <functional>

class FolderView;
class NewsClient;
class RunUi;
class Tdm;
struct OverviewLine;

class RetrievalRun
{
public:
    enum class Outcome {
        Finished,
        Failed, // a failure that is not the news client's ended it (shown in the error box)
        Refused, // another posting or retrieval was in progress: nothing done
    };

    RetrievalRun(Tdm &dm, RunUi &ui, FolderView &folders);
    ~RetrievalRun();

    // The dial-up check; the default is the system's.
    void setDialUpCheck(std::function<bool()> check) { m_dialUpCheck = std::move(check); }

    // The run. Never throws.
    Outcome RetrieveAnswers();
    // Answers stored by the last run.
    int newAnswers() const { return m_newAnswers; }

    // The connection messages of the current attempt (shown in the boxes).
    QString ResultText;

private:
    void run();
    // The status bar's last word: the count, or what kept groups unread.
    QString outcomeText() const;
    // "News Server host:port: reason" for the server set up last.
    QString serverFailure(const QString &reason) const;
    void collectGroups();
    void scanGroup(const QString &group);
    bool connectForReading(const QString &host);
    void readGroup(const QString &group, int serverCode);
    void examine(const QString &group, const QByteArray &overviewLine);
    void storeAnswer(const QString &group, const OverviewLine &line, int parent);
    void requestBodiesAhead();
    bool isRecorded(const QString &messageId);

    Tdm &m_dm;
    RunUi &m_ui;
    FolderView &m_folders;
    NewsClient &m_client;

    SqlCommand qrySentA; // the unexpired Inbox
    SqlCommand qrySentB; // Id: a group's Code; its unexpired records, newest first
    SqlCommand qryMsgIdVerify; // MSGID: a Message-ID
    SqlCommand qryReadArticle; // stores an answer, prepared once for the whole run
    SendQueries m_queries;
    ScanMarks m_marks;
    ArticleHeaders m_headers; // kept when the store has their table

    std::function<bool()> m_dialUpCheck;

    NameList m_groups;
    NameList m_failedHosts;
    ReferenceMatcher m_matcher;
    int m_groupCode = 0; // the Code of the group being read
    int m_newAnswers = 0;
    int m_unreadGroups = 0; // groups no server let the run read to the end
    QString m_lastFailure; // "News Server host:port: reason" of the last of them
    QString m_connectFailure; // the socket's words when the last connection failed
    bool m_lineIsUtf8 = true; // how the overview line being examined was decoded
    // The overview of the group being read, the line being examined, the first
    // line the look-ahead for bodies has not seen, the lines whose bodies are
    // asked for and not examined yet, and the Message-IDs of the lines whose
    // bodies were asked for in this group.
    static constexpr std::size_t kBodiesAhead = 4;
    QList<QByteArray> m_overview;
    qsizetype m_line = 0;
    qsizetype m_lookedAhead = 0;
    std::deque<qsizetype> m_requested;
    ReferenceMatcher m_expected;
};

// The main window's Retrieve command: one run with the system's dial-up check.
void RetrieveAnswers(Tdm &dm, RunUi &ui, FolderView &folders);
