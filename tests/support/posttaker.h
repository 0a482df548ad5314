#pragma once
// A news server that takes posts of any content, for tests whose client makes
// its own Message-IDs and dates (quorbic-cli run as a child process), so that
// no script can name the article's lines in advance. It answers the first
// posts with 240 and then holds the answer to the next one back until the
// test releases it or ends: the test knows the client is waiting at a known
// point. It runs on the thread that made it, so the test waits with QTRY_* or
// QSignalSpy::wait, which let its events run.

#include <QList>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

class PostTaker
{
public:
    struct Article
    {
        QString messageId; // as sent, angle brackets included
        QString newsgroups; // the Newsgroups header as sent
        QString subject;
        bool confirmed = false; // answered with 240
    };

    PostTaker();
    ~PostTaker();
    PostTaker(const PostTaker &) = delete;
    PostTaker &operator=(const PostTaker &) = delete;

    // Listens on 127.0.0.1 at a port the system picks.
    bool listen();
    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const;

    // How many posts are answered with 240 before one is held; negative (the
    // default) answers every post.
    void setConfirmLimit(int posts) { m_confirmLimit = posts; }

    // Every article received in full, in order.
    const QList<Article> &articles() const { return m_articles; }
    int confirmedCount() const;
    // True while a received article waits for its answer.
    bool holding() const { return m_held != nullptr; }
    // Answers the held article with 240, written out before this returns.
    bool confirmHeld();

private:
    void accept();
    void answer(QTcpSocket *client, const QByteArray &line);
    void articleComplete(QTcpSocket *client);

    QTcpServer m_server;
    QList<Article> m_articles;
    QTcpSocket *m_held = nullptr;
    int m_confirmLimit = -1;
};
