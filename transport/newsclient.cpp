#include "transport/newsclient.h"

#include "transport/certificateanswers.h"
#include "transport/clienterrors.h"
#include "transport/listlines.h"
#include "transport/nntpcodes.h"
#include "transport/nntpmessage.h"
#include "transport/nntpsession.h"
#include "transport/replyreader.h"
#include "transport/socks5.h"

#include <algorithm>
#include <optional>

namespace {

// A list's lines are read with the session's bulk waits, and only they: a
// command's reply is wanted at once.
class BulkReading
{
public:
    explicit BulkReading(NntpSession &session)
        : m_session(session)
    {
        m_session.setBulkReading(true);
    }
    ~BulkReading() { m_session.setBulkReading(false); }
    BulkReading(const BulkReading &) = delete;
    BulkReading &operator=(const BulkReading &) = delete;

private:
    NntpSession &m_session;
};

QString lineText(const QByteArray &line)
{
    return QString::fromUtf8(line);
}

bool holdsLineBreak(const QByteArray &text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

// An article number or count: digits alone. Anything else is no number.
std::optional<ArticleNumber> number(const QByteArray &field)
{
    if (field.isEmpty() || !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const ArticleNumber value = field.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

ClientError unreadableNumber(const QByteArray &replyLine)
{
    return ClientError(QStringLiteral("The server sent an article number that cannot be read: ") + lineText(replyLine));
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

// The value of the header field name in header lines (folded lines joined).
QByteArray headerValue(const QList<QByteArray> &lines, const QByteArray &name)
{
    QByteArray value;
    bool inField = false;
    for (const QByteArray &line : lines) {
        if (inField && (line.startsWith(' ') || line.startsWith('\t'))) {
            value += ' ' + line.trimmed();
            continue;
        }
        if (inField)
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0) {
            value = line.mid(colon + 1).trimmed();
            inField = true;
        }
    }
    return value;
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

QString plainLoginQuestion(const QString &host, const QString &reply)
{
    return QStringLiteral("The news server ") + host + QStringLiteral(" offered encryption but then refused it (")
        + reply + QStringLiteral("). Send your user name and password unencrypted?");
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

void NewsClient::connect(const std::function<void()> &meanwhile)
{
    if (connected())
        throw ClientError(QStringLiteral("Already connected."));
    m_requestedBodies.clear();
    m_capabilities.clear();
    const SocksSettings &socks = m_settings.SocksInfo;
    const bool implicitTls = m_settings.Port == NntpsPort || m_settings.tls == TlsUse::Implicit;
    try {
        if (socks.Version == SocksVersion::svNoSocks) {
            m_session = std::make_unique<NntpSession>(m_settings.Host, m_settings.Port, m_limits, m_waitHandler);
        } else {
            if (socks.Version != SocksVersion::svSocks5)
                throw ClientError(QStringLiteral("Only SOCKS version 5 is supported."));
            m_session = std::make_unique<NntpSession>(socks.Host, socks.Port, m_limits, m_waitHandler);
            NntpSession *s = m_session.get();
            Socks5Exchange(s->reader(), [s](const QByteArray &bytes, bool secret) {
                s->writeBytes(bytes, secret);
            }).connectThrough(socks, m_settings.Host, m_settings.Port);
        }
        if (implicitTls)
            startTls();
        if (meanwhile)
            meanwhile();
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
    default:
        // 502, or what no greeting may be (leafnode's 503 before it closes,
        // 205, a line without a code): nothing more is sent.
        throw ConnectionRefused(greeting.code, lineText(greeting.line()));
    }
}

// STARTTLS (RFC 4642). Plain commands only: nothing here may log in, so a
// 480 to CAPABILITIES counts as an error answer like any other.
void NewsClient::negotiateStartTls()
{
    const NntpReply capabilities = exchange("CAPABILITIES");
    if (capabilities.code != NntpCode::CapabilityList)
        return; // a server from before CAPABILITIES: plain text as ever
    m_capabilities = session().reader().readDataBlock();
    if (!listsCapability(m_capabilities, "STARTTLS"))
        return;
    const NntpReply reply = exchange("STARTTLS");
    if (reply.code != NntpCode::ContinueWithTls) {
        // The server offered encryption and then refused it (Debian's INN
        // answers 580 without a certificate). Reading in clear is the user's
        // business; a password goes in clear only when the user says so.
        if (m_settings.UserId.isEmpty())
            return;
        const QString host = m_settings.Host.toLower();
        const QString line = lineText(reply.line());
        if (m_plainLoginHosts.contains(host))
            return;
        if (m_onPlainLogin && m_onPlainLogin(m_settings.Host, line)) {
            m_plainLoginHosts.insert(host);
            return;
        }
        throw ReplyError(reply.code, line,
                         QStringLiteral("The news server %1 offered encryption but then refused it (%2); "
                                        "the user name and password were not sent.")
                             .arg(m_settings.Host, line));
    }
    startTls();
    // What the server offers may change with TLS; the list before it was not
    // protected and is not used.
    m_capabilities.clear();
    if (exchange("CAPABILITIES").code == NntpCode::CapabilityList)
        m_capabilities = session().reader().readDataBlock();
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

NntpReply NewsClient::exchange(const QByteArray &text, const QByteArray &traceText,
                               const std::function<void()> &meanwhile)
{
    // A line break would end the command early and send the rest as a command
    // of its own.
    if (holdsLineBreak(text))
        throw ClientError(QStringLiteral("A command must not contain a line break."));
    while (!m_requestedBodies.empty())
        dropRequestedBody();
    NntpSession &s = session();
    s.writeLine(text, traceText);
    if (meanwhile)
        meanwhile();
    NntpReply reply = s.reader().readReply();
    m_lastReplyCode = reply.code;
    m_lastReplyLines = reply.lines;
    return reply;
}

NntpReply NewsClient::command(const QByteArray &text, std::initializer_list<int> accepted,
                              const std::function<void()> &meanwhile)
{
    NntpReply reply = exchange(text, {}, meanwhile);
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
    // A figure that cannot be read is no 0: read as 0, the scan would start
    // at the group's first article.
    const QList<QByteArray> f = fields(reply.line().mid(4));
    const std::optional<ArticleNumber> count = number(f.value(0));
    const std::optional<ArticleNumber> low = number(f.value(1));
    const std::optional<ArticleNumber> high = number(f.value(2));
    if (!count || !low || !high)
        throw unreadableNumber(reply.line());
    m_group = {*count, *low, *high};
}

bool NewsClient::stat(const QString &messageId)
{
    const NntpReply reply = command("Stat <" + messageId.toUtf8() + ">");
    if (articleFound(reply.code)) {
        const QList<QByteArray> f = fields(reply.line());
        const std::optional<ArticleNumber> found = number(f.value(1));
        if (!found)
            throw unreadableNumber(reply.line());
        m_msgNo = *found;
        m_statMessageId = f.size() > 2 ? lineText(f.at(2)) : QString();
        return true;
    }
    if (articleMissing(reply.code))
        return false;
    throw ClientError(lineText(reply.line()));
}

QByteArray NewsClient::xref(const QString &messageId)
{
    const QByteArray id = messageId.toUtf8();
    const bool hdr = listsCapability(m_capabilities, "HDR");
    const NntpReply reply = command((hdr ? "HDR Xref " : "XHDR Xref ") + id);
    if (reply.code == NntpCode::HeadFollows || reply.code == NntpCode::HeadersFollow) {
        // One line: "<id> value" (XHDR) or "0 value" (HDR); "(none)" without one.
        for (const QByteArray &line : session().reader().readDataBlock()) {
            const qsizetype blank = line.indexOf(' ');
            const QByteArray value = blank < 0 ? QByteArray() : line.mid(blank + 1).trimmed();
            if (!value.isEmpty() && value != "(none)")
                return value;
        }
        return {};
    }
    if (articleMissing(reply.code))
        return {};
    // sn refuses HDR (500); servers of RFC 977 know no XHDR.
    const NntpReply head = command("Head " + id);
    if (!articleFound(head.code))
        return {};
    return headerValue(session().reader().readDataBlock(), "Xref");
}

QList<QByteArray> NewsClient::overview(const QString &range)
{
    const NntpReply reply
        = command("xover " + range.toUtf8(),
                  {NntpCode::OverviewFollows, NntpCode::NoArticlesInRange, NntpCode::NoSuchArticleInGroup});
    // 420 (RFC 2980, leafnode past the last article) and 423 (RFC 3977's OVER)
    // say the range holds no article: an empty overview, not a failure.
    if (reply.code != NntpCode::OverviewFollows)
        return {};
    ReplyReader &reader = session().reader();
    QList<QByteArray> lines;
    QByteArray line;
    while (reader.readDataLine(line)) {
        if (lines.size() >= m_limits.maxOverviewLines)
            throw ClientError(QStringLiteral("The server sent more than %1 overview lines; the group was not read.")
                                  .arg(m_limits.maxOverviewLines));
        lines.append(line);
    }
    return lines;
}

bool NewsClient::body(ArticleNumber articleNumber, NntpMessage &message)
{
    return fetch(articleNumber, "Body " + QByteArray::number(articleNumber), message, false);
}

bool NewsClient::article(ArticleNumber articleNumber, NntpMessage &message)
{
    return fetch(articleNumber, "Article " + QByteArray::number(articleNumber), message, true);
}

bool NewsClient::fetch(ArticleNumber articleNumber, const QByteArray &text, NntpMessage &message, bool wholeArticle)
{
    const NntpReply reply = requestedReply(text);
    if (articleFound(reply.code)) {
        // Read it all first: an article cut short leaves the message as it was.
        ReplyReader &reader = session().reader();
        QList<QByteArray> lines;
        qsizetype bytes = 0;
        QByteArray line;
        while (reader.readDataLine(line)) {
            bytes += line.size() + 2;
            if (bytes > m_limits.maxBodyBytes) {
                lines.clear();
                discardDataBlock();
                throw OversizedBody(articleNumber, m_limits.maxBodyBytes);
            }
            lines.append(line);
        }
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

void NewsClient::requestBody(ArticleNumber articleNumber)
{
    requestAhead("Body " + QByteArray::number(articleNumber));
}

void NewsClient::requestArticle(ArticleNumber articleNumber)
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
        discardDataBlock();
}

void NewsClient::discardDataBlock()
{
    ReplyReader &reader = session().reader();
    QByteArray line;
    while (reader.readDataLine(line)) {}
}

void NewsClient::newsgroupList()
{
    if (!m_onNewsgroupList)
        throw ClientError(QStringLiteral("No OnNewsgroupList event has been defined."));
    readNewsgroupList([this](const ListLine &line, bool &continueListing) {
        m_onNewsgroupList(QString::fromUtf8(line.name), *line.low, *line.high, listStatus(line.rest), continueListing);
    });
}

void NewsClient::readNewsgroupList(const ListLineHandler &handler, const std::function<void()> &meanwhile)
{
    command("List", {NntpCode::ListFollows}, meanwhile);
    const BulkReading bulk(session());
    ReplyReader &reader = session().reader();
    QByteArrayView text;
    ListLine line;
    bool continueListing = true;
    qsizetype count = 0;
    m_skippedListLines = 0;
    while (continueListing && reader.readDataLine(text)) {
        if (++count > m_limits.maxListLines)
            throw ClientError(QStringLiteral("The server sent more than %1 list lines; the rest was not read.")
                                  .arg(m_limits.maxListLines));
        if (!readListLine(text, line))
            continue; // a blank line names no group
        if (!line.high || !line.low) {
            ++m_skippedListLines;
            continue;
        }
        handler(line, continueListing);
    }
}

bool NewsClient::newsgroupDescriptions(const NewsgroupDescriptionHandler &handler)
{
    return readNewsgroupDescriptions([&handler](QByteArrayView name, QByteArrayView description, bool &go) {
        handler(QString::fromUtf8(name), QString::fromUtf8(description), go);
    });
}

bool NewsClient::readNewsgroupDescriptions(const DescriptionLineHandler &handler)
{
    if (command("LIST NEWSGROUPS").code != NntpCode::ListFollows)
        return false;
    const BulkReading bulk(session());
    ReplyReader &reader = session().reader();
    QByteArrayView text, name, description;
    bool continueListing = true;
    while (continueListing && reader.readDataLine(text)) {
        if (readDescriptionLine(text, name, description))
            handler(name, description, continueListing);
    }
    return true;
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
