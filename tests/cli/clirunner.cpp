#include "tests/cli/clirunner.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace {

constexpr int kRunTimeoutMs = 240000;

template<typename Fn>
void withStore(const QString &path, Fn fn)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            qFatal("cli store: %s", qPrintable(db.lastError().text()));
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

QStringList CliRunner::Result::outLines() const
{
    return splitLines(out);
}

QStringList CliRunner::Result::errLines() const
{
    return splitLines(err);
}

QString CliRunner::Result::describe() const
{
    return QStringLiteral("exit %1%2\n--- stdout:\n%3--- stderr:\n%4")
        .arg(exitCode)
        .arg(crashed ? QStringLiteral(" (crashed)") : QString(), out, err);
}

CliRunner::CliRunner()
{
    if (!m_dir.isValid())
        qFatal("cli runner: no temporary directory");
}

std::unique_ptr<QProcess> CliRunner::start(const QStringList &args) const
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(dir());
    process->setProgram(QStringLiteral(QUORBIC_CLI));
    process->setArguments(args);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    return process;
}

CliRunner::Result CliRunner::resultOf(QProcess &process)
{
    Result result;
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

CliRunner::Result CliRunner::run(const QStringList &args) const
{
    std::unique_ptr<QProcess> process = start(args);
    if (!process->waitForFinished(kRunTimeoutMs)) {
        process->kill();
        process->waitForFinished();
        Result result = resultOf(*process);
        result.crashed = true;
        result.err += QStringLiteral("\n(quorbic-cli did not finish and was killed)");
        return result;
    }
    return resultOf(*process);
}

void CliRunner::exec(const QString &statements) const
{
    withStore(storePath(), [&](QSqlDatabase &db) {
        for (const QString &statement : statements.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (statement.trimmed().isEmpty())
                continue;
            QSqlQuery q(db);
            if (!q.exec(statement))
                qFatal("cli store: %s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        }
    });
}

QStringList CliRunner::rows(const QString &query) const
{
    QStringList result;
    withStore(storePath(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(query))
            qFatal("cli store: %s: %s", qPrintable(query), qPrintable(q.lastError().text()));
        while (q.next()) {
            QStringList columns;
            for (int i = 0; i < q.record().count(); ++i)
                columns << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            result << columns.join(QLatin1Char('|'));
        }
    });
    return result;
}

QString CliRunner::quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}
