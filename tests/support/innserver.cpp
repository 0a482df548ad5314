#include "tests/support/innserver.h"

#include "tests/support/freeport.h"
#include "tests/support/nntpprobe.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <csignal>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Debian's inn2 keeps its programs here, outside PATH.
const QString innBin = QStringLiteral("/usr/lib/news/bin");
const QString setpriv = QStringLiteral("/usr/bin/setpriv");
const QString installHint
    = QStringLiteral("the tests need a real news server: run scripts/install-deps.sh --test as root "
                     "(apt-get install --no-install-recommends inn2 microsocks)");

// innd opens its port some time before it can serve readers; a start with
// 100,000 groups on a busy machine takes a few seconds.
constexpr int startTimeoutMs = 60000;
constexpr int stopTimeoutMs = 10000;

// As user news; and killed with the test process, so a crashed or timed-out
// test leaves no server running.
const QStringList newsUser{QStringLiteral("--pdeathsig"),  QStringLiteral("KILL"),    QStringLiteral("--reuid"),
                           QStringLiteral("news"),         QStringLiteral("--regid"), QStringLiteral("news"),
                           QStringLiteral("--init-groups")};
const QString dirPrefix = QStringLiteral("quorbic-inn-");
// Older than any test may run (CTest stops them after 300 s).
constexpr qint64 staleAfterSeconds = 30 * 60;

bool writeFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size()
        && file.flush();
}

QByteArray readTail(const QString &fileName, qint64 maxBytes = 4000)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.size() > maxBytes)
        file.seek(file.size() - maxBytes);
    return file.readAll();
}

// Hands everything below root to user news, which innd and nnrpd run as.
bool chownTree(const QString &root, uid_t uid, gid_t gid)
{
    if (::chown(QFile::encodeName(root).constData(), uid, gid) != 0)
        return false;
    const QFileInfoList entries
        = QDir(root).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            if (!chownTree(entry.filePath(), uid, gid))
                return false;
        } else if (::lchown(QFile::encodeName(entry.filePath()).constData(), uid, gid) != 0) {
            return false;
        }
    }
    return true;
}

// Directories of earlier runs that were killed before they could clean up:
// old, and with no innd alive behind their pid file.
void removeStaleDirectories(const QString &base)
{
    const QFileInfoList dirs
        = QDir(base).entryInfoList({dirPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &dir : dirs) {
        if (dir.lastModified().secsTo(QDateTime::currentDateTime()) < staleAfterSeconds)
            continue;
        QFile pidFile(dir.filePath() + QStringLiteral("/run/innd.pid"));
        if (pidFile.open(QIODevice::ReadOnly)) {
            const pid_t pid = pid_t(pidFile.readAll().trimmed().toLong());
            if (pid > 0 && ::kill(pid, 0) == 0)
                continue;
        }
        QDir(dir.filePath()).removeRecursively();
    }
}

} // namespace

InnServer::InnServer()
    : InnServer(Options{})
{}

InnServer::InnServer(Options options)
    : m_options(std::move(options))
{}

InnServer::~InnServer()
{
    stop();
}

QString InnServer::directory() const
{
    return m_dir ? m_dir->path() : QString();
}

QString InnServer::path(const QString &relative) const
{
    return m_dir->path() + QLatin1Char('/') + relative;
}

bool InnServer::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool InnServer::start()
{
    if (m_innd)
        return fail(QStringLiteral("InnServer::start called twice"));
    m_error.clear();
    if (!checkInstalled() || !prepareDirectory() || !writeConfiguration() || !writeGroups())
        return false;
    const passwd *news = ::getpwnam("news");
    if (!chownTree(m_dir->path(), news->pw_uid, news->pw_gid))
        return fail(QStringLiteral("cannot hand %1 to user news (the tests must run as root)").arg(m_dir->path()));
    if (!makeHistory() || !launchInnd())
        return false;
    return waitForGreeting();
}

bool InnServer::checkInstalled()
{
    const QStringList programs{innBin + QStringLiteral("/innd"),
                               innBin + QStringLiteral("/nnrpd"),
                               innBin + QStringLiteral("/ctlinnd"),
                               innBin + QStringLiteral("/makedbz"),
                               innBin + QStringLiteral("/auth/passwd/ckpasswd"),
                               setpriv};
    for (const QString &program : programs) {
        if (!QFileInfo(program).isExecutable())
            return fail(QStringLiteral("%1 is missing: %2").arg(program, installHint));
    }
    if (!::getpwnam("news"))
        return fail(QStringLiteral("there is no user \"news\": %1").arg(installHint));
    if (::geteuid() != 0)
        return fail(QStringLiteral("the INN tests must run as root, to run innd as user news"));
    return true;
}

