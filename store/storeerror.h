#pragma once
// Every failure of the store reaches callers as a StoreError carrying the
// engine's own text; the command that ran into it ends and the shell shows it.

#include <QByteArray>
#include <QString>
#include <exception>

class StoreError : public std::exception
{
public:
    explicit StoreError(QString text)
        : m_text(std::move(text))
        , m_utf8(m_text.toUtf8())
    {}
    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// The text of the box that reports an error no command handles: the message,
// with a full stop added when its last character sorts after ".".
inline QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
