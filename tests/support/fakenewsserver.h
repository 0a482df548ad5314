#pragma once
// A scripted news server for tests. It listens on 127.0.0.1 at a port the
// system picks, and plays one script per accepted connection, in the order the
// scripts were added. It runs in a thread of its own, so a client that blocks
// the test's thread can talk to it.
//
// Script lines (one per line; empty lines and lines starting with "#" ignored):
//   S: text     send text and CR LF ("S:" alone sends an empty line)
//   C: text     expect the client to send exactly text and CR LF
//   S> 05 00    send these bytes (hex)
//   C> 05 01 00 expect exactly these bytes
//   * close     close the connection
//   * stall     send nothing more and discard what arrives, until the client
//               closes or the server is destroyed
//   * closed    expect the client to close without sending anything more
//   * drop      close the connection at once, throwing away whatever the
//               client sent or is still sending (a server that goes away
//               while the client writes); the script ends here
//   * tls       TLS from here on, as the server side of the handshake, with
//               the certificate of setTlsCertificate(); bytes the client sent
//               before it, or a failed handshake, fail the script
// The first difference fails the script: the failure is recorded, the
// connection is closed, and the rest of the script is not played. Bytes that
// arrive after the last line of a script are a failure too.
// The traffic trace of the news client (QUORBIC_NNTP_TRACE) is in this form.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class FakeNewsServer
{
public:
    FakeNewsServer();
    ~FakeNewsServer();
    FakeNewsServer(const FakeNewsServer &) = delete;
    FakeNewsServer &operator=(const FakeNewsServer &) = delete;

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const;

    // The script for the next connection; lines separated by "\n".
    void addScript(const QString &script);
    void addScript(const QStringList &lines);

    // How long a "C:"/"C>" line waits for the client (default 10 s).
    void setExpectTimeout(int ms);

    // The certificate and private key (PEM, EC or RSA) that "* tls" presents.
    void setTlsCertificate(const QByteArray &certificatePem, const QByteArray &keyPem);

    // Waits until every added script has been played to its end or failed.
    // True when all were played without a difference.
    bool waitForScripts(int timeoutMs = 10000);
    // The first difference, with the script line and what arrived; empty when none.
    QString failure() const;
    int connectionCount() const;

    // Builds a script line that sends bytes, for data a test computes.
    static QString sendBytesLine(const QByteArray &bytes);
    static QString expectBytesLine(const QByteArray &bytes);

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};
