#include "transport/newsclient.h"

#include "transport/certificateanswers.h"
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

// A capability label is compared without regard to case (RFC 3977, 3.3.1).
bool listsCapability(const QList<QByteArray> &capabilities, const QByteArray &label)
{
    return std::any_of(capabilities.begin(), capabilities.end(), [&label](const QByteArray &line) {
        return fields(line).value(0).compare(label, Qt::CaseInsensitive) == 0;
    });
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

QString untrustedCertificateQuestion(const QString &host, const QString &reason)
{
    return QStringLiteral("The certificate of ") + host + QStringLiteral(" cannot be trusted: ") + reason
        + QStringLiteral(". Connect anyway?");
}

NewsClient::NewsClient()
    : m_certificateAnswers(std::make_unique<CertificateAnswers>())
{}

NewsClient::~NewsClient() = default;

void NewsClient::setOnUntrustedCertificate(UntrustedCertificateHandler handler)
{
    m_onUntrustedCertificate = std::move(handler);
}

void NewsClient::forgetCertificateAnswers()
{
    m_certificateAnswers->clear();
}

bool NewsClient::connected() const
{
    return m_session != nullptr;
}

bool NewsClient::encrypted() const
{
    return m_session && m_session->encrypted();
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
    m_requestedBodies.clear();
    const SocksSettings &socks = m_settings.SocksInfo;
    const bool implicitTls = m_settings.Port == NntpsPort || m_settings.tls == TlsUse::Implicit;
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
        if (implicitTls)
            startTls();
        readGreeting();
        if (!implicitTls && m_settings.tls == TlsUse::StartTls)
            negotiateStartTls();
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
        break; // e.g. 205 from a server about to close: the state stays as it was
    }
}

// STARTTLS (RFC 4642). Plain commands only: nothing here may log in, so a
// 480 to CAPABILITIES counts as an error answer like any other.
void NewsClient::negotiateStartTls()
{
    const NntpReply capabilities = exchange("CAPABILITIES");
    if (capabilities.code != NntpCode::CapabilityList)
        return; // a server from before CAPABILITIES: plain text as ever
    if (!listsCapability(session().reader().readDataBlock(), "STARTTLS"))
        return;
    const NntpReply reply = exchange("STARTTLS");
    if (reply.code != NntpCode::ContinueWithTls) {
        // The server offered encryption and then refused it (580 when it has
        // no certificate). Reading in clear is the user's business; a
        // password in clear is not.
        if (!m_settings.UserId.isEmpty())
            throw ClientError(QStringLiteral("The server offers no encryption; the password is not sent"));
        return;
    }
    startTls();
    // What the server offers may change with TLS; the list before it was not
    // protected and is not used.
    if (exchange("CAPABILITIES").code == NntpCode::CapabilityList)
        session().reader().readDataBlock();
}

void NewsClient::startTls()
{
    const NntpSession::TlsCheck check = session().startTls(m_settings.Host, m_settings.extraCaCertificates);
    if (check.problems.isEmpty())
        return;
    const QString &host = m_settings.Host;
    const QString reason = check.problems.join(QStringLiteral("; "));
    // Without a handler nobody was asked: nothing to keep.
    const bool yes = m_onUntrustedCertificate && m_certificateAnswers->trusted(host, check.certificateDigest, [&] {
        return m_onUntrustedCertificate(host, reason);
    });
    if (!yes)
        throw ClientError(QStringLiteral("The certificate of %1 cannot be trusted: %2.").arg(host, reason));
}

void NewsClient::disconnect()
{
    if (!m_session)
        return;
    m_session->writeLineQuietly("Quit");
    m_session.reset();
    m_requestedBodies.clear();
}

NntpReply NewsClient::exchange(const QByteArray &text, const QByteArray &traceText)
{
    // A line break would end the command early and send the rest as a command
    // of its own.
    if (holdsLineBreak(text))
        throw ClientError(QStringLiteral("A command must not contain a line break."));
    while (!m_requestedBodies.empty())
        dropRequestedBody();
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
    return fetch("Body " + QByteArray::number(articleNumber), message, false);
}

bool NewsClient::article(quint32 articleNumber, NntpMessage &message)
{
    return fetch("Article " + QByteArray::number(articleNumber), message, true);
}

bool NewsClient::fetch(const QByteArray &text, NntpMessage &message, bool wholeArticle)
{
    const NntpReply reply = requestedReply(text);
    if (articleFound(reply.code)) {
        // Read it all first: an article cut short leaves the message as it was.
        QList<QByteArray> lines = session().reader().readDataBlock();
        message.clear();
        if (wholeArticle)
            message.setFetchedArticle(std::move(lines));
        else
            message.setFetchedBody(std::move(lines));
        return true;
    }
    if (articleMissing(reply.code))
        return false;
    throw ClientError(lineText(reply.line()));
}

void NewsClient::requestBody(quint32 articleNumber)
{
    requestAhead("Body " + QByteArray::number(articleNumber));
}

void NewsClient::requestArticle(quint32 articleNumber)
{
    requestAhead("Article " + QByteArray::number(articleNumber));
}

void NewsClient::requestAhead(const QByteArray &text)
{
    try {
        session().writeLine(text);
    } catch (const ConnectionClosed &) {
        // The server has gone, perhaps right after the body the caller holds:
        // nothing more is due, and the next command reports the closed
        // connection once the caller has kept that body.
        return;
    }
    m_requestedBodies.push_back(text);
}

NntpReply NewsClient::requestedReply(const QByteArray &text)
{
    if (std::find(m_requestedBodies.begin(), m_requestedBodies.end(), text) == m_requestedBodies.end())
        return command(text);
    // The replies come in the order asked for: the ones before are not wanted.
    while (m_requestedBodies.front() != text)
        dropRequestedBody();
    m_requestedBodies.pop_front();
    NntpReply reply = session().reader().readReply();
    m_lastReplyCode = reply.code;
    m_lastReplyLines = reply.lines;
    if (reply.code == NntpCode::AuthRequired || reply.code == NntpCode::AuthRequiredOld) {
        // The commands sent after it were refused the same way.
        while (!m_requestedBodies.empty())
            dropRequestedBody();
        authenticate();
        reply = exchange(text);
    }
    return reply;
}

void NewsClient::dropRequestedBody()
{
    m_requestedBodies.pop_front();
    const NntpReply reply = session().reader().readReply();
    if (articleFound(reply.code))
        session().reader().readDataBlock();
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
            continue; // a blank line names no group
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