bool InnServer::prepareDirectory()
{
    // tmpfs: tradindexed keeps two files per group, and /dev/shm is searchable
    // by everyone, as every directory above the spool must be for user news.
    const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    removeStaleDirectories(base);
    m_dir = std::make_unique<QTemporaryDir>(base + QLatin1Char('/') + dirPrefix + QStringLiteral("XXXXXX"));
    if (!m_dir->isValid())
        return fail(QStringLiteral("cannot make a temporary directory in %1: %2").arg(base, m_dir->errorString()));
    // QTemporaryDir makes it 0700.
    QFile::setPermissions(m_dir->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                              | QFile::ReadOther | QFile::ExeOther);
    for (QDir up = QFileInfo(m_dir->path()).dir(); !up.isRoot(); up.cdUp()) {
        if (!(QFileInfo(up.path()).permissions() & QFile::ExeOther))
            return fail(
                QStringLiteral("%1 is not searchable by user news; innd could not reach its spool").arg(up.path()));
    }
    const QStringList dirs{"etc",
                           "db",
                           "run",
                           "log",
                           "filter",
                           "http",
                           "spool/articles",
                           "spool/overview",
                           "spool/tmp",
                           "spool/incoming",
                           "spool/outgoing",
                           "spool/archive"};
    for (const QString &dir : dirs) {
        if (!QDir().mkpath(path(dir)))
            return fail(QStringLiteral("cannot make %1").arg(path(dir)));
    }
    return true;
}

bool InnServer::writeConfiguration()
{
    m_port = pickFreePort();
    if (m_port == 0)
        return fail(QStringLiteral("no free loopback port for innd"));
    const QString d = m_dir->path();
    QStringList conf{
        // A dotted name, so nothing depends on the machine's host name.
        "domain: test.invalid",
        "pathhost: test.invalid",
        QStringLiteral("port: %1").arg(m_port),
        "bindaddress: 127.0.0.1",
        "ovmethod: tradindexed",
        "hismethod: hisv6",
        "enableoverview: true",
        // Overview written before the 240, so a post is in XOVER at once.
        "useoverchan: false",
        "wireformat: true",
        "artcutoff: 0",
        "maxconnections: 0",
        // The default refuses readers on a loaded machine.
        "nnrpdloadlimit: 0",
        // Without it a reader idle for 10 s after the greeting is dropped silently.
        "initialtimeout: 600",
        "mta: \"/bin/true %s\"",
        "pathnews: /usr/lib/news",
        "pathbin: " + innBin,
        "pathcontrol: " + innBin + "/control",
        "pathetc: " + d + "/etc",
        "pathdb: " + d + "/db",
        "pathrun: " + d + "/run",
        "pathlog: " + d + "/log",
        "pathfilter: " + d + "/filter",
        "pathhttp: " + d + "/http",
        "pathspool: " + d + "/spool",
        "patharticles: " + d + "/spool/articles",
        "pathoverview: " + d + "/spool/overview",
        "pathtmp: " + d + "/spool/tmp",
        "pathincoming: " + d + "/spool/incoming",
        "pathoutgoing: " + d + "/spool/outgoing",
        "patharchive: " + d + "/spool/archive",
    };
    conf += m_options.extraInnConf;

    // timehash: Debian's tradspool makes the first start quadratic in the
    // number of groups. No peers in incoming.conf: localhost listed as a feed
    // would get a transit greeting instead of a reader.
    if (!writeFile(path("etc/inn.conf"), conf.join(QLatin1Char('\n')).toUtf8() + '\n')
        || !writeFile(path("etc/storage.conf"), "method timehash { newsgroups: * class: 0 }\n")
        || !writeFile(path("etc/incoming.conf"), "") || !writeFile(path("etc/newsfeeds"), "ME:*::\n"))
        return fail(QStringLiteral("cannot write the configuration in %1/etc").arg(d));
    if (!m_options.perlFilter.isEmpty()
        && (!writeFile(path("filter/startup_innd.pl"), "1;\n")
            || !writeFile(path("filter/filter_innd.pl"), m_options.perlFilter)))
        return fail(QStringLiteral("cannot write the Perl filter in %1/filter").arg(d));
    ReaderOptions reader;
    reader.postingAllowed = m_options.postingAllowed;
    reader.user = m_options.user;
    reader.password = m_options.password;
    return writeReadersConf(path("etc/readers.conf"), reader);
}

