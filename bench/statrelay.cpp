#include "statrelay.h"

#include <QHostAddress>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>

namespace {

constexpr int kWaitMs = 60000;

// Acknowledge at once: INN holds back the end of a short multi-line reply
// until the previous segment is acknowledged.
void quickAck(QTcpSocket &socket)
{
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

bool readLine(QTcpSocket &socket, QByteArray &line)
{
    while (!socket.canReadLine()) {
        quickAck(socket);
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    }
    line = socket.readLine();
    return true;
}

bool multiLine(const QByteArray &reply)
{
    const int code = reply.left(3).toInt();
    return code == 100 || code == 101 || code == 215 || (code >= 220 && code <= 222) || code == 224 || code == 225
        || code == 230 || code == 231;
}

} // namespace

class StatRelay::Worker : public QThread
{
public:
    Worker(const QString &host, quint16 port)
        : m_host(host)
        , m_upstreamPort(port)
    {}

    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_ready.release();
        while (!m_stop) {
            if (!server.waitForNewConnection(100))
                continue;
            std::unique_ptr<QTcpSocket> client(server.nextPendingConnection());
            serve(*client);
        }
    }

    void serve(QTcpSocket &client)
    {
        QTcpSocket upstream;
        upstream.connectToHost(m_host, m_upstreamPort);
        if (!upstream.waitForConnected(kWaitMs))
            return;
        client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        upstream.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QByteArray line;
        if (!readLine(upstream, line))
            return;
        client.write(line);
        QByteArray group;
        while (readLine(client, line)) {
            const QByteArray command = line.trimmed();
            const QByteArray verb = command.left(command.indexOf(' ')).toLower();
            if (verb == "group")
                group = command.mid(6).trimmed();
            QByteArray number;
            if (verb == "stat" && command.contains('<'))
                number = articleNumber(upstream, command.mid(5).trimmed(), group);
            upstream.write(line);
            if (verb == "quit") {
                upstream.waitForBytesWritten(kWaitMs);
                return;
            }
            QByteArray reply;
            if (!readLine(upstream, reply))
                return;
            if (!number.isEmpty() && reply.startsWith("223 0 "))
                reply = "223 " + number + reply.mid(5);
            client.write(reply);
            if (multiLine(reply)) {
                do {
                    if (!readLine(upstream, reply))
                        return;
                    client.write(reply);
                } while (reply != ".\r\n");
            }
            client.flush();
        }
    }

    // The article's number in group from its Xref ("host group:n ...").
    QByteArray articleNumber(QTcpSocket &upstream, const QByteArray &messageId, const QByteArray &group)
    {
        upstream.write("XHDR Xref " + messageId + "\r\n");
        QByteArray line;
        if (!readLine(upstream, line) || !line.startsWith("221"))
            return {};
        QByteArray number;
        while (readLine(upstream, line) && line != ".\r\n") {
            for (const QByteArray &field : line.trimmed().split(' ')) {
                if (field.startsWith(group + ':'))
                    number = field.mid(group.size() + 1);
            }
        }
        return number;
    }

    QString m_host;
    quint16 m_upstreamPort;
    std::atomic<quint16> m_port{0};
    std::atomic<bool> m_stop{false};
    QSemaphore m_ready;
};

StatRelay::StatRelay(const QString &host, quint16 port)
    : m_worker(std::make_unique<Worker>(host, port))
{
    m_worker->start();
    m_worker->m_ready.acquire();
}

StatRelay::~StatRelay()
{
    m_worker->m_stop = true;
    m_worker->wait();
}

quint16 StatRelay::port() const
{
    return m_worker->m_port;
}
