#pragma once
// A debugging aid: when the environment variable QUORBIC_NNTP_TRACE names a
// file, each session's traffic is appended to it in the fake news server's
// script form ("C: " sent line, "S: " received line, "C> "/"S> " raw bytes in
// hex, "# " comments), passwords masked, so a failure seen on a real server can
// be replayed as a test. Off (and free) when the variable is not set.

#include <QByteArray>

#include <memory>

class QFile;

class SessionTrace
{
public:
    // Opens the file named by QUORBIC_NNTP_TRACE; null when tracing is off or
    // the file cannot be opened.
    static std::unique_ptr<SessionTrace> fromEnvironment();
    ~SessionTrace();

    void comment(const QByteArray &text);
    void sentLine(const QByteArray &line);
    void receivedLine(const QByteArray &line);
    void sentBytes(const QByteArray &bytes);
    void receivedBytes(const QByteArray &bytes);
    void startedTls();

private:
    explicit SessionTrace(std::unique_ptr<QFile> file);
    void write(const char *prefix, const QByteArray &text);

    std::unique_ptr<QFile> m_file;
};
