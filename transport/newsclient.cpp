#include "transport/newsclient.h"

#include "transport/clienterrors.h"
#include "transport/nntpcodes.h"
#include "transport/nntpmessage.h"
#include "transport/nntpsession.h"
#include "transport/replyreader.h"
#include "transport/socks5.h"

#include <algorithm>

namespace {

QString lineText(const QByteArray &line)
{
    return QString::fromUtf8(line);
}

bool holdsLineBreak(const QByteArray &text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

quint32 number(const QByteArray &field)
{
    bool ok = false;
    const quint32 value = field.toUInt(&ok);
    return ok ? value : 0;
}

// Blank-separated fields; runs of blanks count as one separator.
QList<QByteArray> fields(const QByteArray &text)
{
    return text.simplified().split(' ');
}

bool articleFound(int code)
{
    return code >= NntpCode::ArticleFollows && code <= NntpCode::ArticleStatLast;
}

bool articleMissing(int code)
{
    return (code >= NntpCode::NoCurrentArticle && code <= NntpCode::NoSuchArticleInGroup)
        || code == NntpCode::NoSuchArticle;
}

} // namespace

QString greetingStateText(GreetingState state)
{
    switch (state) {
    case GreetingState::CanPost:
        return QStringLiteral(" Connected successfully. You are permitted to post.");
    case GreetingState::NoPost:
        return QStringLiteral(" Connected successfully. You only have read-only access. No posting is permitted.");
    case GreetingState::AuthRequired:
        return QStringLiteral(" Authentication is required.");
    case GreetingState::TempUnavailable:
        return QStringLiteral(" The news service is temporarily unavailable.");
    }
    return QString();
}

NewsClient::NewsClient() = default;

NewsClient::~NewsClient() = default;

bool NewsClient::connected() const
{
    return m_session != nullptr;
}

QString NewsClient::replyLine() const
{
    return m_lastReplyLines.isEmpty() ? QString() : lineText(m_lastReplyLines.last());
}

NntpSession &NewsClient::session()
{
    if (!m_session)
        throw ClientError(QStringLiteral("Not connected."));
    return *m_session;
}

void NewsClient::connect()
{
    if (connected())
        throw ClientError(QStringLiteral("Already connected."));
    const SocksSettings &socks = m_settings.SocksInfo;
    try {
        if (socks.Version == SocksVersion::svNoSocks) {
            m_session = std::make_unique<NntpSession>(m_settings.Host, m_settings.Port, m_limits);
        } else {
            if (socks.Version != SocksVersion::svSocks5)
                throw ClientError(QStringLiteral("Only SOCKS version 5 is supported."));
            m_session = std::make_unique<NntpSession>(socks.Host, socks.Port, m_limits);
            NntpSession *s = m_session.get();
            Socks5Exchange(s->reader(), [s](const QByteArray &bytes, bool secret) {
                s->writeBytes(bytes, secret);
            }).connectThrough(socks, m_settings.Host, m_settings.Port);
        }
        readGreeting();
        if (m_settings.Mode == ModeType::mtReader)
            command("mode reader");
        else if (m_settings.Mode == ModeType::mtStream)
            command("mode stream");
    } catch (...) {
        m_session.reset();
        throw;
    }
}

void NewsClient::readGreeting()
{
    const NntpReply greeting = m_session->reader().readReply();
    m_lastReplyCode = greeting.code;
    m_lastReplyLines = greeting.lines;
    switch (greeting.code) {
    case NntpCode::PostingAllowed:
        m_greetingState = GreetingState::CanPost;
        break;
    case NntpCode::NoPosting:
        m_greetingState = GreetingState::NoPost;
        break;
    case NntpCode::ServiceUnavailable:
        m_greetingState = GreetingState::TempUnavailable;
        break;
    case NntpCode::PermanentlyUnavailable:
        throw ConnectionRefused(greeting.code, lineText(greeting.line()));
    case 0:
        m_greetingState = GreetingState::AuthRequired;
        break;
    default:
        break;   // e.g. 205 from a server about to close: the state stays as it was
    }
}

void NewsClient::disconnect()
{
    if (!m_session)
        return;
    m_session->writeLineQuietly("Quit");
    m_session.reset();
}

NntpReply NewsClient::exchange(const QByteArray &text, const QByteArray &traceText)
{
    // A line break would end the command early and send the rest as a command
    // of its own.
    if (holdsLineBreak(text))
        throw ClientError(QStringLiteral("A command must not contain a line break."));
    NntpSession &s = session();
    s.writeLine(text, traceText);
    NntpReply reply = s.reader().readReply();
    m_lastReplyCode = reply.code;
    m_lastReplyLines = reply.lines;
    return reply;
}

NntpReply NewsClient::command(const QByteArray &text, std::initializer_list<int> accepted)
{
    NntpReply reply = exchange(text);
    if (reply.code == NntpCode::AuthRequired || reply.code == NntpCode::AuthRequiredOld) {
        authenticate();
        reply = exchange(text);
    }
    if (accepted.size() > 0 && std::find(accepted.begin(), accepted.end(), reply.code) == accepted.end())
        throw ReplyError(reply.code, lineText(reply.line()));
    return reply;
}

void NewsClient::authenticate()
{
    const NntpReply user = exchange("AuthInfo User " + m_settings.UserId.toUtf8());
    // A server that needs no password accepts the user name alone (RFC 4643).
    if (user.code == NntpCode::AuthAccepted)
        return;
    if (user.code != NntpCode::PasswordRequired)
        throw ReplyError(user.code, lineText(user.line()));
    const NntpReply pass = exchange("AuthInfo Pass " + m_settings.Password.toUtf8(), "AuthInfo Pass ********");
    if (pass.code != NntpCode::AuthAccepted)
        throw ReplyError(pass.code, lineText(pass.line()));
}

void NewsClient::selectGroup(const QString &group)
{
    const NntpReply reply = command("Group " + group.toUtf8(), {NntpCode::GroupSelected});
    const QList<QByteArray> f = fields(reply.line().mid(4));
    m_group.count = f.size() > 0 ? number(f.at(0)) : 0;
    m_group.low = f.size() > 1 ? number(f.at(1)) : 0;
    m_group.high = f.size() > 2 ? number(f.at(2)) : 0;
}

bool NewsClient::stat(const QString &messageId)
{
    const NntpReply reply = command("Stat <" + messageId.toUtf8() + ">");
    if (articleFound(reply.code)) {
        const QList<QByteArray> f = fields(reply.line());
        m_msgNo = f.size() > 1 ? number(f.at(1)) : 0;
        m_statMessageId = f.size() > 2 ? lineText(f.at(2)) : QString();
        return true;
    }
    if (articleMissing(reply.code))
        return false;
    throw ClientError(lineText(reply.line()));
}

QList<QByteArray> NewsClient::overview(const QString &range)
{
    command("xover " + range.toUtf8(), {NntpCode::OverviewFollows});
    return session().reader().readDataBlock();
}

bool NewsClient::body(quint32 articleNumber, NntpMessage &message)
{
    const NntpReply reply = command("Body " + QByteArray::number(articleNumber));
    if (articleFound(reply.code)) {
        // Read it all first: a body cut short leaves the message as it was.
        QList<QByteArray> lines = session().reader().readDataBlock();
        message.clear();
        message.setFetchedBody(std::move(lines));
        return true;
    }
    if (articleMissing(reply.code))
        return false;
    throw ClientError(lineText(reply.line()));
}

void NewsClient::newsgroupList()
{
    if (!m_onNewsgroupList)
        throw ClientError(QStringLiteral("No OnNewsgroupList event has been defined."));
    command("List", {NntpCode::ListFollows});
    ReplyReader &reader = session().reader();
    QByteArray line;
    bool continueListing = true;
    while (continueListing && reader.readDataLine(line)) {
        const QList<QByteArray> f = fields(line);
        if (f.value(0).isEmpty())
            continue;   // a blank line names no group
        const QString name = lineText(f.value(0));
        const quint32 high = number(f.value(1));
        const quint32 low = number(f.value(2));
        const QString status = lineText(f.mid(3).join(' '));
        m_onNewsgroupList(name, low, high, status, continueListing);
    }
}

void NewsClient::post(const NntpMessage &message)
{
    QList<QByteArray> lines = message.postLines(m_settings.NewsAgent);
    // A line break inside a line, or a lone ".", would end the article early
    // and hand the rest to the server as commands.
    for (const QByteArray &line : lines) {
        if (holdsLineBreak(line) || line == ".")
            throw ClientError(QStringLiteral("The article holds a line that cannot be sent."));
    }
    command("Post", {NntpCode::SendArticle});
    lines.append(".");
    NntpSession &s = session();
    s.writeLines(lines);
    const NntpReply reply = s.reader().readReply();
    m_lastReplyCode = reply.code;
    m_lastReplyLines = reply.lines;
    if (reply.code != NntpCode::ArticlePosted)
        throw ReplyError(reply.code, lineText(reply.line()));
}
