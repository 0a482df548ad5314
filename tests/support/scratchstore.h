#pragma once
// A new empty store in a temporary directory, removed with the fixture.

#include <QString>
#include <QTemporaryDir>

class ScratchStore
{
public:
    ScratchStore();
    QString path() const { return m_dir.filePath(QStringLiteral("qa.mdb")); }
    QString dir() const { return m_dir.path(); }
    // Runs statements straight on the file, outside the program's connection.
    void exec(const QString &statements) const;
    // The rows of a query, each row's columns joined with "|", NULL shown as "NULL".
    QStringList rows(const QString &query) const;

private:
    QTemporaryDir m_dir;
};
