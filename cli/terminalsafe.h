#pragma once
// Everything quorbic-cli prints passes through one filter: server replies,
// subjects, names and bodies from the store reach a terminal (or cron's mail)
// without their control characters, so an escape sequence in a reply cannot
// retitle the terminal, clear the screen or move the cursor. Tabs and line
// ends stay; other C0 characters, DEL and the C1 characters become "?".

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdio>

namespace Cli {

// The text with its control characters replaced, as the tool prints it.
QString terminalSafe(QString text);
// The same on UTF-8 bytes as they are written.
QByteArray terminalSafeUtf8(QByteArray bytes);

} // namespace Cli

// A write-only device over stdout or stderr that filters what it writes.
class TerminalSafeDevice : public QIODevice
{
public:
    explicit TerminalSafeDevice(FILE *to);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    FILE *m_to;
};
