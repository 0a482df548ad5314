#pragma once
// NewsClient: the program's one NNTP client (RFC 977 with MODE READER,
// AUTHINFO USER/PASS and XOVER of RFC 2980), optionally through a SOCKS 5
// proxy. One connection at a time; every operation blocks the calling thread
// until it is complete or has failed. Failures are thrown as the kinds of
// clienterrors.h. After a failed command the connection stays open; the caller
// ends it with disconnect(). A failure while connecting closes it.
//
// Settings arrive as a value (NewsClientSettings); the data module copies a
// server row into them before every connection.
//
// TLS (QSslSocket): port 563 is news over TLS from the first byte (RFC 8143),
// also inside a SOCKS 5 tunnel; elsewhere, when the settings ask for it,
// STARTTLS (RFC 4642) after the greeting. The server's certificate is checked
// against the system's trust store and the host name in Host; one that fails
// is put to the untrusted-certificate handler before any command goes through.

#include "transport/waitevents.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>

#include <QSet>

class CertificateAnswers;
class NntpMessage;
class NntpSession;
struct NntpReply;

// The port of news over TLS from the first byte (NNTPS).
inline constexpr int NntpsPort = 563;

// The server's permission as read from the greeting. Kept from one connection
// to the next; only a greeting changes it.
enum class GreetingState { CanPost, NoPost, AuthRequired, TempUnavailable };

// The words shown after a connection for each state, each beginning with a blank.
QString greetingStateText(GreetingState state);

enum class ModeType { mtStream, mtIHAVE, mtReader };
enum class SocksAuthentication { saNoAuthentication, saUsernamePassword };
// Only svNoSocks and svSocks5 are supported; svSocks4 and svSocks4A are refused.
enum class SocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };

struct SocksSettings
{
    SocksAuthentication Authentication = SocksAuthentication::saNoAuthentication;
    QString Host;
    QString Password;
    int Port = 1080;
    QString UserID;
    SocksVersion Version = SocksVersion::svSocks5;
};

// How connections are encrypted. Port 563 is TLS from the first byte under
// every choice: nothing speaks plain text there.
enum class TlsUse {
    PortOnly, // other ports in plain text: the session exactly as before
    StartTls, // other ports: STARTTLS when the server lists it in CAPABILITIES
    Implicit, // TLS from the first byte on any port
};

struct NewsClientSettings
{
    QString Host;
    int Port = 119;
    QString UserId;
    QString Password;
    QString NewsAgent = QStringLiteral("Quorbic 1.0");
    ModeType Mode = ModeType::mtReader;
    SocksSettings SocksInfo;
    // Not columns of a server row: the caller's choice of encryption, and CA
    // certificates (PEM) trusted beside the system's store (the tests' own CA).
    TlsUse tls = TlsUse::PortOnly;
    QByteArray extraCaCertificates;
};

// Time and size limits of a session. Expired time limits fail as SocketError
// with ETIMEDOUT; a longer line fails as ClientError. The size limits are far
// beyond what a real server sends and keep a hostile one from claiming the
// machine's memory: a larger body fails as OversizedBody (the article is
// skipped), a longer overview or list as ClientError.
struct NewsClientLimits
{
    int connectTimeoutMs = 30000; // TCP connection, per attempt of all addresses together
    int idleTimeoutMs = 60000; // any wait for a reply or data without receiving a byte
    qsizetype maxLineLength = 1024 * 1024;
    qsizetype maxBodyBytes = 64 * 1024 * 1024; // the lines of one body, each with its CR LF
    qsizetype maxOverviewLines = 10'000'000;
    qsizetype maxListLines = 10'000'000;
};

// Article numbers are 64-bit: servers number beyond 2^32 (RFC 3977 allows up
// to 2^31-1, its successors more).
using ArticleNumber = quint64;

// The figures of the current group from the last GROUP reply.
struct GroupFigures
{
    ArticleNumber count = 0;
    ArticleNumber low = 0;
    ArticleNumber high = 0;
};

// Called once per LIST line with the group name, the lowest and highest article
// numbers, the status field and a continue answer that starts true; setting it
// to false stops the listing (the remaining lines are left unread). Lines whose
// numbers cannot be read are not handed on (skippedListLines counts them).
using NewsgroupListHandler = std::function<void(const QString &name, ArticleNumber low, ArticleNumber high,
                                                const QString &status, bool &continueListing)>;

// Called once per LIST NEWSGROUPS line with the group name and its
// description, and a continue answer that starts true; false stops the list.
using NewsgroupDescriptionHandler
    = std::function<void(const QString &name, const QString &description, bool &continueListing)>;

