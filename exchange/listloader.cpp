#include "exchange/listloader.h"
#include "exchange/newsaccess.h"
#include "exchange/runfailure.h"

#include "exchange/certificatequestions.h"
#include "exchange/listloadview.h"
#include "exchange/networkwaits.h"
#include "exchange/runui.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/newsclient.h"
#include "transport/newsgroupname.h"

#include <optional>

namespace {

const QString kInsGroup = QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)");
const QString kIsGroup = QStringLiteral("SELECT Code FROM GROUPS Where GroupName=:GN");
const QString kInsServerGrp = QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )");
const QString kIsLinked = QStringLiteral("SELECT 1 FROM GroupServer WHERE Newsgroup = :NWS AND Server = :SRV");
const QString kServerLinks = QStringLiteral("SELECT Newsgroup FROM GroupServer WHERE Server = :SRV");
const QString kSetDescription
    = QStringLiteral("INSERT OR REPLACE INTO GroupDescriptions (Newsgroup, Description) VALUES (:NWS, :DSC)");

constexpr int kBatchLines = 256;

// "INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)" for many names at once.
QString insertGroupsStatement(int rows)
{
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << QStringLiteral("(?)");
    return QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES ") + values.join(QLatin1Char(','));
}

// "INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )" for many
// links at once; a pair the store holds already is refused row by row and the
// refusal ignored, as the single insert's would be.
QString insertLinksStatement(int rows)
{
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << QStringLiteral("(?,?)");
    return QStringLiteral("INSERT OR IGNORE INTO GroupServer (Newsgroup, Server) Values ")
        + values.join(QLatin1Char(','));
}

constexpr int kCountStep = 64; // lbCount is refreshed every 64 lines
constexpr int kLoadedStep = 512; // "Loaded <n>" every 512 known names

const QString kErrorBoxTitle = QStringLiteral("Quorbic");
const QString kConnectionErrorTitle = QStringLiteral("Connection Error");

bool greetingAllowsReading(GreetingState state)
{
    return state == GreetingState::CanPost || state == GreetingState::NoPost;
}

} // namespace

NewsgroupListLoader::NewsgroupListLoader(Tdm &dm, RunUi &ui, ListLoadView &view, DialUp dialUp)
    : m_dm(dm)
    , m_ui(ui)
    , m_view(view)
    , m_dialUp(std::move(dialUp))
{
    if (!m_dialUp)
        m_dialUp = [] { return DialUpCheck(); };
}

NewsgroupListLoader::~NewsgroupListLoader() = default;

void NewsgroupListLoader::rememberGroupNames(RowSet &groups)
{
    // By row number, not by cursor: the events let run below repaint a list
    // that moves the cursor of the same row set to the rows it draws.
    const int rows = groups.rowCount();
    for (int read = 1; read <= rows; ++read) {
        groups.setRow(read - 1);
        m_groupNames.insert(groups.asString(QStringLiteral("GroupName")), groups.asInt(QStringLiteral("Code")));
        if (read % kLoadedStep == 0) {
            m_ui.showStatus(0, QStringLiteral("Loaded ") + QString::number(read));
            m_ui.processEvents();
        }
    }
}

void NewsgroupListLoader::rememberStoredGroupNames()
{
    // In Code order, so that of two rows with one name the first is remembered.
    RowSet groups(m_dm.MainConnection(), QStringLiteral("SELECT Code, GroupName FROM Groups ORDER BY Code"));
    groups.open();
    rememberGroupNames(groups);
}

