#include "tests/support/readonlyfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

ReadOnlyFile::ReadOnlyFile(QString path)
    : m_path(std::move(path))
{
    const QByteArray name = QFile::encodeName(m_path);
    if (::chmod(name.constData(), 0444) != 0) {
        m_how = QStringLiteral("chmod: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_modeChanged = true;
    m_how = QStringLiteral("mode 0444");
    if (refusesWrites())
        return;
    if (setImmutable(true)) {
        m_immutable = true;
        m_how = QStringLiteral("immutable attribute");
        if (refusesWrites())
            return;
    }
    if (::mount(name.constData(), name.constData(), nullptr, MS_BIND, nullptr) == 0) {
        m_bindMounted = true;
        if (::mount(nullptr, name.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) {
            m_how = QStringLiteral("read-only bind mount");
            if (refusesWrites())
                return;
        }
    }
    m_how = QStringLiteral("neither mode 0444, the immutable attribute nor a read-only bind mount stops "
                           "this process from writing %1")
                .arg(m_path);
}

ReadOnlyFile::~ReadOnlyFile()
{
    restore();
}

void ReadOnlyFile::restore()
{
    const QByteArray name = QFile::encodeName(m_path);
    if (m_bindMounted)
        ::umount2(name.constData(), MNT_DETACH);
    m_bindMounted = false;
    if (m_immutable)
        setImmutable(false);
    m_immutable = false;
    if (m_modeChanged)
        ::chmod(name.constData(), 0644);
    m_modeChanged = false;
}

bool ReadOnlyFile::refusesWrites() const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

bool ReadOnlyFile::setImmutable(bool on)
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
