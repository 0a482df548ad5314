#pragma once
// A debugging aid: each session's traffic in the fake news server's script
// form ("C: " sent line, "S: " received line, "C> "/"S> " raw bytes in hex,
// "# " comments), passwords masked, so a failure seen on a real server can be
// replayed as a test. It goes to the debug output of the logging category
// "quorbic.transport" when that is switched on, and is appended to the file
// that the environment variable QUORBIC_NNTP_TRACE names. Off (and free)
// when neither is.

#include <QByteArray>

#include <memory>

class QFile;

class SessionTrace
{
public:
    // Null when tracing is off; a file that cannot be opened is left out.
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
