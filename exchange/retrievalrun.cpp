#include "exchange/retrievalrun.h"

#include "exchange/certificatequestions.h"
#include "exchange/folderview.h"
#include "exchange/networkwaits.h"
#include "exchange/newsaccess.h"
#include "exchange/runfailure.h"
#include "exchange/runlock.h"
#include "exchange/runui.h"
#include "exchange/scanstart.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "store/folders.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <algorithm>

namespace {

const QString kConnecting = QStringLiteral("Connecting...");
const QString kLoadingFrom = QStringLiteral("Loading articles from ");
const QString kServerBoxTitle = QStringLiteral("News Server ");
const QString kAppTitle = QStringLiteral("Quorbic");
// How much of a broken overview line a message shows.
constexpr qsizetype kShownLineLength = 80;

// The groups holding a record of an unexpired Inbox message: only there can an
// article answer one (a group named in a message's Source where no copy was
// recorded holds nothing to find). The records' group index gives each group
// in one seek, however large the Inbox; a group's records are asked whether
// one is of an unexpired Inbox message from the newest on.
const QString kScannedGroups = QStringLiteral(
    "WITH RECURSIVE Recorded(Id) AS ("
    " SELECT (SELECT GroupId FROM SentArticles WHERE GroupId IS NOT NULL ORDER BY GroupId LIMIT 1)"
    " UNION ALL"
    " SELECT (SELECT GroupId FROM SentArticles WHERE GroupId > Id ORDER BY GroupId LIMIT 1)"
    " FROM Recorded WHERE Id IS NOT NULL) "
    "SELECT GroupName FROM Recorded, Groups WHERE Groups.Code = Recorded.Id AND EXISTS ("
    " SELECT 1 FROM SentArticles SNT, Article Artl WHERE SNT.GroupId = Recorded.Id AND Artl.Code = SNT.ArticleId"
    " AND Artl.Folder=0 and Artl.Expire=false ORDER BY SNT.Code DESC LIMIT 1)");

QString countText(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" new message") : QStringLiteral(" new messages"));
}

} // namespace

RetrievalRun::RetrievalRun(Tdm &dm, RunUi &ui, FolderView &folders)
    : m_dm(dm)
    , m_ui(ui)
    , m_folders(folders)
    , m_client(NewsAccess::of(dm).client())
    , qrySentA(dm.MainConnection(), kScannedGroups, QStringLiteral("qrySentA"))
    , m_queries(dm.MainConnection())
    , m_marks(dm.MainConnection())
    , m_records(dm.MainConnection())
    , m_answers(dm, m_queries)
    , m_scan(m_client, m_answers, m_matcher)
    , m_dialUpCheck([] { return DialUpCheck(); })
{}

RetrievalRun::~RetrievalRun() = default;

RetrievalRun::Outcome RetrievalRun::RetrieveAnswers()
{
    ExchangeRunLock lock(m_dm);
    if (!lock.acquired())
        return Outcome::Refused;
    const CertificateQuestions certificates(m_client, m_ui);
    // Retrieval has no Abort: its waits only keep the windows painted.
    const NetworkWaits waits(m_client, m_ui, [] { return true; });
    m_failedHosts.clear();
    m_ui.setBusy(true);
    m_ui.processEvents();
    m_newAnswers = 0;

    Outcome outcome = Outcome::Finished;
    QString failure;
    try {
        // Each answer is committed with its record as it is stored, but the run
        // does not wait for the disk each time (that wait cost more than the
        // answer's download). A power loss may take the last answers, each with
        // its record; still on the server and unrecorded, the next run stores
        // them again. Everything reaches the disk before the run ends.
        m_dm.deferDiskFlush(true);
        run();
    } catch (const std::exception &) {
        failure = RunFailure::current().text();
    }
    try {
        m_dm.deferDiskFlush(false);
    } catch (const StoreError &error) {
        if (failure.isNull())
            failure = error.text();
    }
    m_client.disconnect();
    m_ui.setBusy(false);
    if (!failure.isNull()) {
        outcome = Outcome::Failed;
        // Not "0 new messages": the run did not get that far.
        m_ui.showStatus(0, QStringLiteral("Retrieval failed: ") + failure);
        m_ui.showMessage(kAppTitle, errorBoxText(failure), RunUi::Icon::Error);
    } else {
        m_ui.showStatus(0, outcomeText());
    }
    return outcome;
}

