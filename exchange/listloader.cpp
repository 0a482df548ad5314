#include "exchange/listloader.h"
#include "exchange/newsaccess.h"

#include "exchange/certificatequestions.h"
#include "exchange/listloadview.h"
#include "exchange/runui.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/newsclient.h"

namespace {

const QString kInsGroup = QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)");
const QString kIsGroup = QStringLiteral("SELECT Code FROM GROUPS Where GroupName=:GN");
const QString kInsServerGrp = QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )");
const QString kIsLinked = QStringLiteral("SELECT 1 FROM GroupServer WHERE Newsgroup = :NWS AND Server = :SRV");
const QString kServerLinks = QStringLiteral("SELECT Newsgroup FROM GroupServer WHERE Server = :SRV");

constexpr int kCountStep = 64; // lbCount is refreshed every 64 lines
constexpr int kLoadedStep = 512; // "Loaded <n>" every 512 known names

const QString kErrorBoxTitle = QStringLiteral("Quorbic");
const QString kConnectionErrorTitle = QStringLiteral("Connection Error");

// The text of the failure being handled, for the standard error box.
QString messageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ClientError &e) {
        return e.text();
    } catch (const StoreError &e) {
        return e.text();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

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
    if (!m_qryInsGroup) {
        m_qryInsGroup = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsGroup);
        m_qryIsGroup = std::make_unique<SqlCommand>(m_dm.MainConnection(), kIsGroup);
        m_qryInsServerGrp = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsServerGrp);
        m_qryServerLinks = std::make_unique<SqlCommand>(m_dm.MainConnection(), kServerLinks);
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
    client.setOnNewsgroupList([this](const QString &name, quint32, quint32, const QString &, bool &go) {
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
    } catch (const SocketError &e) {
        const QString text = e.errorNumber() == HostNotFoundErrorNumber
            ? QStringLiteral("The host ") + server.name + QStringLiteral(" is not resolved")
            : e.text();
        m_ui.showMessage(kConnectionErrorTitle, text, RunUi::Icon::Error);
        return false;
    } catch (const ClientError &e) {
        // No connection is left to ask for a list: close the window instead of
        // requesting the list on a dead connection.
        m_ui.showMessage(kConnectionErrorTitle, e.text(), RunUi::Icon::Error);
        client.disconnect();
        return true;
    }

    try {
        if (greetingAllowsReading(client.greetingState())) {
            m_groupCount = 0;
            m_view.setCaption(QStringLiteral("Loading Newsgroups from ") + server.name + QStringLiteral("..."));
            letEventsRun(true);
            if (m_continueLoading) {
                readLinks();
                client.newsgroupList();
            }
        }
    } catch (...) {
        const QString message = messageOf(std::current_exception());
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
    ++m_groupCount;
    if (m_groupCount % kCountStep == 0)
        m_view.showCount(m_groupCount);
    m_currentGroupName = name;
    letEventsRun(false);

    // The row of a known name is remembered with it, and a new row's code is
    // the one the insert made: the look-up by name is left for a store that
    // does not tell the code of a new row.
    int code = m_groupNames.code(name);
    if (code == 0) {
        code = insertGroup(name);
        if (code == 0)
            code = lookUpGroup(m_currentGroupName);
        m_groupNames.insert(name, code);
    }
    // A link to group 0 would name no group at all.
    if (code != 0)
        linkGroup(code);
}

int NewsgroupListLoader::insertGroup(const QString &name)
{
    m_qryInsGroup->bind(QStringLiteral("GRPNAME"), name);
    m_qryInsGroup->exec();
    return m_qryInsGroup->lastInsertId().toInt();
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

void NewsgroupListLoader::linkGroup(int groupCode)
{
    // A pair the store holds already would only be refused: on a server's
    // second load that is every line, and a refusal costs more than the line.
    if (m_linked.contains(groupCode))
        return;
    m_linked.insert(groupCode);
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

bool NewsgroupListLoader::isLinked(int groupCode)
{
    SqlCommand link(m_dm.MainConnection(), kIsLinked);
    link.bind(QStringLiteral("NWS"), groupCode).bind(QStringLiteral("SRV"), m_serverCode).exec();
    return link.next();
}

void NewsgroupListLoader::letEventsRun(bool force)
{
    if (!force && m_sinceEvents.isValid() && m_sinceEvents.elapsed() < m_eventIntervalMs)
        return;
    m_view.showGroupName(m_currentGroupName);
    m_ui.processEvents();
    m_sinceEvents.start();
}
