#include "exchange/retrievalrun.h"
#include "store/folders.h"
#include "exchange/newsaccess.h"

#include "exchange/certificatequestions.h"
#include "exchange/folderview.h"
#include "exchange/newsgroupnames.h"
#include "exchange/runlock.h"
#include "exchange/runui.h"
#include "store/dmod.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// How far back a group is read when its oldest record is not found on the server.
constexpr quint32 kRecentArticles = 300;

const QString kConnecting = QStringLiteral("Connecting...");
const QString kLoadingFrom = QStringLiteral("Loading articles from ");
const QString kConnectionError = QStringLiteral("Connection Error: ");
const QString kBrokeOff = QStringLiteral("The server broke off the connection");
const QString kUnhandled = QStringLiteral("Unhandled error: ");
const QString kServerBoxTitle = QStringLiteral("News Server ");
const QString kAppTitle = QStringLiteral("Quorbic");

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
    , m_dialUpCheck([] { return DialUpCheck(); })
{}

RetrievalRun::~RetrievalRun() = default;

RetrievalRun::Outcome RetrievalRun::RetrieveAnswers()
{
    ExchangeRunLock lock(m_dm);
    if (!lock.acquired())
        return Outcome::Refused;
    const CertificateQuestions certificates(m_client, m_ui);
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
    } catch (const ClientError &error) {
        failure = error.text();
    } catch (const StoreError &error) {
        failure = error.text();
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
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
        m_ui.showMessage(kAppTitle, errorBoxText(failure), RunUi::Icon::Error);
    } else {
        m_ui.showStatus(0, countText(m_newAnswers));
    }
    return outcome;
}

void RetrievalRun::run()
{
    m_groups.clear();
    // An answer stored without its record would be stored again by every later
    // run: statements the store cannot run (a column missing, a store opened
    // for reading only) end the run before anything is fetched.
    qryReadArticle.prepare();
    m_queries.qrySent.prepare();
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
    while (qrySentA.next()) {
        for (const QString &name : sourceNames(qrySentA.field(QStringLiteral("Source")).toString()))
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
    for (servers.first(); !servers.eof() && !groupRead; servers.next()) {
        m_client.disconnect();
        NewsAccess::of(m_dm).useServer(servers);
        const QString host = m_client.settings().Host;
        if (m_failedHosts.contains(host))
            continue;
        if (!connectForReading(host)) {
            m_ui.showMessage(kServerBoxTitle + host, ResultText, RunUi::Icon::Error);
            continue;
        }
        // The first server that lets us read is the only one used for the
        // group, whether reading it succeeds or not.
        groupRead = true;
        m_ui.showStatus(0, kLoadingFrom + group);
        m_ui.processEvents();
        try {
            readGroup(group);
        } catch (const SocketError &error) {
            m_failedHosts.add(host);
            m_ui.showMessage(kServerBoxTitle + host, kConnectionError + error.text(), RunUi::Icon::Error);
        } catch (const ConnectionClosed &) {
            m_ui.showMessage(kServerBoxTitle + host, kBrokeOff, RunUi::Icon::Error);
        } catch (const ClientError &error) {
            m_ui.showMessage(kServerBoxTitle + host, error.text(), RunUi::Icon::Error);
        }
    }
}

bool RetrievalRun::connectForReading(const QString &host)
{
    GreetingState state = GreetingState::TempUnavailable;
    ResultText.clear();
    m_ui.showStatus(0, kConnecting);
    m_ui.processEvents();
    try {
        m_client.connect();
        state = m_client.greetingState();
        ResultText += connectedStatusText(m_client);
    } catch (const ConnectionRefused &error) {
        ResultText += kConnectionError + error.text();
    } catch (const SocketError &error) {
        ResultText += kConnectionError + error.text();
        m_failedHosts.add(host);
    } catch (const ConnectionClosed &) {
        ResultText = kBrokeOff;
    } catch (const ReplyError &error) {
        ResultText += QLatin1Char(' ') + error.text();
    } catch (const ClientError &error) {
        ResultText += QLatin1Char(' ') + error.text();
        m_ui.showMessage(kAppTitle, kUnhandled + error.text(), RunUi::Icon::Error);
    }
    // A read-only server is good enough for reading.
    return state == GreetingState::CanPost || state == GreetingState::NoPost;
}

void RetrievalRun::readGroup(const QString &group)
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
    while (qrySentB.next()) {
        recorded = true;
        oldest = qrySentB.field(QStringLiteral("MessageId")).toString();
        m_matcher.add(oldest,
                      {qrySentB.field(QStringLiteral("Code")).toInt(),
                       qrySentB.field(QStringLiteral("ArticleId")).toInt()});
    }
    qrySentB.finish();
    // Nothing recorded in the group: no article there can answer anything.
    if (!recorded)
        return;
    const quint32 start = startNumber(oldest);

    // The same for every answer of the group.
    m_groupCode = m_queries.groupCode(group);

    m_overview = m_client.overview(QString::number(start) + QLatin1Char('-'));
    m_lookedAhead = 0;
    m_requested.clear();
    m_expected.clear();
    for (m_line = 0; m_line < m_overview.size(); ++m_line) {
        m_ui.processEvents();
        m_ui.showStatus(1, QString::number(m_line));
        // Lines the look-ahead passed over without asking for their body
        // answer nothing (see requestBodiesAhead).
        const bool requested = !m_requested.empty() && m_requested.front() == m_line;
        if (requested)
            m_requested.pop_front();
        if (requested || m_line >= m_lookedAhead)
            examine(group, m_overview.at(m_line));
    }
    m_overview.clear();
}

quint32 RetrievalRun::startNumber(const QString &oldestMessageId)
{
    // STAT wants the Message-ID without its angle brackets.
    const QString bare = oldestMessageId.size() > 2 ? oldestMessageId.mid(1, oldestMessageId.size() - 2) : QString();
    if (m_client.stat(bare) && m_client.msgNo() != 0)
        return m_client.msgNo();
    const GroupFigures figures = m_client.groupFigures();
    if (figures.high >= kRecentArticles)
        return figures.high - kRecentArticles;
    // A young group: from its first article.
    return figures.low != 0 ? figures.low : 1;
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
    // The body first: an article the server has lost since its overview line
    // was sent leaves nothing behind.
    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.clear();
    if (!m_client.body(quint32(line.articleNumber), message))
        return;
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
        m_client.requestBody(overviewField(next, NumberField).trimmed().toUInt());
        m_requested.push_back(m_lookedAhead);
        m_expected.add(messageId, {});
    }
}

void RetrieveAnswers(Tdm &dm, RunUi &ui, FolderView &folders)
{
    RetrievalRun run(dm, ui, folders);
    run.RetrieveAnswers();
}
