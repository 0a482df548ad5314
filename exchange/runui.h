#pragma once
// What a run on the news servers asks of whoever drives it: a window, the
// command-line tool or a test. The runs decide; this only presents and asks.
//
// Every call happens on the thread that runs the run, between its steps.

#include <QString>

class RunUi
{
public:
    enum class Icon { Information, Warning, Error };

    virtual ~RunUi() = default;

    // A modal box with an OK button; returns once it is dismissed.
    virtual void showMessage(const QString &title, const QString &text, Icon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString &title, const QString &text) = 0;
    // Whether to connect to host although its certificate failed verification
    // for reason. A window asks the Yes/No question "Warning" with the news
    // client's wording; the tool answers from its command line.
    virtual bool trustCertificate(const QString &host, const QString &reason);
    // Progress of the run: panel 0 the text, panel 1 a count or index.
    virtual void showStatus(int panel, const QString &text) = 0;
    // Lets pending window events run: repaints, and clicks on Abort. A window
    // processes its event queue; the tool and tests may do nothing.
    virtual void processEvents() = 0;
    // The hourglass: true while a run that blocks its window goes on, false
    // once it has ended (also when it ended by a failure).
    virtual void setBusy(bool busy) { Q_UNUSED(busy); }
};