void NewsgroupListLoader::loadAllServers()
{
    RowSet &servers = m_dm.tbServer();
    servers.first();
    if (servers.eof()) {
        m_ui.showMessage(QStringLiteral("Server list is empty"),
                         QStringLiteral("Please, select menu Tools>News Server and add a server"), RunUi::Icon::Error);
        return;
    }
    // Prepared once for all servers: preparing them per line costs more than
    // running them.
    if (!m_qryIsGroup) {
        m_qryIsGroup = std::make_unique<SqlCommand>(m_dm.MainConnection(), kIsGroup);
        m_qryServerLinks = std::make_unique<SqlCommand>(m_dm.MainConnection(), kServerLinks);
        if (m_dm.MainConnection().hasTable(QStringLiteral("GroupDescriptions")))
            m_qrySetDescription = std::make_unique<SqlCommand>(m_dm.MainConnection(), kSetDescription);
        m_insertGroups = std::make_unique<SqlCommand>(m_dm.MainConnection(), insertGroupsStatement(kBatchLines));
        m_insertLinks = std::make_unique<SqlCommand>(m_dm.MainConnection(), insertLinksStatement(kBatchLines));
    }
    NewsClient &client = NewsAccess::of(m_dm).client();
    // The client outlives this loader: the handler is installed for this load only.
    struct HandlerScope
    {
        NewsClient &client;
        NewsgroupListHandler previous;
        ~HandlerScope() { client.setOnNewsgroupList(std::move(previous)); }
    } scope{client, client.onNewsgroupList()};
    const CertificateQuestions certificates(client, m_ui);
    const NetworkWaits waits(client, m_ui, [this] { return m_continueLoading; });
    client.setOnNewsgroupList([this](const QString &name, quint64, quint64, const QString &, bool &go) {
        NewsClientNewsgroupList(name, go);
    });
    for (; !servers.eof(); servers.next()) {
        NewsAccess::of(m_dm).useServer(servers);
        const Server server{servers.asString(QStringLiteral("ServerName")), servers.asInt(QStringLiteral("Code"))};
        m_view.runServer([this, &server] { return loadServer(server); }, [this] { abort(); });
        // A failure may have left the connection open; the next server needs it closed.
        client.disconnect();
    }
}

bool NewsgroupListLoader::loadServer(const Server &server)
{
    NewsClient &client = NewsAccess::of(m_dm).client();
    m_serverCode = server.code;
    // Set before anything can see an Abort, so that an Abort pressed while the
    // window connects still stops this server.
    m_continueLoading = true;
    m_currentGroupName.clear();
    m_view.showGroupName(QString());
    m_view.setCaption(QStringLiteral("Connecting to ") + server.name + QStringLiteral("..."));
    letEventsRun(true);

    if (!m_dialUp())
        return true;

    try {
        client.connect();
    } catch (const WaitAborted &) {
        return true; // Abort while connecting: this server is done with
    } catch (const SocketError &e) {
        const QString text = e.errorNumber() == HostNotFoundErrorNumber
            ? QStringLiteral("The host ") + server.name + QStringLiteral(" is not resolved")
            : RunFailure::atServer(client.settings(), e.text());
        m_ui.showMessage(kConnectionErrorTitle, text, RunUi::Icon::Error);
        return false;
    } catch (const ClientError &e) {
        // No connection is left to ask for a list: close the window instead of
        // requesting the list on a dead connection.
        m_ui.showMessage(kConnectionErrorTitle, RunFailure::atServer(client.settings(), e.text()), RunUi::Icon::Error);
        client.disconnect();
        return true;
    }

    try {
        if (greetingAllowsReading(client.greetingState())) {
            m_groupCount = 0;
            m_skippedNames = 0;
            m_view.showSkipped(0);
            m_view.setCaption(QStringLiteral("Loading Newsgroups from ") + server.name + QStringLiteral("..."));
            letEventsRun(true);
            if (m_continueLoading) {
                readLinks();
                client.newsgroupList();
                m_skippedNames += int(client.skippedListLines());
                m_view.showSkipped(m_skippedNames);
                // The descriptions name groups the batch may still hold.
                writeBatch();
                loadDescriptions();
            }
        }
    } catch (const WaitAborted &) {
        // Abort inside the list: the rows so far stay, as after any Abort.
        writeBatch();
    } catch (...) {
        const QString message = RunFailure::current().text();
        // The lines handled before the failure are kept, as they would be
        // had each been written at once.
        try {
            writeBatch();
        } catch (const StoreError &) {
            // The failure already being reported says what went wrong.
        }
        client.disconnect();
        m_ui.showMessage(kErrorBoxTitle, errorBoxText(message), RunUi::Icon::Error);
        return false;
    }
    client.disconnect();
    return true;
}

