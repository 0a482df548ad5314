// The posting run's cross-post mode and the warning before a run that would
// send many copies of one body to one server.

#include "exchange/postingrun.h"

#include "exchange/newsaccess.h"
#include "exchange/postingtexts.h"
#include "exchange/postingview.h"
#include "exchange/runui.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"

#include <QHash>

using namespace PostingTexts;

void PostingRun::postCrossPost(const QList<qsizetype> &indices)
{
    const int code = qrySendMsg.asInt(Column::Code);
    QHash<int, QString> hosts; // server Code -> ServerName
    QList<qsizetype> waiting;
    for (qsizetype i : indices) {
        Target &target = m_targets[i];
        if (postedBefore(target.group)) {
            target.result = kPostedBefore;
            target.reached = m_postedSome = true;
            m_view.setRowMark(target.row, PostingView::Mark::Success);
            m_view.setRowResult(target.row, target.result);
            continue;
        }
        m_queries.openServers(target.group);
        RowSet &servers = m_queries.qryServer;
        for (servers.first(); !servers.eof(); servers.next()) {
            const int server = servers.asInt(Column::Code);
            target.servers << server;
            hosts.insert(server, servers.asString(Column::ServerName));
        }
        if (target.servers.isEmpty()) {
            target.result = kGroupNotFound;
            m_view.setRowMark(target.row, PostingView::Mark::Failure);
            m_view.setRowResult(target.row, target.result);
            continue;
        }
        target.groupCode = m_queries.groupCode(target.group);
        target.pending = m_queries.pendingCopy(code, target.groupCode);
        waiting << i;
    }

    // One article per round: the groups (in name order, at most the limit)
    // whose next server is that of the first group still waiting.
    while (m_keepSending) {
        int server = 0;
        QList<qsizetype> batch;
        for (qsizetype i : waiting) {
            Target &target = m_targets[i];
            if (target.reached)
                continue;
            while (target.next < target.servers.size()
                   && m_failedHosts.contains(hosts.value(target.servers.at(target.next))))
                ++target.next;
            if (target.next >= target.servers.size())
                continue;
            if (server == 0)
                server = target.servers.at(target.next);
            if (target.servers.at(target.next) == server && batch.size() < kCrossPostLimit)
                batch << i;
        }
        if (batch.isEmpty())
            break;
        postArticle(batch, server);
        for (qsizetype i : batch) {
            Target &target = m_targets[i];
            if (!target.reached)
                ++target.next; // refused there: on to its next server
            m_view.setRowResult(target.row, target.result);
        }
        m_ui.processEvents();
    }

    for (qsizetype i : waiting) {
        Target &target = m_targets[i];
        if (target.reached || (!target.tried && !m_keepSending))
            continue;
        if (!target.tried) {
            // Every server carrying it failed earlier in the run.
            target.result = kNoServerReached;
            m_view.setRowResult(target.row, target.result);
        }
        m_view.setRowMark(target.row, PostingView::Mark::Failure);
    }
}

