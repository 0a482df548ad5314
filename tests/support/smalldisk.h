#pragma once
// A small tmpfs mounted on a temporary directory, for stores that run out of
// room or lie on a read-only medium. Mounting needs root (CAP_SYS_ADMIN);
// where the machine refuses, isMounted() is false and errorString() says why,
// so that the test can skip. The destructor detaches the mount, so a failed
// test leaves nothing mounted behind.

#include <QString>
#include <QTemporaryDir>

class SmallDisk
{
public:
    // size: tmpfs's size option, e.g. "2m".
    explicit SmallDisk(const QString &size);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString errorString() const { return m_error; }
    QString path() const { return m_mountPoint.path(); }
    QString filePath(const QString &name) const { return m_mountPoint.filePath(name); }

    // Remounts the disk read-only; false with errorString() when refused.
    bool makeReadOnly();
    // Takes the free room, all but about leaveBytes (whole pages), with a file
    // of its own; false with errorString() when it cannot.
    bool fill(qint64 leaveBytes);
    // Gives the room taken by fill() back.
    void release();
    qint64 freeBytes() const;

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    QString m_error;
};
