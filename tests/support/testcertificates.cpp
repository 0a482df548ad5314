#include "tests/support/testcertificates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Elliptic-curve keys: made at once, where RSA keys take a noticeable while.
const QStringList newKey{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace

TestCertificates::TestCertificates() = default;

TestCertificates::~TestCertificates() = default;

QString TestCertificates::path(const QString &name) const
{
    return m_dir->filePath(name);
}

bool TestCertificates::openssl(const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("openssl is missing: run scripts/install-deps.sh --test as root");
        return false;
    }
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("openssl %1 failed: %2")
                      .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool TestCertificates::create()
{
    // /dev/shm like the INN fixture: searchable by everyone, as every directory
    // above a key that user news is to read must be.
    const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/quorbic-tls-XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("cannot make a temporary directory in %1").arg(base);
        return false;
    }
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
    m_ca.certificateFile = path(QStringLiteral("ca.pem"));
    m_ca.keyFile = path(QStringLiteral("ca.key"));
    if (!openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey
                 + QStringList{QStringLiteral("-keyout"), m_ca.keyFile, QStringLiteral("-out"), m_ca.certificateFile,
                               QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                               QStringLiteral("/CN=Quorbic Test CA"), QStringLiteral("-addext"),
                               QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                               QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}))
        return false;
    m_ca.certificatePem = readFile(m_ca.certificateFile);
    m_ca.keyPem = readFile(m_ca.keyFile);
    return !m_ca.isNull();
}

TestCertificates::Issued TestCertificates::issue(const QString &commonName, const QStringList &altNames)
{
    if (!m_dir || m_ca.isNull()) {
        m_error = QStringLiteral("TestCertificates::create has not succeeded");
        return {};
    }
    const QString base = QStringLiteral("server%1").arg(++m_issued);
    Issued issued;
    issued.certificateFile = path(base + QStringLiteral(".pem"));
    issued.keyFile = path(base + QStringLiteral(".key"));
    const QString request = path(base + QStringLiteral(".csr"));
    const QString extensions = path(base + QStringLiteral(".ext"));
    const QByteArray extensionText = "subjectAltName=" + altNames.join(QLatin1Char(',')).toUtf8()
        + "\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
          "extendedKeyUsage=serverAuth\n";
    if (!writeFile(extensions, extensionText)) {
        m_error = QStringLiteral("cannot write %1").arg(extensions);
        return {};
    }
    if (!openssl(QStringList{QStringLiteral("req"), QStringLiteral("-new")} + newKey
                 + QStringList{QStringLiteral("-keyout"), issued.keyFile, QStringLiteral("-out"), request,
                               QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName})
        || !openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
                     QStringLiteral("-CA"), m_ca.certificateFile, QStringLiteral("-CAkey"), m_ca.keyFile,
                     QStringLiteral("-set_serial"), QString::number(1000 + m_issued), QStringLiteral("-days"),
                     QStringLiteral("2"), QStringLiteral("-extfile"), extensions, QStringLiteral("-out"),
                     issued.certificateFile}))
        return {};
    issued.certificatePem = readFile(issued.certificateFile);
    issued.keyPem = readFile(issued.keyFile);
    return issued;
}

bool TestCertificates::giveKeyToNews(const Issued &issued)
{
    const passwd *news = ::getpwnam("news");
    const QByteArray key = QFile::encodeName(issued.keyFile);
    if (!news || ::chown(key.constData(), news->pw_uid, news->pw_gid) != 0 || ::chmod(key.constData(), 0600) != 0) {
        m_error = QStringLiteral("cannot hand %1 to user news (the tests must run as root)").arg(issued.keyFile);
        return false;
    }
    ::chmod(QFile::encodeName(issued.certificateFile).constData(), 0644);
    ::chmod(QFile::encodeName(m_ca.certificateFile).constData(), 0644);
    return true;
}

QStringList TestCertificates::innConf(const Issued &issued) const
{
    return {QStringLiteral("tlscertfile: ") + issued.certificateFile, QStringLiteral("tlskeyfile: ") + issued.keyFile,
            QStringLiteral("tlscafile: ") + m_ca.certificateFile};
}
