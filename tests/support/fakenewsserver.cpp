#include "tests/support/fakenewsserver.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QQueue>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QWaitCondition>

#include <algorithm>
#include <atomic>

namespace {
// The worker thread wakes at this interval to see whether it should stop.
constexpr int PollMs = 20;

// Hands out QSslSocket connections: plain TCP until a script says "* tls".
class SslCapableServer : public QTcpServer
{
protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        if (socket->setSocketDescriptor(descriptor))
            addPendingConnection(socket);
        else
            delete socket;
    }
};
} // namespace

class FakeNewsServer::Worker
{
public:
    Worker()
    {
        m_thread.reset(QThread::create([this] { run(); }));
        m_thread->start();
        m_listening.acquire();
    }

    ~Worker()
    {
        m_stop = true;
        {
            QMutexLocker lock(&m_mutex);
            m_changed.wakeAll();
        }
        m_thread->wait();
    }

    quint16 port() const { return m_port; }

    void addScript(const QStringList &lines)
    {
        QMutexLocker lock(&m_mutex);
        m_scripts.enqueue(lines);
        ++m_added;
    }

    void setExpectTimeout(int ms) { m_expectTimeoutMs = ms; }

    void setTlsCertificate(const QByteArray &certificatePem, const QByteArray &keyPem)
    {
        QMutexLocker lock(&m_mutex);
        m_certificatePem = certificatePem;
        m_keyPem = keyPem;
    }

    bool waitForScripts(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        QMutexLocker lock(&m_mutex);
        while (m_finished < m_added && m_failure.isEmpty()) {
            if (!m_changed.wait(&m_mutex, deadline)) {
                if (m_failure.isEmpty())
                    m_failure = QStringLiteral("%1 of %2 scripts finished in %3 ms; script line reached: %4")
                                    .arg(m_finished)
                                    .arg(m_added)
                                    .arg(timeoutMs)
                                    .arg(m_position);
                break;
            }
        }
        return m_failure.isEmpty();
    }

    QString failure() const
    {
        QMutexLocker lock(&m_mutex);
        return m_failure;
    }

    int connectionCount() const { return m_connections; }

private:
    void fail(const QString &text)
    {
        QMutexLocker lock(&m_mutex);
        if (m_failure.isEmpty())
            m_failure = text;
        m_changed.wakeAll();
    }

    void setPosition(const QString &line)
    {
        QMutexLocker lock(&m_mutex);
        m_position = line;
    }

    void run()
    {
        SslCapableServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_listening.release();
        while (!m_stop) {
            if (!server.waitForNewConnection(PollMs))
                continue;
            std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
            ++m_connections;
            QStringList script;
            {
                QMutexLocker lock(&m_mutex);
                if (m_scripts.isEmpty()) {
                    lock.unlock();
                    fail(QStringLiteral("connection %1 has no script").arg(m_connections.load()));
                    continue;
                }
                script = m_scripts.dequeue();
            }
            play(*socket, script);
            socket->abort();
        }
    }

    // Plays one script on one connection. Marks it finished when it ends, but
    // keeps watching the connection for bytes the script did not expect.
    void play(QTcpSocket &socket, const QStringList &script)
    {
        m_input.clear();
        m_dropped = false;
        bool ok = true;
        int lineNumber = 0;
        for (const QString &line : script) {
            ++lineNumber;
            if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            setPosition(QStringLiteral("%1: %2").arg(lineNumber).arg(line.left(200)));
            m_clientMustStay = std::any_of(script.begin() + lineNumber, script.end(), [](const QString &later) {
                return later.startsWith(QLatin1String("C:")) || later.startsWith(QLatin1String("C>"));
            });
            ok = step(socket, line, lineNumber);
            // A client gone early is judged by the lines still to come: what
            // it sent before it went is buffered for them, and "* closed"
            // accepts the close.
            if (!ok || m_dropped)
                break;
        }
        // What already arrived beyond the script counts before it is finished;
        // after a drop nothing the client sent is looked at.
        if (ok && !m_dropped) {
            m_input += socket.readAll();
            if (!m_input.isEmpty()) {
                fail(QStringLiteral("after the end of the script: received \"%1\"")
                         .arg(QString::fromUtf8(m_input.left(300))));
                ok = false;
            }
        }
        {
            QMutexLocker lock(&m_mutex);
            ++m_finished;
            m_changed.wakeAll();
        }
        if (ok && !m_dropped)
            watchForLeftovers(socket);
    }