void NewsgroupListLoader::NewsClientNewsgroupList(const QString &name, bool &continueListing)
{
    continueListing = m_continueLoading;
    if (!NewsgroupName::isValid(name)) {
        m_view.showSkipped(++m_skippedNames);
        return;
    }
    ++m_groupCount;
    if (m_groupCount % kCountStep == 0)
        m_view.showCount(m_groupCount);
    m_currentGroupName = name;
    letEventsRun(false);

    // The row of a known name is remembered with it; a new name is inserted
    // with its batch, and the code its row gets is remembered then.
    const int code = m_groupNames.code(name);
    if (code == 0) {
        m_newNames.push_back(name);
        const int pending = -int(m_newNames.size());
        m_groupNames.insert(name, pending);
        addToBatch(pending);
    } else {
        addToBatch(code);
    }
}

void NewsgroupListLoader::addToBatch(int groupCode)
{
    // A pair the store holds already would only be refused: on a server's
    // second load that is every line, and a refusal costs more than the line.
    if (groupCode > 0 && m_linked.contains(groupCode))
        return;
    m_batchCodes.push_back(groupCode);
    if (int(m_batchCodes.size()) >= kBatchLines || int(m_newNames.size()) >= kBatchLines)
        writeBatch();
}

void NewsgroupListLoader::writeBatch()
{
    if (m_batchCodes.empty())
        return;
    std::vector<int> codes;
    codes.swap(m_batchCodes);
    std::vector<QString> names;
    names.swap(m_newNames);
    std::vector<int> newCodes;
    try {
        newCodes = insertNewGroups(names);
    } catch (const StoreError &) {
        // The statement wrote nothing. Line by line, the lines before the
        // refused name are written and the refusal ends the list there, as if
        // every line had been written on its own.
        writeLineByLine(codes, names);
        return;
    }
    std::vector<int> links;
    links.reserve(codes.size());
    for (int code : codes) {
        if (code < 0)
            code = newCodes[-code - 1];
        // A link to group 0 would name no group at all.
        if (code != 0 && !m_linked.contains(code)) {
            m_linked.insert(code);
            links.push_back(code);
        }
    }
    insertLinks(links);
}

std::vector<int> NewsgroupListLoader::insertNewGroups(const std::vector<QString> &names)
{
    std::vector<int> codes(names.size(), 0);
    if (names.empty())
        return codes;
    const int rows = int(names.size()); // a batch holds at most kBatchLines
    std::optional<SqlCommand> shorter;
    if (rows < kBatchLines)
        shorter.emplace(m_dm.MainConnection(), insertGroupsStatement(rows));
    SqlCommand &insert = shorter ? *shorter : *m_insertGroups;
    for (int i = 0; i < rows; ++i)
        insert.bindAt(i, names[i]);
    insert.exec();
    // The rows of one statement get consecutive codes; the last one's is told.
    const int last = insert.lastInsertId().toInt();
    for (int i = 0; i < rows; ++i) {
        codes[i] = last > 0 ? last - rows + 1 + i : lookUpGroup(names[i]);
        m_groupNames.setCode(names[i], codes[i]);
    }
    return codes;
}

void NewsgroupListLoader::insertLinks(const std::vector<int> &codes)
{
    if (codes.empty())
        return;
    const int rows = int(codes.size());
    std::optional<SqlCommand> shorter;
    if (rows < kBatchLines)
        shorter.emplace(m_dm.MainConnection(), insertLinksStatement(rows));
    SqlCommand &insert = shorter ? *shorter : *m_insertLinks;
    for (int i = 0; i < rows; ++i) {
        insert.bindAt(2 * i, codes[i]);
        insert.bindAt(2 * i + 1, m_serverCode);
    }
    try {
        insert.exec();
    } catch (const StoreError &) {
        // One link the store will not take refuses the statement: each is
        // tried on its own, so that the refusal has its own line's effect.
        for (int code : codes)
            insertLink(code);
    }
}

