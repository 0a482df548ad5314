#pragma once
// Loading the newsgroup lists of all news servers into Groups (one row per
// distinct name) and GroupServer (one row per group and server that carries it).
//
// For every row of the data module's tbServer, in table order, the client is set
// up from the row and the loading window is shown; while it is on screen the
// server is dialled (when the dial-up check allows), connected, asked for its
// LIST, and disconnected. Every listed line goes through NewsClientNewsgroupList.
// Failures of one server are shown through the RunUi and stop only that server:
// - dial-up declined: the server is skipped without a message;
// - a socket failure while connecting ("Connection Error": "News Server
//   host:port: " and its text; an unresolved host as "The host <name> is not
//   resolved"): the window stays until the user closes it;
// - any other connection failure ("Connection Error", named the same way): the
//   client is disconnected and the window closes;
// - a failed LIST or store statement (the standard "Quorbic" error box): the
//   client is disconnected before the next server, and the window stays until
//   the user closes it.
// Only valid newsgroup names are taken (RFC 5536 3.1.4): a name with a comma
// or a control character would later be posted to as it is. The others, and
// lines whose numbers cannot be read, are counted as skipped and shown.
// Each listed name not yet in GroupNames is inserted into Groups; each pair of
// group and server not yet in GroupServer is linked (a refused link is ignored).
// After a complete list, where the store has table GroupDescriptions, the
// server's LIST NEWSGROUPS is read too and each listed group's description
// kept (a server that refuses it leaves the names alone).
// The rows are written in batches of lines (see writeBatch) with statements
// of many rows each.
// Abort stops the current server's list after the line being handled; every row
// written so far stays. All rows go into the store's open transaction: the
// caller decides whether they are kept.
//
// The loader owns the set of known names (GroupNames, each with the code of its
// row) and the prepared statements for as long as it lives; the newsgroups
// dialog makes one each time it opens. Before a load GroupNames must hold every
// name already in Groups (rememberGroupNames), or names would be inserted twice.

#include "exchange/groupnames.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class ListLoadView;
class RowSet;
class RunUi;
class SqlCommand;
class Tdm;

class NewsgroupListLoader
{
public:
    // True means go on line (the dial-up check).
    using DialUp = std::function<bool()>;

    // An empty dialUp uses the system's dial-up check.
    NewsgroupListLoader(Tdm &dm, RunUi &ui, ListLoadView &view, DialUp dialUp = {});
    ~NewsgroupListLoader();
    NewsgroupListLoader(const NewsgroupListLoader &) = delete;
    NewsgroupListLoader &operator=(const NewsgroupListLoader &) = delete;

    GroupNames &groupNames() { return m_groupNames; }

    // Adds the GroupName and Code of every row of groups to GroupNames, from its
    // first row to its last, showing "Loaded <n>" in status panel 0 after every
    // 512th name and letting events run then.
    void rememberGroupNames(RowSet &groups);
    // The same for every row of Groups, for a caller without a list of its own
    // (quorbic-cli).
    void rememberStoredGroupNames();

    // Loads the list of every server; shows "Server list is empty" when there is
    // none. Store errors outside a server's list (walking tbServer) escape.
    void loadAllServers();

    // The list handler for one line of a server's LIST reply, with the group
    // name as the line gives it. continueListing is given the value
    // ContinueLoading has on entry, so an Abort seen while one line is handled
    // is answered by the next line, which is still handled.
    void NewsClientNewsgroupList(QByteArrayView name, bool &continueListing);

    // Abort in the loading window: the current server's list stops.
    void abort() { m_continueLoading = false; }

    int GroupCount() const { return m_groupCount; }
    // Lines of the current server's list that named no valid newsgroup.
    int skippedNames() const { return m_skippedNames; }
    bool ContinueLoading() const { return m_continueLoading; }
    QString CurrentGroupName() const { return QString::fromUtf8(m_currentGroupName); }

    // How often the handler lets window events run at most: a repaint and a look
    // at the Abort button per line would cost more than the line itself.
    void setEventInterval(int ms) { m_eventIntervalMs = ms; }

private:
    struct Server
    {
        QString name;
        int code = 0;
    };

    // The loading window's opening steps for one server; false when a failure
    // was shown and the window is to stay open.
    bool loadServer(const Server &server);
    int lookUpGroup(const QString &name);
    // The groups the current server is known to carry, before its list comes.
    void readLinks();
    // Lines wait in a batch and are written by two statements of many rows
    // each (the new names, then the links): a statement per row costs several
    // times its row. The batch is written when full, at the end of a list and
    // when a list breaks off, so that every line handled is in the store by
    // the time the server's turn ends. A refused statement is done again line
    // by line, so that a refusal has the effect it would have had on its line.
    void addToBatch(int groupCode);
    void addNewName(QByteArrayView name, std::string_view key, GroupNames::Entry held);
    void writeBatch();
    // Inserts new names; returns the code each one's row got.
    std::vector<int> insertNewGroups(const std::vector<QByteArray> &names);
    void insertLinks(const std::vector<int> &codes);
    void insertLink(int groupCode);
    void writeLineByLine(const std::vector<int> &codes, const std::vector<QByteArray> &names);
    bool isLinked(int groupCode);
    // Whether this load has linked the group to the current server, or found
    // it linked: codes are small and dense, so a bit per code answers.
    bool linkedHere(int groupCode) const { return groupCode < int(m_linked.size()) && m_linked[size_t(groupCode)]; }
    void markLinked(int groupCode);
    void loadDescriptions();
    // Descriptions wait in a batch as lines do, written by one statement of
    // many rows.
    void addDescription(QByteArrayView name, QByteArrayView description);
    void writeDescriptions();
    void letEventsRun(bool force);

    Tdm &m_dm;
    RunUi &m_ui;
    ListLoadView &m_view;
    DialUp m_dialUp;

    GroupNames m_groupNames;
    int m_groupCount = 0;
    int m_skippedNames = 0;
    bool m_continueLoading = false;
    QByteArray m_currentGroupName; // as the line gave it
    int m_serverCode = 0;

    std::unique_ptr<SqlCommand> m_qryIsGroup;
    std::unique_ptr<SqlCommand> m_qryServerLinks;
    std::unique_ptr<SqlCommand> m_qrySetDescription; // none without GroupDescriptions
    std::unique_ptr<SqlCommand> m_qryInsGroup; // the line-by-line statements
    std::unique_ptr<SqlCommand> m_qryInsServerGrp;
    std::vector<bool> m_linked;

    // The batch: the group of each line (its code, or for a name new to the
    // store -1 - its place in m_newNames), and the new names in list order.
    std::vector<int> m_batchCodes;
    std::vector<QByteArray> m_newNames; // as the lines gave them
    std::vector<GroupNames::Entry> m_newEntries; // each new name's in GroupNames
    // The batch statements, prepared once, each taking its rows as one JSON
    // array.
    std::unique_ptr<SqlCommand> m_insertGroups;
    std::unique_ptr<SqlCommand> m_insertLinks;
    std::unique_ptr<SqlCommand> m_insertDescriptions;
    std::vector<std::pair<int, QByteArray>> m_descriptions; // group code, description as UTF-8

    QElapsedTimer m_sinceEvents;
    int m_eventIntervalMs = 10;
    unsigned m_linesSinceClock = 0;
};
