#include "cli/consoleui.h"

#include "cli/interrupt.h"
#include "transport/newsclient.h"

#include <QTextStream>

namespace {

const QString kQuestionTitle = QStringLiteral("Warning");

} // namespace

ConsoleUi::ConsoleUi(QTextStream &err, Answers answers)
    : m_err(err)
    , m_answers(answers)
{}

void ConsoleUi::showMessage(const QString &title, const QString &text, Icon icon)
{
    if (icon == Icon::Error)
        ++m_errorBoxes;
    writeLine(title, text);
}

bool ConsoleUi::ask(const QString &title, const QString &text)
{
    return answer(title, text, m_answers.yes, QStringLiteral(" (--yes answers Yes)"));
}

void ConsoleUi::showStatus(int panel, const QString &text)
{
    if (panel != 0)
        return;
    m_lastStatus = text;
    if (m_busy) {
        m_err << text << "\n";
        m_err.flush();
    }
}

void ConsoleUi::processEvents()
{
    if (Interrupt::requested() && m_onInterrupt)
        m_onInterrupt();
}

bool ConsoleUi::trustCertificate(const QString &host, const QString &reason)
{
    return answer(kQuestionTitle, untrustedCertificateQuestion(host, reason), m_answers.trustOnce,
                  QStringLiteral(" (--trust-once connects anyway)"));
}

bool ConsoleUi::answer(const QString &title, const QString &question, bool yes, const QString &hintForNo)
{
    writeLine(title, question + QStringLiteral(" -> ") + (yes ? QStringLiteral("Yes") : QStringLiteral("No") + hintForNo));
    return yes;
}

void ConsoleUi::writeLine(const QString &title, const QString &text)
{
    // A box's text may hold line breaks (a socket error's description): the
    // lines after the first are indented so they read as one report.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    const QString first = lines.takeFirst();
    m_err << title << ":" << (first.startsWith(QLatin1Char(' ')) ? "" : " ") << first << "\n";
    for (const QString &line : lines)
        m_err << "    " << line << "\n";
    m_err.flush();
}