    bool step(QTcpSocket &socket, const QString &line, int lineNumber)
    {
        const QString directive = line.left(2);
        const QString text = line.mid(2).startsWith(QLatin1Char(' ')) ? line.mid(3) : line.mid(2);
        const QString where = QStringLiteral("script line %1 (%2)").arg(lineNumber).arg(line.left(200));
        if (directive == QLatin1String("S:"))
            return send(socket, text.toUtf8() + "\r\n");
        if (directive == QLatin1String("S>"))
            return send(socket, QByteArray::fromHex(text.toLatin1()));
        if (directive == QLatin1String("C:"))
            return expect(socket, text.toUtf8() + "\r\n", where);
        if (directive == QLatin1String("C>"))
            return expect(socket, QByteArray::fromHex(text.toLatin1()), where);
        if (line == QLatin1String("* close")) {
            socket.disconnectFromHost();
            if (socket.state() != QAbstractSocket::UnconnectedState)
                socket.waitForDisconnected(m_expectTimeoutMs);
            return true;
        }
        if (line == QLatin1String("* stall")) {
            while (!m_stop && socket.state() == QAbstractSocket::ConnectedState) {
                socket.waitForReadyRead(PollMs);
                socket.readAll();
            }
            return true;
        }
        if (line == QLatin1String("* closed"))
            return expectClose(socket, where);
        if (line == QLatin1String("* drop")) {
            // abort() closes at once; what the client sent and nobody read
            // makes the system answer it with a reset, as a crashed server would.
            m_input.clear();
            socket.abort();
            m_dropped = true;
            return true;
        }
        if (line == QLatin1String("* tls"))
            return startTls(socket, where);
        fail(QStringLiteral("unknown %1").arg(where));
        return false;
    }

    bool startTls(QTcpSocket &socket, const QString &where)
    {
        QByteArray certificatePem, keyPem;
        {
            QMutexLocker lock(&m_mutex);
            certificatePem = m_certificatePem;
            keyPem = m_keyPem;
        }
        auto *ssl = qobject_cast<QSslSocket *>(&socket);
        if (!ssl || certificatePem.isEmpty()) {
            fail(QStringLiteral("%1: no certificate was set (setTlsCertificate)").arg(where));
            return false;
        }
        // Nothing is read here: the client's first handshake bytes may
        // already be waiting, and belong to the handshake.
        if (!m_input.isEmpty()) {
            fail(QStringLiteral("%1: received \"%2\" before the handshake")
                     .arg(where, QString::fromUtf8(m_input.left(300))));
            return false;
        }
        QSslKey key(keyPem, QSsl::Ec);
        if (key.isNull())
            key = QSslKey(keyPem, QSsl::Rsa);
        ssl->setLocalCertificate(QSslCertificate(certificatePem, QSsl::Pem));
        ssl->setPrivateKey(key);
        ssl->startServerEncryption();
        if (!ssl->waitForEncrypted(m_expectTimeoutMs)) {
            // A client that refuses the certificate closes as soon as its side
            // of the handshake is done, which may cut off ours: that is a
            // failure only when the script wants more from it.
            if (ssl->state() != QAbstractSocket::ConnectedState && !m_clientMustStay)
                return true;
            fail(QStringLiteral("%1: the TLS handshake failed: %2").arg(where, ssl->errorString()));
            return false;
        }
        return true;
    }