bool InnServer::writeGroups()
{
    // innd will not start without these three.
    QByteArray active = "control 0000000000 0000000001 n\n"
                        "control.cancel 0000000000 0000000001 n\n"
                        "junk 0000000000 0000000001 n\n";
    QByteArray times = "control 1 quorbic\ncontrol.cancel 1 quorbic\njunk 1 quorbic\n";
    QByteArray descriptions;
    const qsizetype estimate = (m_options.groups.size() + m_options.generatedGroups) * 48;
    active.reserve(active.size() + estimate);
    times.reserve(times.size() + estimate);
    descriptions.reserve(estimate);
    auto add = [&](const QByteArray &name) {
        active += name + " 0000000000 0000000001 y\n";
        times += name + " 1 quorbic\n";
        const QString own = m_options.descriptions.value(QString::fromUtf8(name));
        descriptions += name + '\t' + (own.isEmpty() ? "Test group " + name + '.' : own.toUtf8()) + '\n';
    };
    for (const QString &group : m_options.groups)
        add(group.toUtf8());
    const QByteArray prefix = m_options.generatedGroupPrefix.toUtf8();
    for (int i = 0; i < m_options.generatedGroups; ++i)
        add(prefix + QByteArray::number(i).rightJustified(6, '0'));
    if (!writeFile(path("db/active"), active) || !writeFile(path("db/active.times"), times)
        || !writeFile(path("db/newsgroups"), descriptions) || !writeFile(path("db/history"), ""))
        return fail(QStringLiteral("cannot write the group files in %1/db").arg(m_dir->path()));
    return true;
}

bool InnServer::writeReadersConf(const QString &fileName, const ReaderOptions &reader)
{
    const QByteArray groups = "\"*,!control,!control.*,!junk\"";
    const QByteArray access = reader.postingAllowed ? "RPA" : "R";
    QByteArray readers;
    if (reader.refuseAll) {
        // No auth block matches any client, so nnrpd refuses with 502.
        readers = "auth \"t\" { hosts: \"nowhere.invalid\" default: \"<t>\" }\n"
                  "access \"t\" { users: \"<t>\" newsgroups: "
            + groups + " access: R }\n";
    } else if (reader.user.isEmpty()) {
        readers = "auth \"t\" { hosts: \"*\" default: \"<t>\" }\n"
                  "access \"t\" { users: \"<t>\" newsgroups: "
            + groups + " access: " + access + " }\n";
    } else {
        // ckpasswd wants crypt(3) output; perl comes with inn2.
        QProcess perl;
        perl.start(QStringLiteral("perl"),
                   {QStringLiteral("-e"), QStringLiteral("print crypt($ARGV[0], '$6$quorbictest$')"), reader.password});
        if (!perl.waitForFinished(10000) || perl.exitCode() != 0)
            return fail(QStringLiteral("cannot crypt the test password with perl: %1")
                            .arg(QString::fromLocal8Bit(perl.readAllStandardError())));
        const QByteArray crypted = perl.readAllStandardOutput();
        if (!crypted.startsWith("$6$"))
            return fail(QStringLiteral("perl's crypt gave no SHA-512 hash: %1").arg(QString::fromLatin1(crypted)));
        const QString passwordFile = fileName + QStringLiteral(".passwd");
        if (!writeFile(passwordFile, reader.user.toUtf8() + ':' + crypted + '\n'))
            return fail(QStringLiteral("cannot write %1").arg(passwordFile));
        readers = "auth \"t\" { hosts: \"*\" auth: \"ckpasswd -f " + QFile::encodeName(passwordFile)
            + "\" }\n"
              "access \"t\" { users: \""
            + reader.user.toUtf8() + "\" newsgroups: " + groups + " access: " + access + " }\n";
    }
    if (!writeFile(fileName, readers))
        return fail(QStringLiteral("cannot write %1").arg(fileName));
    return true;
}

