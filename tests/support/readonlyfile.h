#pragma once
// Makes an existing file refuse every write while the object lives, root's
// writes included: mode 0444, and for root, whom the mode does not stop, the
// immutable attribute or, on a file system without it, a read-only bind mount
// of the file onto itself. The directory stays writable, as a user's data
// directory would be. The destructor gives the file its writes back.

#include <QString>

class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(QString path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    // Checked by opening the file for writing, as this process.
    bool refusesWrites() const;
    // How the file was made read-only, or why it could not be (for QSKIP).
    QString how() const { return m_how; }

    // Gives the file its writes back now.
    void restore();

private:
    bool setImmutable(bool on);

    QString m_path;
    QString m_how;
    bool m_immutable = false;
    bool m_bindMounted = false;
    bool m_modeChanged = false;
};
