#pragma once
// The runs' interface on a terminal or in a schedule: boxes and questions go
// to standard error as lines, questions are answered at once from the command
// line's flags and never wait for input, and progress lines are written while
// a run reports itself busy.
//
// Questions: the question about a server certificate that failed verification
// is answered by --trust-once (No without it), whoever asks it; every other
// question by --yes (No without it).

#include "exchange/runui.h"

#include <functional>

class QTextStream;

class ConsoleUi : public RunUi
{
public:
    struct Answers
    {
        bool yes = false;
        bool trustOnce = false;
    };

    ConsoleUi(QTextStream &err, Answers answers);

    void showMessage(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    // Panel 0 is written as a line while busy; panel 1 (a running count or
    // index) is not: a line per overview line would drown the rest.
    void showStatus(int panel, const QString &text) override;
    // Sees a Ctrl+C: calls the interrupt handler, each time until the run ends.
    void processEvents() override;
    void setBusy(bool busy) override { m_busy = busy; }

    bool trustCertificate(const QString &host, const QString &reason) override;

    void setOnInterrupt(std::function<void()> handler) { m_onInterrupt = std::move(handler); }

    // Boxes shown with the error icon: each is an error the run met.
    int errorBoxes() const { return m_errorBoxes; }
    // The last panel-0 text (a retrieval's count when it has ended).
    const QString &lastStatus() const { return m_lastStatus; }

private:
    // Writes the question with the answer given, and gives it.
    bool answer(const QString &title, const QString &question, bool yes, const QString &hintForNo);
    void writeLine(const QString &title, const QString &text);

    QTextStream &m_err;
    Answers m_answers;
    std::function<void()> m_onInterrupt;
    bool m_busy = false;
    int m_errorBoxes = 0;
    QString m_lastStatus;
};
