#pragma once
// A plain NNTP conversation over a blocking socket, independent of the client
// under test: fixtures use it to seed a server with articles and to read back
// what the server stored, byte for byte.

#include <QByteArray>
#include <QString>

#include <memory>

class QTcpSocket;

class NntpProbe
{
public:
    NntpProbe();
    ~NntpProbe();
    NntpProbe(const NntpProbe &) = delete;
    NntpProbe &operator=(const NntpProbe &) = delete;

    // Connects and reads the greeting line. False, with errorString(), when the
    // connection fails or no greeting arrives within the timeout.
    bool open(const QString &host, quint16 port, int timeoutMs = 10000);
    void close();

    // The greeting line, without its CR LF.
    QByteArray greeting() const { return m_greeting; }

    // Sends one command line and returns the status line without CR LF; an
    // empty result means the connection failed (see errorString()).
    QByteArray command(const QByteArray &line);

    // Reads the data block of a multi-line reply up to the closing ".". Every
    // line ends in CR LF and has its dot-stuffing undone. False when the
    // connection fails before the end.
    bool readText(QByteArray *text);

    // Sends a data block (POST): line ends become CR LF, lines beginning with
    // "." get one more in front, and the closing "." follows. Returns the
    // status line that answers it.
    QByteArray sendText(const QByteArray &text);

    QString errorString() const { return m_error; }

private:
    bool readLine(QByteArray *line);

    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_greeting;
    QString m_error;
    int m_timeoutMs = 10000;
};