    bool send(QTcpSocket &socket, const QByteArray &bytes)
    {
        // A client that has gone away is not a failure by itself: the next
        // expectation says whether it should have stayed.
        if (socket.state() != QAbstractSocket::ConnectedState)
            return true;
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.state() == QAbstractSocket::ConnectedState && !m_stop)
            socket.waitForBytesWritten(PollMs);
        return true;
    }

    // Reads until count bytes are buffered; false when the client closed or the
    // time ran out.
    bool fillTo(QTcpSocket &socket, qsizetype count, const QDeadlineTimer &deadline)
    {
        while (m_input.size() < count) {
            m_input += socket.readAll();
            if (m_input.size() >= count)
                break;
            if (m_stop || deadline.hasExpired() || socket.state() != QAbstractSocket::ConnectedState)
                return false;
            socket.waitForReadyRead(PollMs);
        }
        return true;
    }

    bool expect(QTcpSocket &socket, const QByteArray &wanted, const QString &where)
    {
        const QDeadlineTimer deadline(m_expectTimeoutMs);
        // Read a whole line where a line is expected, so the report shows it.
        if (wanted.endsWith("\r\n")) {
            while (!m_input.contains('\n') && m_input.size() < wanted.size() + 4096) {
                m_input += socket.readAll();
                if (m_input.contains('\n'))
                    break;
                if (m_stop || deadline.hasExpired() || socket.state() != QAbstractSocket::ConnectedState)
                    break;
                socket.waitForReadyRead(PollMs);
            }
            const qsizetype lf = m_input.indexOf('\n');
            const QByteArray got = lf >= 0 ? m_input.left(lf + 1) : m_input;
            if (got != wanted) {
                fail(QStringLiteral("%1: received %2").arg(where, describe(got, socket, deadline)));
                return false;
            }
            m_input.remove(0, got.size());
            return true;
        }
        const bool complete = fillTo(socket, wanted.size(), deadline);
        const QByteArray got = m_input.left(wanted.size());
        if (!complete || got != wanted) {
            fail(QStringLiteral("%1: received bytes %2").arg(where, QString::fromLatin1(got.toHex(' ')))
                 + (complete ? QString() : QStringLiteral(" and then nothing")));
            return false;
        }
        m_input.remove(0, wanted.size());
        return true;
    }

    static QString describe(const QByteArray &got, const QTcpSocket &socket, const QDeadlineTimer &deadline)
    {
        QString text = got.isEmpty() ? QStringLiteral("nothing")
                                     : QLatin1Char('"')
                + QString::fromUtf8(got.left(300))
                      .replace(QLatin1String("\r"), QLatin1String("\\r"))
                      .replace(QLatin1String("\n"), QLatin1String("\\n"))
                + QLatin1Char('"');
        if (socket.state() != QAbstractSocket::ConnectedState)
            text += QStringLiteral(" before the client closed the connection");
        else if (deadline.hasExpired())
            text += QStringLiteral(" within the time limit");
        return text;
    }

    bool expectClose(QTcpSocket &socket, const QString &where)
    {
        const QDeadlineTimer deadline(m_expectTimeoutMs);
        while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired() && !m_stop) {
            socket.waitForReadyRead(PollMs);
            m_input += socket.readAll();
        }
        m_input += socket.readAll();
        if (!m_input.isEmpty() || socket.state() == QAbstractSocket::ConnectedState) {
            fail(QStringLiteral("%1: received %2").arg(where, describe(m_input, socket, deadline)));
            return false;
        }
        return true;
    }

    void watchForLeftovers(QTcpSocket &socket)
    {
        while (!m_stop && socket.state() == QAbstractSocket::ConnectedState) {
            socket.waitForReadyRead(PollMs);
            m_input += socket.readAll();
            if (!m_input.isEmpty())
                break;
        }
        m_input += socket.readAll();
        if (!m_input.isEmpty())
            fail(QStringLiteral("after the end of the script: received \"%1\"")
                     .arg(QString::fromUtf8(m_input.left(300))));
    }

    std::unique_ptr<QThread> m_thread;
    QSemaphore m_listening;
    std::atomic<bool> m_stop{false};
    std::atomic<quint16> m_port{0};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_expectTimeoutMs{10000};

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    QQueue<QStringList> m_scripts;
    int m_added = 0;
    int m_finished = 0;
    QString m_failure;
    QString m_position;
    QByteArray m_certificatePem;
    QByteArray m_keyPem;

    QByteArray m_input; // worker thread only
    bool m_clientMustStay = false; // worker thread only: a later script line expects the client
    bool m_dropped = false; // worker thread only: the script dropped the connection
};

FakeNewsServer::FakeNewsServer()
    : m_worker(std::make_unique<Worker>())
{}

FakeNewsServer::~FakeNewsServer() = default;

quint16 FakeNewsServer::port() const
{
    return m_worker->port();
}

void FakeNewsServer::addScript(const QString &script)
{
    addScript(script.split(QLatin1Char('\n')));
}

void FakeNewsServer::addScript(const QStringList &lines)
{
    m_worker->addScript(lines);
}

void FakeNewsServer::setExpectTimeout(int ms)
{
    m_worker->setExpectTimeout(ms);
}

void FakeNewsServer::setTlsCertificate(const QByteArray &certificatePem, const QByteArray &keyPem)
{
    m_worker->setTlsCertificate(certificatePem, keyPem);
}

bool FakeNewsServer::waitForScripts(int timeoutMs)
{
    return m_worker->waitForScripts(timeoutMs);
}

QString FakeNewsServer::failure() const
{
    return m_worker->failure();
}

int FakeNewsServer::connectionCount() const
{
    return m_worker->connectionCount();
}

QString FakeNewsServer::sendBytesLine(const QByteArray &bytes)
{
    return QStringLiteral("S> ") + QString::fromLatin1(bytes.toHex(' '));
}

QString FakeNewsServer::expectBytesLine(const QByteArray &bytes)
{
    return QStringLiteral("C> ") + QString::fromLatin1(bytes.toHex(' '));
}
