#pragma once
// A relay in front of a news server that numbers STAT replies by Message-ID.
// INN follows RFC 3977 and answers "STAT <id>" with article number 0, so the
// retrieval run falls back to the last 300 articles of a group; servers of
// the program's day gave the number, and with it the run reads the group from
// its oldest recorded article. The relay asks the server for the article's
// Xref (XHDR) and puts the number in the selected group into the 223 reply.
// Every other line passes unchanged. One client connection at a time.

#include <QString>

#include <memory>

class StatRelay
{
public:
    StatRelay(const QString &host, quint16 port);
    ~StatRelay();
    StatRelay(const StatRelay &) = delete;
    StatRelay &operator=(const StatRelay &) = delete;

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const;

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};
