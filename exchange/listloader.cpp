#include "exchange/listloader.h"
#include "exchange/newsaccess.h"
#include "exchange/runfailure.h"

#include "exchange/certificatequestions.h"
#include "exchange/listloadview.h"
#include "exchange/networkwaits.h"
#include "exchange/runui.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/listlines.h"
#include "transport/newsclient.h"
#include "transport/newsgroupname.h"

#include <algorithm>

namespace {

const QString kInsGroup = QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)");
const QString kIsGroup = QStringLiteral("SELECT Code FROM GROUPS Where GroupName=:GN");
const QString kInsServerGrp = QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )");
const QString kIsLinked = QStringLiteral("SELECT 1 FROM GroupServer WHERE Newsgroup = :NWS AND Server = :SRV");
// The groups a server carries as one text of codes with commas between: a
// row read per group would cost more than the whole of a known line.
const QString kServerLinks = QStringLiteral("SELECT group_concat(Newsgroup) FROM GroupServer WHERE Server = :SRV");
const QString kSetDescription
    = QStringLiteral("INSERT OR REPLACE INTO GroupDescriptions (Newsgroup, Description) VALUES (:NWS, :DSC)");

constexpr int kBatchLines = 256;

// The batch statements take their rows as one JSON array each: one text bound
// for a batch costs far less than a value bound for each of its rows.
// "INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)" for an array of names;
// the rows get consecutive codes in the array's order.
const QString kInsertGroups
    = QStringLiteral("INSERT INTO GROUPS (GROUPNAME) SELECT value FROM json_each(:NAMES) ORDER BY key");
// "INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )" for an
// array of group codes; a pair the store holds already is refused row by row
// and the refusal ignored, as the single insert's would be.
const QString kInsertLinks
    = QStringLiteral("INSERT OR IGNORE INTO GroupServer (Newsgroup, Server) SELECT value, :SRV FROM json_each(:CODES)");
// kSetDescription for an array of [code, description] pairs, passing over
// those the store holds already as they are (compared letter for letter): a
// server's second load rewrites nothing.
const QString kInsertDescriptions
    = QStringLiteral("INSERT OR REPLACE INTO GroupDescriptions (Newsgroup, Description) "
                     "SELECT row.code, row.text FROM (SELECT json_extract(value, '$[0]') AS code, "
                     "json_extract(value, '$[1]') AS text, key FROM json_each(:ROWS)) row "
                     "LEFT JOIN GroupDescriptions held ON held.Newsgroup = row.code "
                     "WHERE held.Description IS NOT row.text COLLATE BINARY ORDER BY row.key");

// UTF-8 text as a JSON string: quotes, backslashes and control characters
// escaped, the runs between them copied whole. The arrays are built as UTF-8
// and made text once each: a QString built a character at a time, then
// turned back into UTF-8 by SQLite, cost a good part of a description's row.
void appendJsonString(QByteArray &json, QByteArrayView text)
{
    static constexpr char hex[] = "0123456789abcdef";
    json += '"';
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar c = uchar(text[i]);
        if (c != '"' && c != '\\' && c >= 0x20)
            continue;
        json += text.sliced(run, i - run);
        if (c < 0x20) {
            const char escaped[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            json.append(escaped, sizeof escaped);
        } else {
            json += '\\';
            json += char(c);
        }
        run = i + 1;
    }
    json += text.sliced(run);
    json += '"';
}

QString jsonNames(const std::vector<QByteArray> &names)
{
    QByteArray json;
    json.reserve(qsizetype(names.size()) * 24);
    json += '[';
    for (const QByteArray &name : names) {
        if (json.size() > 1)
            json += ',';
        appendJsonString(json, name);
    }
    json += ']';
    return QString::fromUtf8(json);
}

QString jsonCodes(const std::vector<int> &codes)
{
    QByteArray json;
    json.reserve(qsizetype(codes.size()) * 8);
    json += '[';
    for (const int code : codes) {
        if (json.size() > 1)
            json += ',';
        json += QByteArray::number(code);
    }
    json += ']';
    return QString::fromLatin1(json);
}

// Invalid UTF-8 in a description becomes U+FFFD when the array is made text,
// as it did when each description was made text on its own.
QString jsonDescriptions(const std::vector<std::pair<int, QByteArray>> &rows)
{
    QByteArray json;
    json.reserve(qsizetype(rows.size()) * 48);
    json += '[';
    for (const auto &[code, description] : rows) {
        if (json.size() > 1)
            json += ',';
        json += '[';
        json += QByteArray::number(code);
        json += ',';
        appendJsonString(json, description);
        json += ']';
    }
    json += ']';
    return QString::fromUtf8(json);
}

