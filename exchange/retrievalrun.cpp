#include "exchange/retrievalrun.h"
#include "store/folders.h"
#include "exchange/newsaccess.h"

#include "exchange/certificatequestions.h"
#include "exchange/folderview.h"
#include "exchange/networkwaits.h"
#include "exchange/newsgroupnames.h"
#include "exchange/runfailure.h"
#include "exchange/runlock.h"
#include "exchange/runui.h"
#include "exchange/scanstart.h"
#include "store/dmod.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace {


const QString kConnecting = QStringLiteral("Connecting...");
const QString kLoadingFrom = QStringLiteral("Loading articles from ");
const QString kServerBoxTitle = QStringLiteral("News Server ");
const QString kAppTitle = QStringLiteral("Quorbic");
// How much of a broken overview line a message shows.
constexpr qsizetype kShownLineLength = 80;

QString countText(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" new message") : QStringLiteral(" new messages"));
}

// Overview lines and bodies arrive as bytes with no charset declared: UTF-8
// when they are valid UTF-8, else the Western 8-bit set, so that no byte of an
// older article is lost to a replacement character.
QString receivedText(const QByteArray &bytes, bool *wasUtf8 = nullptr)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (wasUtf8)
        *wasUtf8 = !utf8.hasError();
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

// Fields of an overview line, cut as ParseOverviewLine cuts them, without the
// work of the other fields: most lines of a group answer nothing.
enum OverviewField { NumberField = 0, MessageIdField = 4, ReferencesField = 5 };

QString overviewField(const QByteArray &line, OverviewField wanted)
{
    // Shared, not copied, unless there is a "\t\b\t" to replace.
    QByteArray rest = line;
    if (rest.contains('\b'))
        rest.replace("\t\b\t", "\t");
    qsizetype start = 0;
    for (int field = 0; field < wanted; ++field) {
        start = rest.indexOf('\t', start);
        if (start < 0)
            return QString();
        ++start;
    }
    const qsizetype end = rest.indexOf('\t', start);
    const QByteArray text = rest.mid(start, end < 0 ? -1 : end - start);
    for (const char c : text) {
        // Decoded as the whole line would be.
        if (uchar(c) >= 0x80) {
            const OverviewLine parsed = ParseOverviewLine(receivedText(line));
            return wanted == ReferencesField ? parsed.references
                : wanted == MessageIdField   ? parsed.messageId
                                             : QString::number(parsed.articleNumber);
        }
    }
    return QString::fromLatin1(text);
}

QString referencesOf(const QByteArray &line)
{
    return overviewField(line, ReferencesField);
}

// The number of an overview line; 0, which numbers no article, when the field
// is not a number.
ArticleNumber numberOf(const QByteArray &line)
{
    const QString field = overviewField(line, NumberField).trimmed();
    bool ok = !field.isEmpty()
        && std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit() && c.unicode() < 0x80; });
    const ArticleNumber number = ok ? field.toULongLong(&ok) : 0;
    return ok ? number : 0;
}

} // namespace

