#include "exchange/postingrun.h"
#include "exchange/newsaccess.h"
#include "store/columns.h"
#include "store/folders.h"

#include "exchange/certificatequestions.h"
#include "exchange/folderview.h"
#include "exchange/newsgroupnames.h"
#include "exchange/networkwaits.h"
#include "exchange/postingtexts.h"
#include "exchange/postingview.h"
#include "exchange/runfailure.h"
#include "exchange/runlock.h"
#include "exchange/runui.h"
#include "store/categoryposting.h"
#include "store/dmod.h"
#include "store/storeerror.h"
#include "transport/newsgroupname.h"
#include "store/unpostedgroups.h"
#include "transport/clienterrors.h"
#include "transport/dialup.h"
#include "transport/messageid.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"

namespace {

const QString kInvalidGroupName = QStringLiteral("Error: this is not a valid newsgroup name");

} // namespace

using namespace PostingTexts;

PostingRun::PostingRun(Tdm &dm, RunUi &ui, PostingView &view, FolderView &folders)
    : m_dm(dm)
    , m_ui(ui)
    , m_view(view)
    , m_folders(folders)
    , m_client(NewsAccess::of(dm).client())
    , qrySendMsg(dm.MainConnection(), QStringLiteral("SELECT * FROM Article WHERE Folder=:fld"),
                 QStringLiteral("qrySendMsg"))
    , m_categories(dm.MainConnection())
    , m_queries(dm.MainConnection())
    , m_dialUpCheck([] { return DialUpCheck(); })
    , m_newMessageId([] { return NewMessageId(); })
    , m_clock([] { return QDateTime::currentDateTime(); })
{}

PostingRun::~PostingRun() = default;

PostingRun::Outcome PostingRun::run()
{
    ExchangeRunLock lock(m_dm);
    if (!lock.acquired())
        return Outcome::Refused;
    m_running = true;
    m_modes = std::make_unique<CategoryPosting>(m_dm.MainConnection());
    m_unposted = std::make_unique<UnpostedGroups>(m_dm.MainConnection());
    const CertificateQuestions certificates(m_client, m_ui);
    const NetworkWaits waits(m_client, m_ui, [this] { return m_keepSending; });
    m_failedHosts.clear();
    m_keepSending = true;
    m_view.runStarted();
    m_ui.processEvents();
    m_errorCount = 0;
    m_tally = PostingTally();
    m_view.clearRows();
    m_targets.clear();

    Outcome outcome = Outcome::Finished;
    try {
        postOutbox();
        m_client.disconnect();
        m_view.runEnded(m_errorCount == 0 ? PostingView::Ending::WithoutErrors : PostingView::Ending::WithErrors);
        if (!m_keepSending)
            outcome = Outcome::Aborted;
        m_tally.aborted = !m_keepSending;
    } catch (const std::exception &) {
        const RunFailure failure = RunFailure::current();
        outcome = Outcome::Failed;
        m_client.disconnect();
        m_ui.showMessage(kAppTitle, errorBoxText(failure.text()), RunUi::Icon::Error);
    }
    if (outcome == Outcome::Failed) {
        m_tally.endedByError = true;
        // The message in progress stays in the Outbox; its recorded copies stay recorded.
        if (qrySendMsg.isOpen() && qrySendMsg.state() != RowSet::State::Browse)
            qrySendMsg.cancel();
        m_view.runEnded(PostingView::Ending::Failed);
    }
    m_running = false;
    return outcome;
}

void PostingRun::postOutbox()
{
    qrySendMsg.close();
    qrySendMsg.setParam(QStringLiteral("fld"), folderCode(Folder::Outbox));
    qrySendMsg.open();
    m_categories.reopen();
    m_tally.outboxEmpty = qrySendMsg.isEmpty();
    if (qrySendMsg.isEmpty())
        return;
    // A copy on a server that the store cannot record would be posted again by
    // every later run: a store that cannot take the record (read-only, or
    // without a column of it) ends the run before anything is posted.
    m_queries.qrySent.prepare();
    if (!m_dialUpCheck())
        return;
    warnOfManyCopies();
    for (qrySendMsg.first(); !qrySendMsg.eof() && m_keepSending; qrySendMsg.next())
        postMessage();
}

