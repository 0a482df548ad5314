#pragma once
// Retrieving answers: every newsgroup where a copy of an unexpired Inbox
// message (a question, or an answer found there) is recorded is scanned from right after where the last complete scan of
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

#include "exchange/answerstore.h"
#include "exchange/grouprecords.h"
#include "exchange/namelist.h"
#include "exchange/overviewscan.h"
#include "exchange/referencematcher.h"
#include "exchange/scanmarks.h"
#include "exchange/sendqueries.h"
#include "store/sqlcommand.h"

#include <QString>

#include <functional>
#include <optional>

class FolderView;
class NewsClient;
class RunUi;
class Tdm;

// Drives the run: the groups to scan, a server for each, where each scan
// starts; OverviewScan walks a group's overview, GroupRecords says what its
// lines may answer and AnswerStore keeps what they do.
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

private:
    void run();
    // The status bar's last word: the count, or what kept groups unread.
    QString outcomeText() const;
    // "News Server host:port: reason" for the server set up last.
    QString serverFailure(const QString &reason) const;
    void collectGroups();
    void scanGroup(const QString &group);
    // meanwhile runs while the server prepares its greeting.
    bool connectForReading(const QString &host, const std::function<void()> &meanwhile);
    // What the store says of a group before its server is asked anything: its
    // Code, the mark of its last complete scan there, and the records a scan
    // from there needs first (loaded into m_matcher).
    struct GroupStart
    {
        int groupCode = 0;
        quint64 mark = 0; // 0: no mark
        std::optional<QString> oldest; // without a mark: the oldest record's Message-ID
    };
    GroupStart prepareGroup(const QString &group, int serverCode);
    void readGroup(const QString &group, int serverCode, GroupStart start);
    // The highest article number examined.
    quint64 examineOverview(const QString &group);
    void examine(const QString &group, qsizetype index);
    bool fetchAnswer(quint64 number);

    Tdm &m_dm;
    RunUi &m_ui;
    FolderView &m_folders;
    NewsClient &m_client;

    SqlCommand qrySentA; // the groups to scan: those recording unexpired Inbox messages
    SendQueries m_queries;
    ScanMarks m_marks;
    GroupRecords m_records;
    AnswerStore m_answers;
    ReferenceMatcher m_matcher; // the group's records, with the answers stored in this scan
    OverviewScan m_scan;

    std::function<bool()> m_dialUpCheck;

    NameList m_groups;
    NameList m_failedHosts;
    int m_groupCode = 0; // the Code of the group being read
    int m_newAnswers = 0;
    int m_unreadGroups = 0; // groups no server let the run read to the end
    QString m_lastFailure; // "News Server host:port: reason" of the last of them
    QString m_connectMessages; // the connection's words, shown in the box when it fails
    QString m_connectFailure; // the socket's words when the last connection failed
};

// The main window's Retrieve command: one run with the system's dial-up check.
void RetrieveAnswers(Tdm &dm, RunUi &ui, FolderView &folders);