constexpr int kCountStep = 64; // lbCount is refreshed every 64 lines
constexpr int kLoadedStep = 512; // "Loaded <n>" every 512 known names

const QString kErrorBoxTitle = QStringLiteral("Quorbic");
const QString kConnectionErrorTitle = QStringLiteral("Connection Error");

// A new name as the store keeps it: a valid name is ASCII, which Latin-1 reads
// as it is.
QString nameText(const QByteArray &name)
{
    return QString::fromLatin1(name);
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
        m_groupNames.insert(groups.asString(Column::GroupName), groups.asInt(Column::Code));
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
        m_insertGroups = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsertGroups);
        m_insertLinks = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsertLinks);
        if (m_qrySetDescription)
            m_insertDescriptions = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsertDescriptions);
    }
    NewsClient &client = NewsAccess::of(m_dm).client();
    const CertificateQuestions certificates(client, m_ui);
    const NetworkWaits waits(client, m_ui, [this] { return m_continueLoading; });
    for (; !servers.eof(); servers.next()) {
        NewsAccess::of(m_dm).useServer(servers);
        const Server server{servers.asString(Column::ServerName), servers.asInt(Column::Code)};
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
                // The lines are read in place, each handed over as it stands in
                // the connection's buffer. The server's links are read while the
                // server starts on the list: on a second load reading them
                // costs a good part of what the list does.
                client.readNewsgroupList([this](const ListLine &line,
                                                bool &go) { NewsClientNewsgroupList(line.name, go); },
                                         [this] { readLinks(); });
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
        writeDescriptions();
    } catch (...) {
        const QString message = RunFailure::current().text();
        // The lines handled before the failure are kept, as they would be
        // had each been written at once.
        try {
            writeBatch();
            writeDescriptions();
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

void NewsgroupListLoader::NewsClientNewsgroupList(QByteArrayView name, bool &continueListing)
{
    continueListing = m_continueLoading;
    if (!NewsgroupName::isValid(name)) {
        m_view.showSkipped(++m_skippedNames);
        return;
    }
    ++m_groupCount;
    if (m_groupCount % kCountStep == 0)
        m_view.showCount(m_groupCount);
    // The bytes are copied into the room the last name left: no allocation.
    m_currentGroupName.resize(name.size());
    std::copy(name.begin(), name.end(), m_currentGroupName.data());
    letEventsRun(false);

    // The row of a known name is remembered with it; a new name is inserted
    // with its batch, and the code its row gets is remembered then. The name
    // is folded once, for the look-up and for remembering it.
    const std::string_view key = m_groupNames.keyOf(name);
    const GroupNames::Entry held = m_groupNames.find(key);
    const int code = held == GroupNames::None ? 0 : m_groupNames.codeAt(held);
    if (code != 0)
        addToBatch(code);
    else
        addNewName(name, key, held);
}

void NewsgroupListLoader::addNewName(QByteArrayView name, std::string_view key, GroupNames::Entry held)
{
    m_newNames.push_back(name.toByteArray());
    const int pending = -int(m_newNames.size());
    if (held != GroupNames::None)
        m_groupNames.setCodeAt(held, pending);
    else
        held = m_groupNames.add(key, pending);
    m_newEntries.push_back(held);
    addToBatch(pending);
}

void NewsgroupListLoader::addToBatch(int groupCode)
{
    // A pair the store holds already would only be refused: on a server's
    // second load that is every line, and a refusal costs more than the line.
    if (groupCode > 0 && linkedHere(groupCode))
        return;
    m_batchCodes.push_back(groupCode);
    if (int(m_batchCodes.size()) >= kBatchLines || int(m_newNames.size()) >= kBatchLines)
        writeBatch();
}

void NewsgroupListLoader::markLinked(int groupCode)
{
    if (groupCode <= 0)
        return;
    if (groupCode >= int(m_linked.size()))
        m_linked.resize(std::max(size_t(groupCode) + 1, m_linked.size() * 2));
    m_linked[size_t(groupCode)] = true;
}

void NewsgroupListLoader::writeBatch()
{
    if (m_batchCodes.empty())
        return;
    std::vector<int> codes;
    codes.swap(m_batchCodes);
    std::vector<QByteArray> names;
    names.swap(m_newNames);
    std::vector<GroupNames::Entry> entries;
    entries.swap(m_newEntries);
    std::vector<int> newCodes;
    try {
        newCodes = insertNewGroups(names);
        for (size_t i = 0; i < entries.size(); ++i)
            m_groupNames.setCodeAt(entries[i], newCodes[i]);
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
        if (code != 0 && !linkedHere(code)) {
            markLinked(code);
            links.push_back(code);
        }
    }
    insertLinks(links);
}

std::vector<int> NewsgroupListLoader::insertNewGroups(const std::vector<QByteArray> &names)
{
    std::vector<int> codes(names.size(), 0);
    if (names.empty())
        return codes;
    const int rows = int(names.size());
    SqlCommand &insert = *m_insertGroups;
    insert.bind(QStringLiteral("NAMES"), jsonNames(names));
    insert.exec();
    // The rows of one statement get consecutive codes; the last one's is told.
    const int last = insert.lastInsertId().toInt();
    for (int i = 0; i < rows; ++i)
        codes[i] = last > 0 ? last - rows + 1 + i : lookUpGroup(nameText(names[i]));
    return codes;
}

void NewsgroupListLoader::insertLinks(const std::vector<int> &codes)
{
    if (codes.empty())
        return;
    try {
        m_insertLinks->bind(QStringLiteral("CODES"), jsonCodes(codes));
        m_insertLinks->bind(QStringLiteral("SRV"), m_serverCode);
        m_insertLinks->exec();
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

void NewsgroupListLoader::writeLineByLine(const std::vector<int> &codes, const std::vector<QByteArray> &names)
{
    if (!m_qryInsGroup)
        m_qryInsGroup = std::make_unique<SqlCommand>(m_dm.MainConnection(), kInsGroup);
    for (int code : codes) {
        if (code < 0) {
            const QString name = nameText(names[-code - 1]);
            code = m_groupNames.code(name);
            if (code < 0) {
                try {
                    m_qryInsGroup->bind(QStringLiteral("GRPNAME"), name);
                    m_qryInsGroup->exec();
                } catch (const StoreError &) {
                    // Names whose rows were not made are not known to the store.
                    for (const QByteArray &unwritten : names) {
                        const QString text = nameText(unwritten);
                        if (m_groupNames.code(text) < 0)
                            m_groupNames.remove(text);
                    }
                    throw;
                }
                code = m_qryInsGroup->lastInsertId().toInt();
                if (code == 0)
                    code = lookUpGroup(name);
                m_groupNames.setCode(name, code);
            }
        }
        if (code != 0 && !linkedHere(code)) {
            markLinked(code);
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
    m_linked.assign(m_groupNames.size() + 1, false);
    m_qryServerLinks->bind(QStringLiteral("SRV"), m_serverCode);
    m_qryServerLinks->exec();
    const QString codes = m_qryServerLinks->next() ? m_qryServerLinks->value(0).toString() : QString();
    m_qryServerLinks->finish();
    // A value that is no group code (text, a negative number) links nothing.
    for (const QStringView value : QStringView(codes).tokenize(u',')) {
        bool isCode = false;
        const int code = value.toInt(&isCode);
        if (isCode)
            markLinked(code);
    }
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
    NewsAccess::of(m_dm).client().readNewsgroupDescriptions(
        [this](QByteArrayView name, QByteArrayView description, bool &go) {
            go = m_continueLoading;
            letEventsRun(false);
            addDescription(name, description);
        });
    writeDescriptions();
}

void NewsgroupListLoader::addDescription(QByteArrayView name, QByteArrayView description)
{
    // Only groups the lists named: a description alone makes no group.
    const GroupNames::Entry held = m_groupNames.find(m_groupNames.keyOf(name));
    const int code = held == GroupNames::None ? 0 : m_groupNames.codeAt(held);
    if (code == 0)
        return;
    m_descriptions.emplace_back(code, description.toByteArray());
    if (int(m_descriptions.size()) >= kBatchLines)
        writeDescriptions();
}

void NewsgroupListLoader::writeDescriptions()
{
    if (m_descriptions.empty())
        return;
    std::vector<std::pair<int, QByteArray>> rows;
    rows.swap(m_descriptions);
    try {
        m_insertDescriptions->bind(QStringLiteral("ROWS"), jsonDescriptions(rows));
        m_insertDescriptions->exec();
    } catch (const StoreError &) {
        // The statement wrote nothing: row by row, the rows before the refused
        // one are kept and its refusal is reported, as when each was written
        // on its own.
        for (const auto &[code, description] : rows) {
            m_qrySetDescription->bind(QStringLiteral("NWS"), code);
            m_qrySetDescription->bind(QStringLiteral("DSC"), QString::fromUtf8(description));
            m_qrySetDescription->exec();
        }
    }
}

void NewsgroupListLoader::letEventsRun(bool force)
{
    // The clock is read every 16th line only: reading it costs a good part
    // of a line whose name is known.
    if (!force && m_sinceEvents.isValid()) {
        if (m_eventIntervalMs > 0 && (++m_linesSinceClock & 15) != 0)
            return;
        if (m_sinceEvents.elapsed() < m_eventIntervalMs)
            return;
    }
    m_view.showGroupName(QString::fromUtf8(m_currentGroupName));
    m_ui.processEvents();
    m_sinceEvents.start();
}
