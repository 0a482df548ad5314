#include "tests/support/socksproxy.h"

#include "tests/support/freeport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>

SocksProxy::SocksProxy(QString user, QString password)
    : m_user(std::move(user))
    , m_password(std::move(password))
{}

SocksProxy::~SocksProxy()
{
    stop();
}

bool SocksProxy::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("microsocks"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("microsocks is missing: the tests need a real SOCKS 5 proxy; run "
                                 "scripts/install-deps.sh --test as root (apt-get install microsocks)");
        return false;
    }
    m_port = pickFreePort();
    QStringList arguments{QStringLiteral("-i"), host(), QStringLiteral("-p"), QString::number(m_port)};
    if (!m_user.isEmpty())
        arguments << QStringLiteral("-u") << m_user << QStringLiteral("-P") << m_password;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    // Killed with the test process, so a crashed test leaves no proxy running.
    m_process->start(QStringLiteral("/usr/bin/setpriv"),
                     QStringList{QStringLiteral("--pdeathsig"), QStringLiteral("KILL"), program} + arguments);
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start microsocks: %1").arg(m_process->errorString());
        return false;
    }
    QDeadlineTimer deadline(20000);
    QString last;
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(host(), m_port);
        if (socket.waitForConnected(1000)) {
            socket.abort();
            return true;
        }
        last = socket.errorString();
        // The pause between attempts, and the check that it is still alive.
        if (m_process->waitForFinished(50)) {
            m_error = QStringLiteral("microsocks exited with code %1: %2")
                          .arg(m_process->exitCode())
                          .arg(QString::fromLocal8Bit(m_process->readAll()));
            return false;
        }
    }
    m_error = QStringLiteral("microsocks on port %1 accepts no connection: %2").arg(m_port).arg(last);
    return false;
}

void SocksProxy::stop()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(10000);
    }
    m_process.reset();
}
