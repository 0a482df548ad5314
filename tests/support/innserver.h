#pragma once
// A throw-away INN news server for tests: its own configuration, spool and
// databases in a temporary directory on tmpfs, innd run as user "news" on a free
// loopback port, stopped and removed again by the destructor.
//
// start() returns false with a diagnosis in errorString() (missing packages,
// an innd that died or never greeted, with its error output and the directory
// of its configuration); callers fail with it, e.g.
//     QVERIFY2(server.start(), qPrintable(server.errorString()));
// The tests run as root, which is needed to hand the directory to "news".
// innd and the readers die with the thread that started them (a crashed or
// timed-out test leaves no server behind), so start them from the test's
// main thread.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class NntpProbe;
class QProcess;
class QTemporaryDir;

class InnServer
{
public:
    struct Options
    {
        // Groups made before start, each empty and open for posting.
        QStringList groups{QStringLiteral("quorbic.test")};
        // Further groups named generatedGroupPrefix followed by a six-digit
        // number, written straight into the active file: the fast way to a
        // server with a very long LIST.
        int generatedGroups = 0;
        QString generatedGroupPrefix = QStringLiteral("quorbic.many.g");
        // The line of a group in the newsgroups file (LIST NEWSGROUPS) by its
        // name; "Test group <name>." for a group not named here.
        QHash<QString, QString> descriptions;
        // False gives a read-only server: greeting 201, POST refused with 440.
        bool postingAllowed = true;
        // A non-empty user makes every reader log in with AUTHINFO USER/PASS
        // (commands get 480 until then).
        QString user;
        QString password;
        // Lines appended to inn.conf (TLS certificate settings, timeouts).
        QStringList extraInnConf;
        // innd's Perl filter (filter_innd.pl) when not empty; see EmpFilter.
        QByteArray perlFilter;
    };

    InnServer();
    explicit InnServer(Options options);
    ~InnServer();
    InnServer(const InnServer &) = delete;
    InnServer &operator=(const InnServer &) = delete;

    bool start();
    // Shuts innd down (ctlinnd, SIGKILL when it lingers) and removes the directory.
    void stop();
    QString errorString() const { return m_error; }
    // Loads the Perl filter again, which starts it afresh (ctlinnd reload).
    bool reloadFilter();

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }
    // Where inn.conf and the spool live (for failure messages).
    QString directory() const;
    const Options &options() const { return m_options; }

    // Access rules of one reader listener (innd's own, or a standalone nnrpd).
    struct ReaderOptions
    {
        // False: read-only, greeting 201 and POST refused with 440.
        bool postingAllowed = true;
        // A non-empty user: every command gets 480 until AUTHINFO USER/PASS.
        QString user;
        QString password;
        // Greets "502 You have no permission to talk" and closes.
        bool refuseAll = false;
        // Non-empty: greets "400 " + reason and closes (a paused server).
        QString rejectReason;
        // TLS from the first byte; needs tlscertfile/tlskeyfile in extraInnConf.
        bool implicitTls = false;
    };

    // Starts a standalone nnrpd ("nnrpd -D -f") on a free port of its own, serving
    // the same spool under its own readers.conf, and returns the port (0 on
    // failure, see errorString()). Any number may run; stop() ends them.
    quint16 startReader(const ReaderOptions &reader);

    // Posts raw article text (headers, empty line, body; LF or CR LF line
    // ends) on a connection of its own, logging in when the server wants it.
    // Returns the server's final status line: "240 ..." when accepted, else
    // the line that refused it ("" when the connection failed, errorString()).
    QByteArray post(const QByteArray &article);

    // Sends one retrieval command ("ARTICLE <id>", "HEAD <id>", "BODY <id>")
    // and returns the text as the server holds it: CR LF line ends, dot-stuffing
    // undone, without the status line and the closing ".". A null result means
    // the server refused (its status line is in *status) or the connection failed.
    QByteArray fetch(const QByteArray &command, QByteArray *status = nullptr);

private:
    bool checkInstalled();
    bool prepareDirectory();
    bool writeConfiguration();
    bool writeGroups();
    bool writeReadersConf(const QString &fileName, const ReaderOptions &reader);
    bool makeHistory();
    bool launchInnd();
    bool waitForGreeting();
    bool runAsNews(const QString &program, const QStringList &arguments, QString *output);
    bool openProbeSession(NntpProbe &probe);
    QString path(const QString &relative) const;
    QString diagnosis() const;
    bool fail(const QString &message);

    Options m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_innd;
    quint16 m_port = 0;
    std::vector<std::unique_ptr<QProcess>> m_readers;
    QString m_error;
};
