#include "transport/sessiontrace.h"

#include "transport/log.h"

#include <QFile>

std::unique_ptr<SessionTrace> SessionTrace::fromEnvironment()
{
    const QString path = qEnvironmentVariable("QUORBIC_NNTP_TRACE");
    std::unique_ptr<QFile> file;
    if (!path.isEmpty()) {
        file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
            file.reset();
    }
    if (!file && !lcTransport().isDebugEnabled())
        return nullptr;
    return std::unique_ptr<SessionTrace>(new SessionTrace(std::move(file)));
}

SessionTrace::SessionTrace(std::unique_ptr<QFile> file)
    : m_file(std::move(file))
{}

SessionTrace::~SessionTrace() = default;

void SessionTrace::write(const char *prefix, const QByteArray &text)
{
    qCDebug(lcTransport).noquote().nospace() << prefix << QString::fromLatin1(text);
    if (!m_file)
        return;
    m_file->write(prefix);
    m_file->write(text);
    m_file->write("\n");
    m_file->flush();
}

void SessionTrace::comment(const QByteArray &text)
{
    write("# ", text);
}

void SessionTrace::sentLine(const QByteArray &line)
{
    write("C: ", line);
}

void SessionTrace::receivedLine(const QByteArray &line)
{
    write("S: ", line);
}

void SessionTrace::sentBytes(const QByteArray &bytes)
{
    write("C> ", bytes.toHex(' '));
}

void SessionTrace::receivedBytes(const QByteArray &bytes)
{
    write("S> ", bytes.toHex(' '));
}

void SessionTrace::startedTls()
{
    write("* ", "tls");
}