QString RetrievalRun::outcomeText() const
{
    if (m_unreadGroups == 0)
        return countText(m_newAnswers);
    if (m_unreadGroups == m_groups.names().size())
        return QStringLiteral("Retrieval failed: ") + m_lastFailure;
    return countText(m_newAnswers) + QStringLiteral("; ") + QString::number(m_unreadGroups)
        + (m_unreadGroups == 1 ? QStringLiteral(" newsgroup") : QStringLiteral(" newsgroups"))
        + QStringLiteral(" could not be read (") + m_lastFailure + QLatin1Char(')');
}

QString RetrievalRun::serverFailure(const QString &reason) const
{
    return RunFailure::atServer(m_client.settings(), reason);
}

void RetrievalRun::run()
{
    m_groups.clear();
    m_unreadGroups = 0;
    m_lastFailure.clear();
    // An answer stored without its record would be stored again by every later
    // run: statements the store cannot run (a column missing, a store opened
    // for reading only) end the run before anything is fetched.
    m_answers.prepare();
    if (!m_dialUpCheck())
        return;
    m_ui.processEvents();
    collectGroups();
    const QStringList groups = m_groups.names();
    for (const QString &group : groups)
        scanGroup(group);
}

void RetrievalRun::collectGroups()
{
    qrySentA.exec();
    while (qrySentA.next())
        m_groups.add(qrySentA.value(0).toString());
    qrySentA.finish();
}

void RetrievalRun::scanGroup(const QString &group)
{
    m_ui.processEvents();
    m_queries.openServers(group);
    RowSet &servers = m_queries.qryServer;
    bool groupRead = false;
    bool readToTheEnd = false;
    QString failure = m_lastFailure; // a group whose servers all failed earlier
    for (servers.first(); !servers.eof() && !groupRead; servers.next()) {
        m_client.disconnect();
        NewsAccess::of(m_dm).useServer(servers);
        const QString host = m_client.settings().Host;
        if (m_failedHosts.contains(host))
            continue;
        const int serverCode = servers.asInt(Column::Code);
        GroupStart start;
        // The store's part of the start is read while the server prepares its
        // greeting.
        if (!connectForReading(host, [&] { start = prepareGroup(group, serverCode); })) {
            m_ui.showMessage(kServerBoxTitle + host, m_connectMessages, RunUi::Icon::Error);
            failure = serverFailure(m_connectFailure.isEmpty() ? m_connectMessages : m_connectFailure);
            continue;
        }
        // The first server that lets us read is the only one used for the
        // group, whether reading it succeeds or not.
        groupRead = true;
        m_ui.showStatus(0, kLoadingFrom + group);
        m_ui.processEvents();
        try {
            readGroup(group, serverCode, start);
            readToTheEnd = true;
        } catch (const ClientError &) {
            const RunFailure met = RunFailure::current();
            if (met.next(RunFailure::Purpose::Reading) == RunFailure::Next::SkipHost)
                m_failedHosts.add(host);
            m_ui.showMessage(kServerBoxTitle + host, met.words(RunFailure::Stage::Working), RunUi::Icon::Error);
            failure = serverFailure(met.reason());
        }
    }
    // A group no server carries is not a failure of the run.
    if (!readToTheEnd && !servers.isEmpty()) {
        ++m_unreadGroups;
        m_lastFailure = failure;
    }
}

bool RetrievalRun::connectForReading(const QString &host, const std::function<void()> &meanwhile)
{
    GreetingState state = GreetingState::TempUnavailable;
    m_connectMessages.clear();
    m_connectFailure.clear();
    m_ui.showStatus(0, kConnecting);
    m_ui.processEvents();
    try {
        m_client.connect(meanwhile);
        state = m_client.greetingState();
        m_connectMessages += connectedStatusText(m_client);
    } catch (const ClientError &) {
        const RunFailure failure = RunFailure::current();
        m_connectMessages = failure.words(RunFailure::Stage::Connecting);
        if (failure.kind() == RunFailure::Kind::Unreachable)
            m_connectFailure = failure.reason();
        if (failure.next(RunFailure::Purpose::Reading) == RunFailure::Next::SkipHost)
            m_failedHosts.add(host);
        if (failure.unexpected())
            m_ui.showMessage(kAppTitle, failure.unexpectedText(), RunUi::Icon::Error);
    }
    // A read-only server is good enough for reading.
    return state == GreetingState::CanPost || state == GreetingState::NoPost;
}

RetrievalRun::GroupStart RetrievalRun::prepareGroup(const QString &group, int serverCode)
{
    RowSet &isGroup = m_dm.qryIsGroup();
    isGroup.close();
    isGroup.setParam(QStringLiteral("GN"), group);
    isGroup.open();
    GroupStart start;
    start.groupCode = isGroup.asInt(Column::Code);
    start.mark = m_marks.mark(start.groupCode, serverCode);
    // A scan from the mark looks up what its lines name; one from the oldest
    // record needs every record.
    if (start.mark != 0)
        m_records.loadUnusual(start.groupCode, m_matcher);
    else
        start.oldest = m_records.loadAll(start.groupCode, m_matcher);
    return start;
}