bool InnServer::runAsNews(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("INNCONF"), path("etc/inn.conf"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(setpriv, newsUser + QStringList{program} + arguments);
    const bool finished = process.waitForFinished(30000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool InnServer::makeHistory()
{
    // innd refuses to start without a history database.
    QString output;
    if (!runAsNews(innBin + QStringLiteral("/makedbz"), {QStringLiteral("-i"), QStringLiteral("-o")}, &output))
        return fail(QStringLiteral("makedbz failed in %1: %2").arg(m_dir->path(), output));
    return true;
}

bool InnServer::launchInnd()
{
    m_innd = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("INNCONF"), path("etc/inn.conf"));
    m_innd->setProcessEnvironment(env);
    m_innd->setWorkingDirectory(m_dir->path());
    // setpriv execs innd, so the process id is innd's own.
    m_innd->start(setpriv, newsUser + QStringList{innBin + QStringLiteral("/innd"), QStringLiteral("-f")});
    if (!m_innd->waitForStarted(10000))
        return fail(QStringLiteral("cannot start innd: %1\n%2").arg(m_innd->errorString(), diagnosis()));
    return true;
}

bool InnServer::waitForGreeting()
{
    // The port opens before innd serves readers, so only a real greeting counts.
    const QByteArray wanted = m_options.postingAllowed ? "200" : "201";
    QDeadlineTimer deadline(startTimeoutMs);
    QString last;
    while (!deadline.hasExpired()) {
        NntpProbe probe;
        if (probe.open(host(), m_port, 2000)) {
            if (probe.greeting().startsWith(wanted)) {
                probe.command("QUIT");
                return true;
            }
            last = QString::fromLatin1(probe.greeting());
        } else {
            last = probe.errorString();
        }
        // Doubles as the pause between attempts and the check that innd lives.
        if (m_innd->waitForFinished(100))
            return fail(QStringLiteral("innd exited while starting\n%1").arg(diagnosis()));
    }
    return fail(QStringLiteral("innd gave no %1 greeting within %2 s (last: %3)\n%4")
                    .arg(QString::fromLatin1(wanted))
                    .arg(startTimeoutMs / 1000)
                    .arg(last, diagnosis()));
}

QString InnServer::diagnosis() const
{
    QString text = QStringLiteral("INN configuration (removed with the test): %1/etc/inn.conf")
                       .arg(m_dir ? m_dir->path() : QString());
    if (m_innd) {
        if (m_innd->state() == QProcess::NotRunning)
            text += QStringLiteral("\ninnd: not running, exit code %1").arg(m_innd->exitCode());
        else
            text += QStringLiteral("\ninnd: running as process %1").arg(m_innd->processId());
        const QByteArray output = m_innd->readAllStandardError() + m_innd->readAllStandardOutput();
        if (!output.isEmpty())
            text += QStringLiteral("\ninnd output:\n") + QString::fromLocal8Bit(output);
    }
    // innd writes its start-up complaints to errlog (the rest goes to syslog).
    if (m_dir) {
        for (const char *log : {"log/errlog", "log/news.err", "log/news.crit"}) {
            const QByteArray tail = readTail(path(QString::fromLatin1(log)));
            if (!tail.isEmpty())
                text += QStringLiteral("\n%1:\n%2").arg(QString::fromLatin1(log), QString::fromLocal8Bit(tail));
        }
    }
    return text;
}

quint16 InnServer::startReader(const ReaderOptions &reader)
{
    if (!m_innd || m_innd->state() != QProcess::Running) {
        fail(QStringLiteral("start innd before a standalone reader"));
        return 0;
    }
    const quint16 port = pickFreePort();
    const QString readersConf = path(QStringLiteral("etc/readers-%1.conf").arg(port));
    if (!writeReadersConf(readersConf, reader))
        return 0;
    const passwd *news = ::getpwnam("news");
    if (::chown(QFile::encodeName(readersConf).constData(), news->pw_uid, news->pw_gid) != 0
        || (!reader.user.isEmpty()
            && ::chown(QFile::encodeName(readersConf + QStringLiteral(".passwd")).constData(), news->pw_uid,
                       news->pw_gid)
                != 0)) {
        fail(QStringLiteral("cannot hand %1 to user news").arg(readersConf));
        return 0;
    }
    // -f keeps the daemon in the foreground, so it stays our child.
    QStringList arguments{QStringLiteral("-D"),  QStringLiteral("-f"), QStringLiteral("-p"),
                          QString::number(port), QStringLiteral("-b"), host(),
                          QStringLiteral("-c"),  readersConf};
    if (!reader.rejectReason.isEmpty())
        arguments << QStringLiteral("-r") << reader.rejectReason;
    if (reader.implicitTls)
        arguments << QStringLiteral("-S");
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("INNCONF"), path("etc/inn.conf"));
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(m_dir->path());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(setpriv, newsUser + QStringList{innBin + QStringLiteral("/nnrpd")} + arguments);
    if (!process->waitForStarted(10000)) {
        fail(QStringLiteral("cannot start nnrpd: %1").arg(process->errorString()));
        return 0;
    }
    QProcess *nnrpd = process.get();
    m_readers.push_back(std::move(process));
    QDeadlineTimer deadline(startTimeoutMs);
    QString last;
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(host(), port);
        if (socket.waitForConnected(2000))
            return port;
        last = socket.errorString();
        if (nnrpd->waitForFinished(20)) {
            fail(QStringLiteral("the standalone nnrpd exited with code %1: %2\n%3")
                     .arg(nnrpd->exitCode())
                     .arg(QString::fromLocal8Bit(nnrpd->readAll()), diagnosis()));
            return 0;
        }
    }
    fail(QStringLiteral("the standalone nnrpd on port %1 accepts no connection: %2\n%3")
             .arg(port)
             .arg(last, diagnosis()));
    return 0;
}