void NewsgroupListLoader::insertLink(int groupCode)
{
    if (!m_qryInsServerGrp)
        m_qryInsServerGrp = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsServerGrp);
    try {
        m_qryInsServerGrp->bind(QStringLiteral("NWS"), groupCode);
        m_qryInsServerGrp->bind(QStringLiteral("SRV"), m_serverCode);
        m_qryInsServerGrp->exec();
    } catch (const StoreError &) {
        // The store refuses a pair it already holds (a server loaded again):
        // the link is there, which is all this step wants. Any other refusal
        // (a full disk) ends the load like every other store failure.
        if (!isLinked(groupCode))
            throw;
    }
}

void NewsgroupListLoader::writeLineByLine(const std::vector<int> &codes, const std::vector<QString> &names)
{
    if (!m_qryInsGroup)
        m_qryInsGroup = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsGroup);
    for (int code : codes) {
        if (code < 0) {
            const QString &name = names[-code - 1];
            code = m_groupNames.code(name);
            if (code < 0) {
                try {
                    m_qryInsGroup->bind(QStringLiteral("GRPNAME"), name);
                    m_qryInsGroup->exec();
                } catch (const StoreError &) {
                    // Names whose rows were not made are not known to the store.
                    for (const QString &unwritten : names) {
                        if (m_groupNames.code(unwritten) < 0)
                            m_groupNames.remove(unwritten);
                    }
                    throw;
                }
                code = m_qryInsGroup->lastInsertId().toInt();
                if (code == 0)
                    code = lookUpGroup(name);
                m_groupNames.setCode(name, code);
            }
        }
        if (code != 0 && !m_linked.contains(code)) {
            m_linked.insert(code);
            insertLink(code);
        }
    }
}

int NewsgroupListLoader::lookUpGroup(const QString &name)
{
    m_qryIsGroup->bind(QStringLiteral("GN"), name);
    m_qryIsGroup->exec();
    const int code = m_qryIsGroup->next() ? m_qryIsGroup->value(0).toInt() : 0;
    m_qryIsGroup->finish();
    return code;
}

void NewsgroupListLoader::readLinks()
{
    m_linked.clear();
    m_qryServerLinks->bind(QStringLiteral("SRV"), m_serverCode);
    m_qryServerLinks->exec();
    while (m_qryServerLinks->next())
        m_linked.insert(m_qryServerLinks->value(0).toInt());
    m_qryServerLinks->finish();
}

bool NewsgroupListLoader::isLinked(int groupCode)
{
    SqlCommand link(m_dm.MainConnection(), kIsLinked);
    link.bind(QStringLiteral("NWS"), groupCode).bind(QStringLiteral("SRV"), m_serverCode).exec();
    return link.next();
}

void NewsgroupListLoader::loadDescriptions()
{
    if (!m_qrySetDescription || !m_continueLoading)
        return;
    NewsAccess::of(m_dm).client().newsgroupDescriptions([this](const QString &name, const QString &description, bool &go) {
        go = m_continueLoading;
        letEventsRun(false);
        setDescription(name, description);
    });
}

void NewsgroupListLoader::setDescription(const QString &name, const QString &description)
{
    // Only groups the lists named: a description alone makes no group.
    const int code = m_groupNames.code(name);
    if (code == 0)
        return;
    m_qrySetDescription->bind(QStringLiteral("NWS"), code);
    m_qrySetDescription->bind(QStringLiteral("DSC"), description);
    m_qrySetDescription->exec();
}

void NewsgroupListLoader::letEventsRun(bool force)
{
    if (!force && m_sinceEvents.isValid() && m_sinceEvents.elapsed() < m_eventIntervalMs)
        return;
    m_view.showGroupName(m_currentGroupName);
    m_ui.processEvents();
    m_sinceEvents.start();
}