// The same lines as read in place: views into the connection's buffer, valid
// during the call only, for a caller that reads lists of 100,000 lines.
struct ListLine;
using ListLineHandler = std::function<void(const ListLine &line, bool &continueListing)>;
using DescriptionLineHandler
    = std::function<void(QByteArrayView name, QByteArrayView description, bool &continueListing)>;

// Called when the server's certificate fails verification, with the host (as
// in Host) and the reason; true connects anyway. Called while connecting,
// after the TLS handshake and before any command goes through it.
using UntrustedCertificateHandler = std::function<bool(const QString &host, const QString &reason)>;

// The question for that handler: "The certificate of <host> cannot be trusted:
// <reason>. Connect anyway?"
QString untrustedCertificateQuestion(const QString &host, const QString &reason);

// Called when a server listed STARTTLS and then refused it, before a login
// would go out in plain text, with the host (as in Host) and the refusal's
// reply line; true sends the user name and password unencrypted.
using PlainLoginHandler = std::function<bool(const QString &host, const QString &reply)>;

// The question for that handler: "The news server <host> offered encryption
// but then refused it (<reply>). Send your user name and password unencrypted?"
QString plainLoginQuestion(const QString &host, const QString &reply);

class NewsClient
{
public:
    NewsClient();
    ~NewsClient();
    NewsClient(const NewsClient &) = delete;
    NewsClient &operator=(const NewsClient &) = delete;

    const NewsClientSettings &settings() const { return m_settings; }
    void setSettings(const NewsClientSettings &settings) { m_settings = settings; }

    const NewsClientLimits &limits() const { return m_limits; }
    void setLimits(const NewsClientLimits &limits) { m_limits = limits; }

    void setOnNewsgroupList(NewsgroupListHandler handler) { m_onNewsgroupList = std::move(handler); }
    const NewsgroupListHandler &onNewsgroupList() const { return m_onNewsgroupList; }

    // Without a handler an untrusted certificate fails the connection. The
    // answer is kept per host until forgetCertificateAnswers(): a No for the
    // host, a Yes for the certificate it was given for (another certificate
    // from the host is asked about again).
    void setOnUntrustedCertificate(UntrustedCertificateHandler handler);
    // A run calls this at its start, so that it asks once per host.
    void forgetCertificateAnswers();

    // Without a handler the login is not sent. A Yes holds for the host as
    // long as the client lives (the program's run); a No is asked again.
    void setOnPlainLogin(PlainLoginHandler handler) { m_onPlainLogin = std::move(handler); }
    // Called during every wait on the network, as waitevents.h says; after a
    // WaitAborted the connection is gone and disconnect() only forgets it.
    void setWaitHandler(WaitHandler handler) { m_waitHandler = std::move(handler); }
    const WaitHandler &waitHandler() const { return m_waitHandler; }

    bool connected() const;
    // True while connected over TLS.
    bool encrypted() const;
    GreetingState greetingState() const { return m_greetingState; }
    GroupFigures groupFigures() const { return m_group; }
    // Article number and message-id of the last STAT that found its article.
    ArticleNumber msgNo() const { return m_msgNo; }
    QString statMessageId() const { return m_statMessageId; }

    // The last reply: its code, all its lines, and its last line ("the reply line").
    int lastReplyCode() const { return m_lastReplyCode; }
    QList<QByteArray> lastReplyLines() const { return m_lastReplyLines; }
    QString replyLine() const;

    // Opens the connection (through the proxy when SocksInfo.Version is not
    // svNoSocks), encrypts it as tls says, reads the greeting (any but 200,
    // 201 and 400 fails as ConnectionRefused, nothing sent) and sends "mode
    // reader". With STARTTLS: "CAPABILITIES" after the greeting; when it lists
    // STARTTLS, "STARTTLS", the handshake and "CAPABILITIES" again, all before
    // "mode reader". A server that does not list it (or answers CAPABILITIES
    // with an error) is used in plain text; one that refuses STARTTLS too,
    // unless UserId is set and the plain-login handler does not answer Yes:
    // then ReplyError with the refusal's code, and no AUTHINFO is sent.
    // meanwhile, when given, runs once the connection is open, before the
    // greeting is read: the caller's own work, done while the server prepares
    // its greeting. What it throws ends the connection and is thrown on.
    void connect(const std::function<void()> &meanwhile = {});
    // Sends "Quit" without awaiting a reply and closes; nothing when not connected.
    void disconnect();

