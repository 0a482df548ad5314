#pragma once
// What the benchmark programs share: failing with a message, and a fresh copy
// of a template store for each timed round.

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Ends the benchmark: its figures would mean nothing.
[[noreturn]] inline void fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(1);
}

// A copy of the template store as qa.mdb in a temporary directory below
// directory (the disk an installed program would use), removed with it.
class StoreCopy
{
public:
    StoreCopy(const QString &templatePath, const QString &directory)
        : m_dir(directory + QStringLiteral("/quorbic-bench-XXXXXX"))
    {
        if (!QFile::copy(templatePath, path()))
            fail(QStringLiteral("cannot copy the store to %1").arg(path()));
    }
    QString path() const { return m_dir.filePath(QStringLiteral("qa.mdb")); }

private:
    QTemporaryDir m_dir;
};