void InnServer::stop()
{
    // Readers keep no state worth a clean exit.
    for (const auto &reader : m_readers) {
        reader->kill();
        reader->waitForFinished(stopTimeoutMs);
    }
    m_readers.clear();
    if (m_innd && m_innd->state() != QProcess::NotRunning) {
        QProcess ctlinnd;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("INNCONF"), path("etc/inn.conf"));
        ctlinnd.setProcessEnvironment(env);
        ctlinnd.start(innBin + QStringLiteral("/ctlinnd"),
                      {QStringLiteral("-s"), QStringLiteral("shutdown"), QStringLiteral("x")});
        ctlinnd.waitForFinished(stopTimeoutMs);
        // innd ignores SIGTERM for long stretches; SIGKILL is the fallback.
        if (!m_innd->waitForFinished(stopTimeoutMs)) {
            m_innd->kill();
            m_innd->waitForFinished(stopTimeoutMs);
        }
    }
    m_innd.reset();
    m_dir.reset();
}

bool InnServer::reloadFilter()
{
    QString output;
    if (!runAsNews(innBin + QStringLiteral("/ctlinnd"),
                   {QStringLiteral("-s"), QStringLiteral("reload"), QStringLiteral("filter.perl"),
                    QStringLiteral("test")},
                   &output))
        return fail(QStringLiteral("ctlinnd reload filter.perl failed: %1").arg(output));
    return true;
}

bool InnServer::openProbeSession(NntpProbe &probe)
{
    if (!probe.open(host(), m_port))
        return fail(probe.errorString());
    if (m_options.user.isEmpty())
        return true;
    const QByteArray user = probe.command("AUTHINFO USER " + m_options.user.toUtf8());
    if (!user.startsWith("381"))
        return fail(QStringLiteral("AUTHINFO USER: %1").arg(QString::fromLatin1(user)));
    const QByteArray pass = probe.command("AUTHINFO PASS " + m_options.password.toUtf8());
    if (!pass.startsWith("281"))
        return fail(QStringLiteral("AUTHINFO PASS: %1").arg(QString::fromLatin1(pass)));
    return true;
}

QByteArray InnServer::post(const QByteArray &article)
{
    NntpProbe probe;
    if (!openProbeSession(probe))
        return {};
    const QByteArray status = probe.command("POST");
    if (!status.startsWith("340"))
        return status;
    const QByteArray result = probe.sendText(article);
    if (result.isEmpty())
        fail(probe.errorString());
    probe.command("QUIT");
    return result;
}

QByteArray InnServer::fetch(const QByteArray &command, QByteArray *status)
{
    NntpProbe probe;
    if (!openProbeSession(probe))
        return {};
    const QByteArray reply = probe.command(command);
    if (status)
        *status = reply;
    if (!reply.startsWith("22"))
        return {};
    QByteArray text;
    if (!probe.readText(&text)) {
        fail(probe.errorString());
        return {};
    }
    probe.command("QUIT");
    // An empty body is still a found article.
    return text.isNull() ? QByteArray("") : text;
}