void PostingRun::postMessage()
{
    const int messageRow = m_view.addMessageRow(qrySendMsg.asString(Column::Subject));
    NameList groups;
    NameList crossPosted;
    expandGroups(groups, crossPosted);
    m_targets.clear();
    for (const QString &group : groups.names()) {
        Target target;
        target.group = group;
        target.row = m_view.addGroupRow(messageRow, group);
        m_targets << target;
    }

    m_postedSome = false;
    prepareArticle();
    m_ui.processEvents();

    try {
        // The groups of cross-posting categories go first, together.
        QList<qsizetype> together;
        for (qsizetype i = 0; i < m_targets.size(); ++i) {
            if (crossPosted.contains(m_targets.at(i).group))
                together << i;
        }
        if (!together.isEmpty() && m_keepSending)
            postCrossPost(together);
        for (qsizetype i = 0; i < m_targets.size() && m_keepSending; ++i) {
            Target &target = m_targets[i];
            if (crossPosted.contains(target.group))
                continue;
            target.result = postToGroup(target);
            m_view.setRowResult(target.row, target.result);
            m_ui.processEvents();
        }
    } catch (const WaitAborted &) {
        // Abort inside a wait on the server: the connection is gone, the
        // group in progress keeps no result. A copy sent before the Abort
        // stays recorded as unconfirmed, and the next run settles it.
    }
    // Groups that have a result were reached, or failed; Abort leaves the rest.
    for (const Target &target : m_targets) {
        if (target.reached)
            ++m_tally.newsgroups;
        else if (!target.result.isEmpty())
            ++m_tally.failedNewsgroups;
    }

    keepUnreached();
    if (m_postedSome)
        moveToInbox();
    m_client.disconnect();
    m_view.messageFinished();
}

void PostingRun::expandGroups(NameList &groups, NameList &crossPosted)
{
    if (qrySendMsg.asBool(Column::ArticleType)) {
        // Replies keep one copy per group: each refers to the copy in its group.
        m_categories.ExpandCategory(groups, qrySendMsg.asInt(Column::Category), crossPosted,
                                    [this](int category) { return m_modes->crossPost(category); });
    } else {
        for (const QString &group : replyNewsgroups(qrySendMsg.asString(Column::Newsgroup)))
            groups.add(group);
    }
}

void PostingRun::prepareArticle()
{
    RowSet &account = m_queries.qryAccount;
    account.close();
    account.setParam(QStringLiteral("Id"), qrySendMsg.asInt(Column::Account));
    account.open();

    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.clear();
    message.subject = qrySendMsg.asString(Column::Subject);
    // No article may carry a NUL (RFC 3977); the client refuses to send one,
    // which would end every run at this message. The body goes without them.
    message.setBodyText(qrySendMsg.asString(Column::Body).remove(QChar(0)));
    message.date = m_clock();
    // An account that no longer exists leaves From empty; servers refuse such
    // an article, and the refusal is handled as any refused post.
    message.from.address = account.asString(Column::EMailAddress);
    message.from.name = account.asString(Column::UserName);
    message.organization = account.asString(QStringLiteral("Organization"));
}

QString PostingRun::postToGroup(Target &target)
{
    const QString &group = target.group;
    if (postedBefore(group)) {
        target.reached = m_postedSome = true;
        m_view.setRowMark(target.row, PostingView::Mark::Success);
        return kPostedBefore;
    }
    m_queries.openServers(group);
    RowSet &servers = m_queries.qryServer;
    const bool carried = !servers.isEmpty();
    // A name a server listed before names from lists were checked: a comma
    // in it would post to groups the user never chose. Nothing is recorded
    // or sent.
    if (carried && !NewsgroupName::isValid(group)) {
        ++m_errorCount;
        m_view.setRowMark(target.row, PostingView::Mark::Failure);
        return kInvalidGroupName;
    }
    const int code = qrySendMsg.asInt(Column::Code);
    target.groupCode = m_queries.groupCode(group);
    // A copy an earlier run sent without learning whether a server took it:
    // looked for first, and sent only where it is missing, with the same
    // Message-ID, so that it appears once (some servers file a repeat twice).
    const QString unconfirmed = carried ? m_queries.pendingCopy(code, target.groupCode) : QString();
    bool refused = false;
    QString result; // of the last attempt
    for (servers.first(); !servers.eof() && !target.reached; servers.next()) {
        const QString host = servers.asString(Column::ServerName);
        if (m_failedHosts.contains(host))
            continue;
        m_client.disconnect();
        if (!m_keepSending)
            break;
        NewsAccess::of(m_dm).useServer(servers);
        target.tried = true;
        const Connection connection = connectForPosting(host);
        if (!connection.canPost) {
            result = connection.words;
            m_ui.showMessage(kServerBoxTitle + m_client.settings().Host, result, RunUi::Icon::Error);
            ++m_errorCount;
            m_view.setRowMark(target.row, PostingView::Mark::Failure);
            continue;
        }
        if (!unconfirmed.isEmpty() && serverHolds(unconfirmed)) {
            recordPosted(target);
            continue;
        }
        if (const std::optional<QString> refusal = sendCopy(target, unconfirmed)) {
            // The server refused the post: its reply line, and the next server.
            refused = true;
            result = *refusal;
            ++m_errorCount;
            m_view.setRowMark(target.row, PostingView::Mark::Failure);
            continue;
        }
        recordPosted(target);
    }

    if (target.reached)
        return target.result;
    // Every copy of this run was refused: none is waiting for a confirmation.
    // One from an earlier run stays pending.
    if (refused && unconfirmed.isEmpty()) {
        m_queries.dropPending(code, target.groupCode);
        m_dm.checkpoint();
    }
    if (!carried)
        result = kGroupNotFound;
    else if (!target.tried && m_keepSending)
        result = kNoServerReached; // every server carrying it failed earlier in the run
    m_view.setRowMark(target.row, PostingView::Mark::Failure);
    return result;
}

