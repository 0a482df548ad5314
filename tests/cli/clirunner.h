#pragma once
// quorbic-cli run as a user runs it: in a working directory of its own (a
// temporary directory, removed with the fixture), with the test's environment.
// The store it works on is read and filled straight through SQL between runs.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

class CliRunner
{
public:
    struct Result
    {
        int exitCode = -1;
        bool crashed = false;
        QString out;
        QString err;
        QStringList outLines() const;
        QStringList errLines() const;
        // For failure messages: the exit code and both streams.
        QString describe() const;
    };

    CliRunner();

    QString dir() const { return m_dir.path(); }
    QString storePath() const { return m_dir.filePath(QStringLiteral("qa.mdb")); }

    // Runs the tool to its end with no input.
    Result run(const QStringList &args) const;
    // Starts the tool and returns at once; the caller waits for it.
    std::unique_ptr<QProcess> start(const QStringList &args) const;
    static Result resultOf(QProcess &process);

    // Statements separated by ";" on the store, committed.
    void exec(const QString &statements) const;
    // Rows of a query, columns joined with "|", NULL as "NULL".
    QStringList rows(const QString &query) const;
    QString value(const QString &query) const { return rows(query).value(0); }

    static QString quoted(const QString &text);

private:
    QTemporaryDir m_dir;
};
