#pragma once
// Certificates for TLS tests, made with the openssl command in a temporary
// directory: one test CA and server certificates signed by it. The system
// trusts none of them; a test hands caPem() to the client it means to trust
// them. The directory (and with it every file) is removed by the destructor.
//
//     TestCertificates certificates;
//     QVERIFY2(certificates.create(), qPrintable(certificates.errorString()));
//     const auto server = certificates.issue("localhost", {"DNS:localhost"});

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

class TestCertificates
{
public:
    struct Issued
    {
        QString certificateFile;
        QString keyFile;
        QByteArray certificatePem;
        QByteArray keyPem;
        bool isNull() const { return certificatePem.isEmpty(); }
    };

    TestCertificates();
    ~TestCertificates();
    TestCertificates(const TestCertificates &) = delete;
    TestCertificates &operator=(const TestCertificates &) = delete;

    // Makes the CA; false with errorString() when openssl is missing or fails.
    bool create();
    QString errorString() const { return m_error; }

    QByteArray caPem() const { return m_ca.certificatePem; }
    QString caFile() const { return m_ca.certificateFile; }

    // A server certificate signed by the CA, with commonName as its subject and
    // altNames as its subject alternative names ("DNS:localhost",
    // "IP:127.0.0.1"). Null on failure (errorString()).
    Issued issue(const QString &commonName, const QStringList &altNames);

    // Hands the key to user news, readable by it alone, as INN's nnrpd demands
    // before it will use it ("bad ownership or permissions on private key").
    bool giveKeyToNews(const Issued &issued);
    // inn.conf lines that make INN's reader offer TLS with issued.
    QStringList innConf(const Issued &issued) const;

private:
    bool openssl(const QStringList &arguments);
    QString path(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    Issued m_ca;
    int m_issued = 0;
    QString m_error;
};