std::optional<QString> PostingRun::sendCopy(const Target &target, const QString &unconfirmed)
{
    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.newsGroups = QStringList{target.group};
    message.references = referencesFor(target.group);
    message.msgId = unconfirmed.isEmpty() ? m_newMessageId() : unconfirmed;
    // Recorded before it is sent: a copy the server may have taken is never
    // forgotten, whatever happens before its confirmation.
    m_queries.recordPending(qrySendMsg.asInt(Column::Code), message.msgId, message.references, target.groupCode);
    m_dm.checkpoint();
    try {
        m_client.post(message);
    } catch (const ReplyError &refusal) {
        return refusal.text();
    }
    return std::nullopt;
}

bool PostingRun::postedBefore(const QString &group)
{
    // A message still in the Outbox with a copy recorded in this group: an
    // earlier run posted it there and ended (or was ended) before moving it.
    m_queries.openSentArticle(qrySendMsg.asInt(Column::Code), group);
    return !m_queries.qrySentArticle.isEmpty();
}

PostingRun::Connection PostingRun::connectForPosting(const QString &host)
{
    try {
        m_client.connect();
    } catch (const ClientError &) {
        const RunFailure failure = RunFailure::current();
        if (failure.next(RunFailure::Purpose::Posting) == RunFailure::Next::SkipHost)
            m_failedHosts.add(host);
        if (failure.unexpected())
            m_ui.showMessage(kAppTitle, failure.unexpectedText(), RunUi::Icon::Error);
        return {false,
                failure.wordsAt(m_client.settings(), RunFailure::Stage::Connecting, RunFailure::Purpose::Posting)};
    }
    return {m_client.greetingState() == GreetingState::CanPost, connectedStatusText(m_client)};
}

QString PostingRun::referencesFor(const QString &group)
{
    if (qrySendMsg.asBool(Column::ArticleType))
        return QString();
    m_queries.openSentArticle(qrySendMsg.asInt(Column::Parent), group);
    RowSet &parentCopy = m_queries.qrySentArticle;
    if (parentCopy.isEmpty())
        return qrySendMsg.asString(QStringLiteral("References"));
    parentCopy.first();
    const QString references = parentCopy.asString(QStringLiteral("ReferencesId"));
    const QString messageId = parentCopy.asString(Column::MessageId);
    return references.isEmpty() ? messageId : references + QLatin1Char(' ') + messageId;
}

void PostingRun::recordPosted(Target &target)
{
    target.result = kSuccessful;
    target.reached = m_postedSome = true;
    m_queries.confirmPending(qrySendMsg.asInt(Column::Code), m_queries.groupCode(target.group));
    // The copy is on Usenet now: its record must survive a crash.
    m_dm.checkpoint();
    m_view.setRowMark(target.row, PostingView::Mark::Success);
}

bool PostingRun::serverHolds(const QString &messageId)
{
    // STAT wants the Message-ID without its angle brackets.
    try {
        return m_client.stat(messageId.mid(1, messageId.size() - 2));
    } catch (const ClientError &) {
        return false;
    }
}

void PostingRun::keepUnreached()
{
    QList<UnpostedGroups::Group> unreached;
    for (const Target &target : m_targets) {
        if (!target.reached)
            unreached << UnpostedGroups::Group{target.group, target.result.isEmpty() ? kNotTried : target.result};
    }
    if (!m_unposted->available())
        return;
    m_unposted->replace(qrySendMsg.asInt(Column::Code), unreached);
    m_dm.checkpoint();
}

void PostingRun::moveToInbox()
{
    ++m_tally.messages;
    QStringList posted;
    for (const Target &target : m_targets) {
        if (target.reached)
            posted << target.group;
    }
    qrySendMsg.edit();
    qrySendMsg.setValue(Column::Folder, folderCode(Folder::Inbox));
    qrySendMsg.setValue(Column::Source, posted.join(QLatin1Char(',')));
    qrySendMsg.post();
    m_dm.checkpoint();

    const int code = qrySendMsg.asInt(Column::Code);
    switch (m_folders.currentFolder()) {
    case folderCode(Folder::Inbox):
        m_folders.addArticleNode(code, qrySendMsg.asBool(Column::ArticleType) ? 0 : qrySendMsg.asInt(Column::Parent));
        break;
    case folderCode(Folder::Outbox):
        m_folders.deleteArticleNode(code);
        break;
    default:
        break;
    }
}
