#include "tests/support/smalldisk.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QString kFiller = QStringLiteral(".filler");

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

SmallDisk::SmallDisk(const QString &size)
{
    if (!m_mountPoint.isValid()) {
        m_error = QStringLiteral("no temporary directory for the mount point");
        return;
    }
    const QByteArray options = "size=" + size.toLatin1() + ",mode=0755";
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_error = systemError("mounting a tmpfs (needs root)");
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

bool SmallDisk::makeReadOnly()
{
    if (!m_mounted)
        return false;
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        m_error = systemError("remounting the tmpfs read-only");
        return false;
    }
    return true;
}

qint64 SmallDisk::freeBytes() const
{
    struct statvfs figures
    {};
    if (::statvfs(QFile::encodeName(path()).constData(), &figures) != 0)
        return -1;
    return qint64(figures.f_bavail) * qint64(figures.f_frsize);
}

bool SmallDisk::fill(qint64 leaveBytes)
{
    const qint64 take = freeBytes() - leaveBytes;
    if (take <= 0) {
        m_error = QStringLiteral("less than %1 bytes are free already").arg(leaveBytes);
        return false;
    }
    const int fd = ::open(QFile::encodeName(filePath(kFiller)).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
        m_error = systemError("making the filler");
        return false;
    }
    // Allocated, not sparse: tmpfs counts only the pages a file really holds.
    const int rc = ::posix_fallocate(fd, 0, take);
    ::close(fd);
    if (rc != 0) {
        errno = rc;
        m_error = systemError("allocating the filler");
        return false;
    }
    return true;
}

void SmallDisk::release()
{
    QFile::remove(filePath(kFiller));
}
