#pragma once
// The program's one way onto the news servers: the NNTP client and the
// message object that every run shares, and the lock that lets one run at a
// time use them. It belongs to the data module it serves (a child of `dm`), so
// the windows, quorbic-cli and tests that hold a data module reach the same one.

#include "transport/newsclient.h"

#include <QObject>
#include <memory>

class NntpMessage;
class RowSet;
class Tdm;

class NewsAccess : public QObject
{
    Q_OBJECT
public:
    // The news access of the data module, made on first use.
    static NewsAccess &of(Tdm &dm);

    ~NewsAccess() override;

    NewsClient &client() { return *m_client; }
    NntpMessage &msgNNTP() { return *m_msgNNTP; }

    // Points the client at the server of the current row of a row set over Servers.
    void useServer(const RowSet &server);

    // Whether a run holds the client (for enabling actions); see ExchangeRunLock.
    bool runInProgress() const { return m_runInProgress; }

private:
    friend class ExchangeRunLock;
    explicit NewsAccess(Tdm &dm);

    std::unique_ptr<NewsClient> m_client;
    std::unique_ptr<NntpMessage> m_msgNNTP;
    bool m_runInProgress = false;
};

// The client's settings for a server row: host, port (119 when none), the
// login when the server requires one, and the SOCKS 5 proxy when it uses one.
// Settings the row does not hold (the agent, TLS preferences) come from base.
NewsClientSettings serverSettings(const RowSet &server, NewsClientSettings base);
