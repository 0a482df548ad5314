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
    const bool certificate = isCertificateQuestion(text);
    const bool yes = certificate ? m_answers.trustOnce : m_answers.yes;
    QString answer = yes ? QStringLiteral("Yes") : QStringLiteral("No");
    if (!yes)
        answer
            += certificate ? QStringLiteral(" (--trust-once connects anyway)") : QStringLiteral(" (--yes answers Yes)");
    writeLine(title, text + QStringLiteral(" -> ") + answer);
    return yes;
}

bool ConsoleUi::askPlainLogin(const QString &host, const QString &reply)
{
    const bool yes = m_answers.allowPlainLogin;
    writeLine(kQuestionTitle,
              plainLoginQuestion(host, reply) + QStringLiteral(" -> ")
                  + (yes ? QStringLiteral("Yes") : QStringLiteral("No (--allow-plain-login sends them)")));
    return yes;
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

bool ConsoleUi::askCertificate(const QString &host, const QString &reason)
{
    return ask(kQuestionTitle, untrustedCertificateQuestion(host, reason));
}

bool ConsoleUi::isCertificateQuestion(const QString &text)
{
    // Told apart by the fixed words around the host and the reason, taken from
    // the client's own question so that the two cannot drift apart.
    static const QString hostMark = QStringLiteral("\x01");
    static const QString reasonMark = QStringLiteral("\x02");
    static const QString pattern = untrustedCertificateQuestion(hostMark, reasonMark);
    static const QString before = pattern.section(hostMark, 0, 0);
    static const QString after = pattern.section(reasonMark, 1);
    return !before.isEmpty() && text.startsWith(before) && text.endsWith(after);
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
