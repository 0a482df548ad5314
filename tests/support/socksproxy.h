#pragma once
// A throw-away SOCKS 5 proxy for tests: microsocks on a free loopback port,
// with user name and password authentication when a user is given, killed by
// the destructor. start() returns false with errorString() when microsocks is
// missing or never accepts a connection; callers fail with it.

#include <QString>

#include <memory>

class QProcess;

class SocksProxy
{
public:
    SocksProxy(QString user, QString password);
    ~SocksProxy();
    SocksProxy(const SocksProxy &) = delete;
    SocksProxy &operator=(const SocksProxy &) = delete;

    bool start();
    void stop();
    QString errorString() const { return m_error; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }

private:
    QString m_user;
    QString m_password;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    QString m_error;
};