RetrievalRun::RetrievalRun(Tdm &dm, RunUi &ui, FolderView &folders)
    : m_dm(dm)
    , m_ui(ui)
    , m_folders(folders)
    , m_client(NewsAccess::of(dm).client())
    , qrySentA(dm.MainConnection(), QStringLiteral("SELECT * FROM Article WHERE Folder=0 and Expire=false"),
               QStringLiteral("qrySentA"))
    , qrySentB(dm.MainConnection(),
               QStringLiteral("SELECT SNT.Code, SNT.MessageId, ArticleId From SentArticles SNT, Article Artl "
                              "Where GroupId=:Id and Artl.Code=ArticleId and (not Expire) "
                              "Order By SNT.Code desc"),
               QStringLiteral("qrySentB"))
    , qryMsgIdVerify(dm.MainConnection(), QStringLiteral("SELECT* FROM SentArticles Where MessageId=:MSGID"))
    , qryReadArticle(dm.MainConnection(),
                     QStringLiteral("INSERT INTO Article (Parent, Subject, \"From\", SentDate, Source, Folder, IsRead, "
                                    "ArticleType, Body) VALUES (:Parent, :Subject, :From, :SentDate, :Source, :Folder, "
                                    ":IsRead, :ArticleType, :Body)"))
    , m_queries(dm.MainConnection())
    , m_marks(dm.MainConnection())
    , m_headers(dm.MainConnection())
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
    qryReadArticle.prepare();
    m_queries.qrySent.prepare();
    m_headers.prepare();
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
    // Read once, forward: only the Source of each message is wanted, and an
    // Inbox can be large.
    qrySentA.exec();
    const int sourceAt = qrySentA.indexOf(QStringLiteral("Source"));
    // The messages of one category name the same groups: each Source text is
    // split and its names sorted in only once.
    QSet<QString> seen;
    while (qrySentA.next()) {
        const QString source = qrySentA.value(sourceAt).toString();
        if (seen.contains(source))
            continue;
        seen.insert(source);
        for (const QString &name : sourceNames(source))
            m_groups.add(name);
    }
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
        if (!connectForReading(host)) {
            m_ui.showMessage(kServerBoxTitle + host, ResultText, RunUi::Icon::Error);
            failure = serverFailure(m_connectFailure.isEmpty() ? ResultText : m_connectFailure);
            continue;
        }
        // The first server that lets us read is the only one used for the
        // group, whether reading it succeeds or not.
        groupRead = true;
        m_ui.showStatus(0, kLoadingFrom + group);
        m_ui.processEvents();
        try {
            readGroup(group, servers.asInt(QStringLiteral("Code")));
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

bool RetrievalRun::connectForReading(const QString &host)
{
    GreetingState state = GreetingState::TempUnavailable;
    ResultText.clear();
    m_connectFailure.clear();
    m_ui.showStatus(0, kConnecting);
    m_ui.processEvents();
    try {
        m_client.connect();
        state = m_client.greetingState();
        ResultText += connectedStatusText(m_client);
    } catch (const ClientError &) {
        const RunFailure failure = RunFailure::current();
        ResultText = failure.words(RunFailure::Stage::Connecting);
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

void RetrievalRun::readGroup(const QString &group, int serverCode)
{
    RowSet &isGroup = m_dm.qryIsGroup();
    isGroup.close();
    isGroup.setParam(QStringLiteral("GN"), group);
    isGroup.open();
    const int groupCode = isGroup.asInt(QStringLiteral("Code"));

    m_client.selectGroup(group);

    m_matcher.clear();
    bool recorded = false;
    QString oldest; // the last record, newest first
    qrySentB.bind(QStringLiteral("Id"), groupCode).exec();
    const int codeAt = qrySentB.indexOf(QStringLiteral("Code"));
    const int messageIdAt = qrySentB.indexOf(QStringLiteral("MessageId"));
    const int articleIdAt = qrySentB.indexOf(QStringLiteral("ArticleId"));
    while (qrySentB.next()) {
        recorded = true;
        oldest = qrySentB.value(messageIdAt).toString();
        m_matcher.add(oldest, {qrySentB.value(codeAt).toInt(), qrySentB.value(articleIdAt).toInt()});
    }
    qrySentB.finish();
    // Nothing recorded in the group: no article there can answer anything.
    if (!recorded)
        return;

    // Everything a record added since the last complete scan can be answered
    // by came after that record, so after the mark. A mark beyond the group's
    // highest number is from a server renumbered or replaced since: no guide.
    const ArticleNumber high = m_client.groupFigures().high;
    ArticleNumber mark = m_marks.mark(groupCode, serverCode);
    if (mark > high) {
        m_marks.drop(groupCode, serverCode);
        mark = 0;
    }
    if (mark != 0 && mark == high)
        return; // nothing new since
    const ArticleNumber start = mark != 0 ? mark + 1 : scanStart(m_client, group, oldest);

    // The same for every answer of the group.
    m_groupCode = m_queries.groupCode(group);

    m_overview = m_client.overview(QString::number(start) + QLatin1Char('-'));
    m_lookedAhead = 0;
    m_requested.clear();
    m_expected.clear();
    quint64 examined = 0; // the highest article number examined
    for (m_line = 0; m_line < m_overview.size(); ++m_line) {
        m_ui.processEvents();
        m_ui.showStatus(1, QString::number(m_line));
        examined = std::max(examined, numberOf(m_overview.at(m_line)));
        // Lines the look-ahead passed over without asking for their body
        // answer nothing (see requestBodiesAhead).
        const bool requested = !m_requested.empty() && m_requested.front() == m_line;
        if (requested)
            m_requested.pop_front();
        if (requested || m_line >= m_lookedAhead)
            examine(group, m_overview.at(m_line));
    }
    m_overview.clear();
    // Only a scan that got to its end may say how far it got.
    if (examined > mark) {
        m_marks.setMark(groupCode, serverCode, examined);
        m_dm.checkpoint();
    }
}

void RetrievalRun::examine(const QString &group, const QByteArray &overviewLine)
{
    const std::optional<ReferenceMatcher::Record> answered = m_matcher.newestIn(referencesOf(overviewLine));
    if (!answered)
        return;
    const OverviewLine line = ParseOverviewLine(receivedText(overviewLine, &m_lineIsUtf8));
    m_ui.processEvents();
    if (isRecorded(line.messageId))
        return; // found here before, or in a group it was cross-posted to
    storeAnswer(group, line, answered->articleId);
}

bool RetrievalRun::isRecorded(const QString &messageId)
{
    qryMsgIdVerify.bind(QStringLiteral("MSGID"), messageId);
    qryMsgIdVerify.exec();
    const bool recorded = qryMsgIdVerify.next();
    qryMsgIdVerify.finish();
    return recorded;
}

void RetrievalRun::storeAnswer(const QString &group, const OverviewLine &line, int parent)
{
    // A number that cannot be read is no article 0: the overview reply is
    // broken, and the group is not read further.
    if (line.articleNumber == 0)
        throw ClientError(QStringLiteral("The server sent an article number that cannot be read: ")
                          + QString::fromUtf8(m_overview.at(m_line).left(kShownLineLength)));
    // The body first: an article the server has lost since its overview line
    // was sent leaves nothing behind.
    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.clear();
    // With a table to keep it in, the header comes too: the body is read as
    // its MIME header declares.
    const ArticleNumber number = line.articleNumber;
    try {
        if (!(m_headers.available() ? m_client.article(number, message) : m_client.body(number, message)))
            return;
    } catch (const OversizedBody &error) {
        // Only this article is lost: the rest of the group is read.
        m_ui.showMessage(kServerBoxTitle + m_client.settings().Host, error.text(), RunUi::Icon::Error);
        return;
    }
    m_expected.add(line.messageId, {});
    requestBodiesAhead();
    // The store keeps what came from the server byte for byte; it is decoded
    // where it is shown. The fields of the overview line go back to the bytes
    // they were read from.
    const auto received = [this](const QString &field) { return m_lineIsUtf8 ? field.toUtf8() : field.toLatin1(); };

    qryReadArticle.bind(QStringLiteral("Parent"), parent)
        .bind(QStringLiteral("Subject"), received(line.subject))
        .bind(QStringLiteral("From"), received(line.from))
        .bind(QStringLiteral("SentDate"), line.date)
        .bind(QStringLiteral("Source"), group)
        .bind(QStringLiteral("Folder"), folderCode(Folder::Inbox))
        .bind(QStringLiteral("IsRead"), false)
        .bind(QStringLiteral("ArticleType"), false)
        .bind(QStringLiteral("Body"), message.fetchedText());
    qryReadArticle.exec();
    const int code = qryReadArticle.lastInsertId().toInt();
    m_headers.keep(code, message.fetchedHeader());
    ++m_newAnswers;

    const int recordCode = m_queries.recordCopy(code, line.messageId, line.references, m_groupCode);
    // The answer and its record are committed together: a crash keeps both or
    // neither.
    m_dm.checkpoint();

    if (m_folders.currentFolder() == folderCode(Folder::Inbox)) {
        m_folders.addArticleNode(code, parent);
        m_folders.expandArticleNode(parent);
    }
    // Later lines of this overview may answer the answer just stored.
    m_matcher.add(line.messageId, {recordCode, code});
}

void RetrievalRun::requestBodiesAhead()
{
    // While this answer is stored, the server can already send the bodies of
    // the next new answers: lines that answer a record or a line whose body is
    // asked for (this one's included), and are not recorded yet. The records
    // can grow only by those lines until the look-ahead's last line, so the
    // lines it passes over need no second look. examine() still decides on the
    // lines asked for; a body asked for in vain (an article gone, the same
    // article twice in one overview) is dropped.
    m_lookedAhead = std::max(m_lookedAhead, m_line + 1);
    for (; m_requested.size() < kBodiesAhead && m_lookedAhead < m_overview.size(); ++m_lookedAhead) {
        const QByteArray &next = m_overview.at(m_lookedAhead);
        const QString references = referencesOf(next);
        if (!m_matcher.newestIn(references) && !m_expected.newestIn(references))
            continue;
        const QString messageId = overviewField(next, MessageIdField);
        if (isRecorded(messageId))
            continue;
        const ArticleNumber number = numberOf(next);
        if (number == 0)
            continue; // examine() reports it
        if (m_headers.available())
            m_client.requestArticle(number);
        else
            m_client.requestBody(number);
        m_requested.push_back(m_lookedAhead);
        m_expected.add(messageId, {});
    }
}

void RetrieveAnswers(Tdm &dm, RunUi &ui, FolderView &folders)
{
    RetrievalRun run(dm, ui, folders);
    run.RetrieveAnswers();
}