    // A figure of the reply that is not a number fails as ClientError.
    void selectGroup(const QString &group);
    // id without angle brackets; true (and msgNo() set) when the server has it.
    // A found article whose number is not a number fails as ClientError.
    bool stat(const QString &messageId);
    // The Xref header of an article by its Message-ID (angle brackets kept):
    // "XHDR Xref" (RFC 2980), "HDR Xref" where CAPABILITIES listed HDR (RFC
    // 3977), and "Head" from servers that know neither. Empty when the server
    // does not have the article or it has no Xref.
    QByteArray xref(const QString &messageId);
    // range such as "1234-"; the overview lines as received, dot-unstuffed.
    // None when the server says the range holds no article (420, 423).
    // More than maxOverviewLines fail as ClientError.
    QList<QByteArray> overview(const QString &range);
    // true with the body lines delivered into message; false when the server
    // does not have the article (message untouched). A body over maxBodyBytes
    // fails as OversizedBody, the message untouched.
    bool body(ArticleNumber articleNumber, NntpMessage &message);
    // The same for the whole article: its header lines and its body lines
    // both delivered into message (fetchedHeader(), fetchedText()).
    bool article(ArticleNumber articleNumber, NntpMessage &message);
    // Asks for an article's body without waiting: the server sends it while
    // the caller does other work, and body() for that number reads it
    // (pipelining, RFC 3977 3.5). Several may be due; body() drops the replies
    // due before the one it reads, any other command drops them all. A server
    // that has closed the connection leaves nothing due; the next command
    // reports it.
    void requestBody(ArticleNumber articleNumber);
    // The same for the whole article, read by article().
    void requestArticle(ArticleNumber articleNumber);
    // Calls the OnNewsgroupList handler once per line of the LIST reply. More
    // than maxListLines fail as ClientError.
    void newsgroupList();
    // "LIST NEWSGROUPS" (RFC 2980, RFC 3977): handler once per line; the name
    // ends at the first tab or blank (INN and leafnode put a tab, sn blanks).
    // False when the server refuses it (a reply other than 215).
    bool newsgroupDescriptions(const NewsgroupDescriptionHandler &handler);
    // The same two lists as read in place (listlines.h): the handler sees
    // only lines whose numbers could be read. meanwhile runs once LIST is
    // sent, before its reply is read: work of the caller's that overlaps the
    // server's first work on the list instead of coming before it.
    void readNewsgroupList(const ListLineHandler &handler, const std::function<void()> &meanwhile = {});
    bool readNewsgroupDescriptions(const DescriptionLineHandler &handler);
    // Lines of the last LIST whose numbers could not be read.
    qsizetype skippedListLines() const { return m_skippedListLines; }
    void post(const NntpMessage &message);

private:
    // Sends text and reads its reply, logging in first when the server asks
    // (480 or 450) and then sending text again; accepted empty means any code.
    NntpReply command(const QByteArray &text, std::initializer_list<int> accepted = {},
                      const std::function<void()> &meanwhile = {});
    // meanwhile runs between sending text and reading the reply.
    NntpReply exchange(const QByteArray &text, const QByteArray &traceText = {},
                       const std::function<void()> &meanwhile = {});
    void authenticate();
    bool fetch(ArticleNumber articleNumber, const QByteArray &text, NntpMessage &message, bool wholeArticle);
    NntpReply requestedReply(const QByteArray &text);
    void requestAhead(const QByteArray &text);
    void dropRequestedBody();
    // The rest of a data block, read and thrown away.
    void discardDataBlock();
    void readGreeting();
    void negotiateStartTls();
    void startTls();
    NntpSession &session();

    NewsClientSettings m_settings;
    NewsClientLimits m_limits;
    NewsgroupListHandler m_onNewsgroupList;
    UntrustedCertificateHandler m_onUntrustedCertificate;
    PlainLoginHandler m_onPlainLogin;
    QSet<QString> m_plainLoginHosts; // answered Yes
    WaitHandler m_waitHandler;
    std::unique_ptr<CertificateAnswers> m_certificateAnswers;
    std::unique_ptr<NntpSession> m_session;

    GreetingState m_greetingState = GreetingState::CanPost;
    GroupFigures m_group;
    ArticleNumber m_msgNo = 0;
    std::deque<QByteArray> m_requestedBodies; // BODY and ARTICLE commands sent ahead, reply not read yet
    qsizetype m_skippedListLines = 0;
    QString m_statMessageId;
    int m_lastReplyCode = 0;
    QList<QByteArray> m_lastReplyLines;
    QList<QByteArray> m_capabilities; // of this connection, when it asked
};
