#pragma once
// A failure met by a run on line, classed once by what the run does next.
// Posting, retrieving and list loading catch the news client's and the
// store's errors as one RunFailure, ask it what to do and how to word it, and
// keep only what differs between them: where the words go.

#include <QString>

#include <exception>

struct NewsClientSettings;

class RunFailure
{
public:
    enum class Kind {
        Unreachable, // the host could not be reached, or the connection failed at the socket
        Refused, // the server refused the client at its greeting (502)
        Dropped, // the server closed the connection
        Reply, // the server answered a command with a refusal
        Client, // any other fault of the exchange: not expected
        Store, // the store failed
        Other,
    };
    enum class Purpose { Posting, Reading };
    enum class Next {
        SkipHost, // leave this host alone for the rest of the run
        NextServer, // go on with the next server
        EndRun,
    };
    enum class Stage { Connecting, Working };

    // The failure being handled (call inside a catch block).
    static RunFailure current() { return of(std::current_exception()); }
    static RunFailure of(std::exception_ptr error);

    Kind kind() const { return m_kind; }
    // The failure's own text (the server's reply, the engine's message).
    const QString &text() const { return m_text; }
    int errorNumber() const { return m_errorNumber; }

    // A host that cannot be reached is not tried again in the run; a server
    // that refuses to let us post is not asked again either, while one that
    // refuses us at reading is asked again for the next group.
    Next next(Purpose purpose) const;
    // Whether the run reports it as an error it did not expect.
    bool unexpected() const { return m_kind == Kind::Client; }
    // The box text of such an error.
    QString unexpectedText() const { return QStringLiteral("Unhandled error: ") + m_text; }
    // The words of a result row or a server's box: "Connection Error: ..." for
    // a host not reached, the fixed sentence for a dropped connection, else
    // the text. While connecting they follow a status text, after a blank
    // (the posting window's rows put one before a connection error too).
    QString words(Stage stage, Purpose purpose = Purpose::Reading) const;
    // As words(), with a host not reached or refusing us named with its port:
    // "Connection Error: News Server host:port: ...", for a row or box that
    // does not name the server otherwise.
    QString wordsAt(const NewsClientSettings &server, Stage stage, Purpose purpose = Purpose::Reading) const;
    // "News Server host:port: reason": how every run names the server a
    // failure met.
    static QString atServer(const NewsClientSettings &server, const QString &reason);
    // Why, in a few words for a status bar: the socket's own description of a
    // host not reached ("Connection refused"), else as words() while working.
    QString reason() const;

private:
    bool isConnectionError() const { return m_kind == Kind::Unreachable || m_kind == Kind::Refused; }
    QString connectionErrorLead(Stage stage, Purpose purpose) const;

    RunFailure(Kind kind, QString text, int errorNumber = 0)
        : m_kind(kind)
        , m_text(std::move(text))
        , m_errorNumber(errorNumber)
    {}

    Kind m_kind;
    QString m_text;
    int m_errorNumber;
};
