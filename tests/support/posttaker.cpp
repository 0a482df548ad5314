#include "tests/support/posttaker.h"

#include <algorithm>

#include <QTcpSocket>

#include <memory>

namespace {

const QByteArray kGreeting = "200 post taker ready (posting ok)\r\n";
const QByteArray kPosted = "240 article posted ok\r\n";

// The article being received on one connection.
struct Incoming
{
    bool inArticle = false;
    bool inHeader = false;
    QString messageId;
    QString newsgroups;
    QString subject;
};

QString headerValue(const QByteArray &line, const QByteArray &name)
{
    if (line.size() <= name.size() || !line.startsWith(name) || line.at(name.size()) != ':')
        return {};
    return QString::fromUtf8(line.mid(name.size() + 1).trimmed());
}

} // namespace

PostTaker::PostTaker()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
}

PostTaker::~PostTaker()
{
    m_server.close();
}

bool PostTaker::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 PostTaker::port() const
{
    return m_server.serverPort();
}

int PostTaker::confirmedCount() const
{
    int count = 0;
    for (const Article &article : m_articles)
        count += article.confirmed ? 1 : 0;
    return count;
}

bool PostTaker::confirmHeld()
{
    if (!m_held)
        return false;
    QTcpSocket *client = m_held;
    m_held = nullptr;
    m_articles.last().confirmed = true;
    client->write(kPosted);
    while (client->bytesToWrite() > 0 && client->state() == QAbstractSocket::ConnectedState) {
        if (!client->waitForBytesWritten(5000))
            break;
    }
    return client->bytesToWrite() == 0;
}

void PostTaker::accept()
{
    while (QTcpSocket *client = m_server.nextPendingConnection()) {
        QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        // With the server as context: it goes before the connections it owns.
        QObject::connect(client, &QObject::destroyed, &m_server, [this, client] {
            if (m_held == client)
                m_held = nullptr;
        });
        auto incoming = std::make_shared<Incoming>();
        QObject::connect(client, &QTcpSocket::readyRead, [this, client, incoming] {
            while (client->canReadLine()) {
                QByteArray line = client->readLine();
                line.chop(line.endsWith("\r\n") ? 2 : 1);
                if (!incoming->inArticle) {
                    const QByteArray command = line.toUpper();
                    if (command == "POST") {
                        *incoming = Incoming{true, true, {}, {}, {}};
                        client->write("340 send article\r\n");
                    } else {
                        answer(client, command);
                    }
                    continue;
                }
                if (line == ".") {
                    incoming->inArticle = false;
                    m_articles << Article{incoming->messageId, incoming->newsgroups, incoming->subject, false};
                    articleComplete(client);
                    continue;
                }
                if (!incoming->inHeader)
                    continue;
                if (line.isEmpty()) {
                    incoming->inHeader = false;
                } else if (const QString id = headerValue(line, "Message-ID"); !id.isEmpty()) {
                    incoming->messageId = id;
                } else if (const QString groups = headerValue(line, "Newsgroups"); !groups.isEmpty()) {
                    incoming->newsgroups = groups;
                } else if (const QString subject = headerValue(line, "Subject"); !subject.isEmpty()) {
                    incoming->subject = subject;
                }
            }
        });
        client->write(kGreeting);
    }
}

void PostTaker::answer(QTcpSocket *client, const QByteArray &command)
{
    if (command == "MODE READER") {
        client->write("200 reader mode, posting ok\r\n");
    } else if (command.startsWith("STAT <")) {
        // As a news server does: by Message-ID, among the articles it took.
        const QByteArray id = command.mid(5);
        const bool taken = std::any_of(m_articles.begin(), m_articles.end(), [&id](const Article &article) {
            return article.messageId.toUtf8().toUpper() == id;
        });
        client->write(taken ? "223 0 " + id + "\r\n" : QByteArray("430 no such article\r\n"));
    } else if (command == "QUIT") {
        client->write("205 bye\r\n");
        client->disconnectFromHost();
    } else {
        // CAPABILITIES among them: a server from before it, plain text.
        client->write("500 what?\r\n");
    }
}

void PostTaker::articleComplete(QTcpSocket *client)
{
    // A Message-ID it has taken before is refused, as news servers do.
    const QString id = m_articles.last().messageId;
    if (std::any_of(m_articles.begin(), m_articles.end() - 1,
                    [&id](const Article &article) { return article.messageId == id; })) {
        m_articles.removeLast();
        client->write("441 435 Duplicate\r\n");
        return;
    }
    const int answered = int(m_articles.size()) - 1;
    if (m_confirmLimit >= 0 && answered >= m_confirmLimit) {
        m_held = client;
        return;
    }
    m_articles.last().confirmed = true;
    client->write(kPosted);
}