void PostingRun::postArticle(const QList<qsizetype> &batch, int server)
{
    m_client.disconnect();
    RowSet &servers = m_queries.qryServer;
    m_queries.openServers(m_targets.at(batch.first()).group);
    servers.locate(Column::Code, server);
    const QString host = servers.asString(Column::ServerName);
    NewsAccess::of(m_dm).useServer(servers);
    for (qsizetype i : batch)
        m_targets[i].tried = true;
    const Connection connection = connectForPosting(host);
    if (!connection.canPost) {
        m_ui.showMessage(kServerBoxTitle + m_client.settings().Host, connection.words, RunUi::Icon::Error);
        ++m_errorCount;
        for (qsizetype i : batch) {
            m_targets[i].result = connection.words;
            m_view.setRowMark(m_targets.at(i).row, PostingView::Mark::Failure);
        }
        return;
    }

    // Articles an earlier run sent without learning their fate are looked
    // for first; a group this server has one for is reached.
    QStringList asked;
    for (qsizetype i : batch) {
        const QString pending = m_targets.at(i).pending;
        if (pending.isEmpty() || asked.contains(pending))
            continue;
        asked << pending;
        if (!serverHolds(pending))
            continue;
        for (qsizetype j : batch) {
            if (m_targets.at(j).pending == pending)
                recordPosted(m_targets[j]);
        }
    }
    QList<qsizetype> rest;
    QStringList names;
    for (qsizetype i : batch) {
        if (!m_targets.at(i).reached) {
            rest << i;
            names << m_targets.at(i).group;
        }
    }
    if (rest.isEmpty())
        return;

    // The earlier Message-ID when every group left waits for the same one:
    // a server that did take it then files it once.
    QString messageId = m_targets.at(rest.first()).pending;
    for (qsizetype i : rest) {
        if (m_targets.at(i).pending != messageId)
            messageId.clear();
    }
    if (messageId.isEmpty())
        messageId = m_newMessageId();
    NntpMessage &message = NewsAccess::of(m_dm).msgNNTP();
    message.newsGroups = names;
    message.references.clear(); // only questions are cross-posted
    message.msgId = messageId;
    const int code = qrySendMsg.asInt(Column::Code);
    for (qsizetype i : rest)
        m_queries.recordPending(code, messageId, QString(), m_targets.at(i).groupCode);
    m_dm.checkpoint();
    try {
        m_client.post(message);
    } catch (const ReplyError &refusal) {
        takeRefusal(rest, messageId, refusal.text());
        return;
    }
    for (qsizetype i : rest)
        recordPosted(m_targets[i]);
}

void PostingRun::takeRefusal(const QList<qsizetype> &batch, const QString &messageId, const QString &reply)
{
    ++m_errorCount;
    const int code = qrySendMsg.asInt(Column::Code);
    for (qsizetype i : batch) {
        Target &target = m_targets[i];
        target.result = reply;
        m_view.setRowMark(target.row, PostingView::Mark::Failure);
        // A refused article waits for no confirmation; a copy an earlier run
        // left pending under another Message-ID stays pending.
        if (target.pending != messageId) {
            m_queries.dropPending(code, target.groupCode);
            if (!target.pending.isEmpty())
                m_queries.recordPending(code, target.pending, QString(), target.groupCode);
        }
    }
    m_dm.checkpoint();
}

void PostingRun::warnOfManyCopies()
{
    // Filters count the separate articles with one body on their server.
    struct Count
    {
        int copies = 0;
        QString subject;
        QString host;
        bool question = false;
    };
    QHash<QPair<int, QString>, Count> counts;
    QList<QPair<int, QString>> order;
    for (qrySendMsg.first(); !qrySendMsg.eof(); qrySendMsg.next()) {
        NameList groups;
        NameList crossPosted;
        expandGroups(groups, crossPosted);
        const QString body = qrySendMsg.asString(Column::Body);
        for (const QString &group : groups.names()) {
            if (crossPosted.contains(group) || postedBefore(group))
                continue;
            m_queries.openServers(group);
            RowSet &servers = m_queries.qryServer;
            if (servers.isEmpty())
                continue;
            servers.first();
            const QPair<int, QString> key(servers.asInt(Column::Code), body);
            Count &count = counts[key];
            if (count.copies++ == 0) {
                order << key;
                count.subject = qrySendMsg.asString(Column::Subject);
                count.host = servers.asString(Column::ServerName);
                count.question = qrySendMsg.asBool(Column::ArticleType);
            }
        }
    }
    QStringList lines;
    bool question = false;
    for (const auto &key : order) {
        const Count &count = counts.value(key);
        if (count.copies <= kCopyWarning)
            continue;
        lines << QStringLiteral("\"%1\" goes to %2 as %3 separate copies of one text.")
                     .arg(count.subject, count.host)
                     .arg(count.copies);
        question = question || count.question;
    }
    if (lines.isEmpty())
        return;
    lines << QString()
          << QStringLiteral("Many news servers take at most %1 copies of one text and refuse the rest as spam "
                            "(\"EMP\"). The newsgroups not reached are kept: Post Again sends the message to them "
                            "later.")
                 .arg(kCopyWarning);
    if (question)
        lines << QStringLiteral("One cross-post reaches every newsgroup at once: check \"Post as one cross-post\" "
                                "for the category (Tools, Categories..., Edit).");
    m_ui.showMessage(kAppTitle, lines.join(QLatin1Char('\n')), RunUi::Icon::Warning);
}
