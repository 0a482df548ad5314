#include "tests/cli/clirunner.h"

#include "tests/support/scratchstore.h"

#include <QProcess>

namespace {

constexpr int kRunTimeoutMs = 240000;

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
    ScratchStore::execOn(storePath(), statements);
}

QStringList CliRunner::rows(const QString &query) const
{
    return ScratchStore::rowsOf(storePath(), query);
}

QString CliRunner::quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}
