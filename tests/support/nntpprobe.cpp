#include "tests/support/nntpprobe.h"

#include <QTcpSocket>

NntpProbe::NntpProbe() = default;
NntpProbe::~NntpProbe() = default;

bool NntpProbe::open(const QString &host, quint16 port, int timeoutMs)
{
    close();
    m_timeoutMs = timeoutMs;
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(host, port);
    if (!m_socket->waitForConnected(timeoutMs)) {
        m_error = QStringLiteral("cannot connect to %1:%2: %3").arg(host).arg(port).arg(m_socket->errorString());
        return false;
    }
    return readLine(&m_greeting);
}

void NntpProbe::close()
{
    if (m_socket)
        m_socket->abort();
    m_socket.reset();
    m_greeting.clear();
}

bool NntpProbe::readLine(QByteArray *line)
{
    if (!m_socket) {
        m_error = QStringLiteral("not connected");
        return false;
    }
    while (!m_socket->canReadLine()) {
        if (!m_socket->waitForReadyRead(m_timeoutMs)) {
            m_error = QStringLiteral("no complete line from the server: %1").arg(m_socket->errorString());
            return false;
        }
    }
    *line = m_socket->readLine();
    if (line->endsWith("\r\n"))
        line->chop(2);
    else if (line->endsWith('\n'))
        line->chop(1);
    return true;
}

QByteArray NntpProbe::command(const QByteArray &line)
{
    if (!m_socket) {
        m_error = QStringLiteral("not connected");
        return {};
    }
    m_socket->write(line + "\r\n");
    QByteArray status;
    if (!readLine(&status))
        return {};
    return status;
}

bool NntpProbe::readText(QByteArray *text)
{
    text->clear();
    QByteArray line;
    for (;;) {
        if (!readLine(&line))
            return false;
        if (line == ".")
            return true;
        if (line.startsWith('.'))
            line.remove(0, 1);
        *text += line + "\r\n";
    }
}

QByteArray NntpProbe::sendText(const QByteArray &text)
{
    if (!m_socket) {
        m_error = QStringLiteral("not connected");
        return {};
    }
    QByteArray normal = text;
    normal.replace("\r\n", "\n");
    if (normal.endsWith('\n'))
        normal.chop(1);
    QByteArray wire;
    wire.reserve(normal.size() + normal.size() / 16 + 8);
    for (const QByteArray &line : normal.split('\n')) {
        if (line.startsWith('.'))
            wire += '.';
        wire += line + "\r\n";
    }
    wire += ".\r\n";
    m_socket->write(wire);
    QByteArray status;
    if (!readLine(&status))
        return {};
    return status;
}