void RetrievalRun::readGroup(const QString &group, int serverCode, GroupStart start)
{
    const int groupCode = start.groupCode;
    m_client.selectGroup(group);

    // Everything a record added since the last complete scan can be answered
    // by came after that record, so after the mark. A mark beyond the group's
    // highest number is from a server renumbered or replaced since: no guide.
    const ArticleNumber high = m_client.groupFigures().high;
    ArticleNumber mark = start.mark;
    if (mark > high) {
        m_marks.drop(groupCode, serverCode);
        mark = 0;
        start.oldest = m_records.loadAll(groupCode, m_matcher);
    }
    if (mark != 0 && mark == high)
        return; // nothing new since
    if (mark != 0) {
        m_scan.start(m_client.overview(QString::number(mark + 1) + QLatin1Char('-')));
        m_records.addNamedBy(groupCode, m_scan.lines(), m_matcher);
    } else {
        // Nothing recorded in the group: no article there can answer anything.
        if (!start.oldest)
            return;
        const ArticleNumber first = scanStart(m_client, group, *start.oldest);
        m_scan.start(m_client.overview(QString::number(first) + QLatin1Char('-')));
    }

    m_groupCode = groupCode; // the same for every answer of the group
    const ArticleNumber examined = examineOverview(group);
    // Only a scan that got to its end may say how far it got.
    if (examined > mark) {
        m_marks.setMark(groupCode, serverCode, examined);
        m_dm.checkpoint();
    }
}

ArticleNumber RetrievalRun::examineOverview(const QString &group)
{
    ArticleNumber examined = 0;
    const QList<QByteArray> &lines = m_scan.lines();
    for (qsizetype index = 0; index < lines.size(); ++index) {
        m_ui.processEvents();
        m_ui.showStatus(1, QString::number(index));
        examined = std::max(examined, overviewNumber(lines.at(index)));
        if (m_scan.needsLook(index))
            examine(group, index);
    }
    m_scan.finish();
    return examined;
}

void RetrievalRun::examine(const QString &group, qsizetype index)
{
    const QByteArray &bytes = m_scan.lines().at(index);
    const std::optional<ReferenceMatcher::Record> answered
        = m_matcher.newestIn(overviewField(bytes, OverviewField::References));
    if (!answered)
        return;
    const FoundAnswer answer{ParseOverviewLine(bytes), overviewReadsAsUtf8(bytes), group, m_groupCode,
                             answered->articleId};
    m_ui.processEvents();
    if (m_answers.isRecorded(answer.line.messageId))
        return; // found here before, or in a group it was cross-posted to
    // A number that cannot be read is no article 0: the overview reply is
    // broken, and the group is not read further.
    if (answer.line.articleNumber == 0)
        throw ClientError(QStringLiteral("The server sent an article number that cannot be read: ")
                          + QString::fromUtf8(bytes.left(kShownLineLength)));
    // The body first: an article the server has lost since its overview line
    // was sent leaves nothing behind.
    if (!fetchAnswer(answer.line.articleNumber))
        return;
    m_scan.bodyArrived(index, answer.line.messageId);
    const AnswerStore::Stored stored = m_answers.store(answer, NewsAccess::of(m_dm).msgNNTP());
    ++m_newAnswers;

    if (m_folders.currentFolder() == folderCode(Folder::Inbox)) {
        m_folders.addArticleNode(stored.articleCode, answer.parent);
        m_folders.expandArticleNode(answer.parent);
    }
    // Later lines of this overview may answer the answer just stored.
    m_matcher.add(answer.line.messageId, {stored.recordCode, stored.articleCode});
}

bool RetrievalRun::fetchAnswer(ArticleNumber number)
{
    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.clear();
    // With a table to keep it in, the header comes too: the body is read as
    // its MIME header declares.
    try {
        return m_answers.keepsHeaders() ? m_client.article(number, message) : m_client.body(number, message);
    } catch (const OversizedBody &error) {
        // Only this article is lost: the rest of the group is read.
        m_ui.showMessage(kServerBoxTitle + m_client.settings().Host, error.text(), RunUi::Icon::Error);
        return false;
    }
}

void RetrieveAnswers(Tdm &dm, RunUi &ui, FolderView &folders)
{
    RetrievalRun run(dm, ui, folders);
    run.RetrieveAnswers();
}
