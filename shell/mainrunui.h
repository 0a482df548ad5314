#pragma once
// How a run started from the main window presents itself there: boxes and
// questions as message boxes over the window, progress in the status bar
// `stMain`, the hourglass while it runs.

#include "exchange/runui.h"

class TfmMain;

class MainRunUi : public RunUi
{
public:
    explicit MainRunUi(TfmMain &main)
        : m_main(main)
    {}
    ~MainRunUi() override;

    void showMessage(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    bool askPlainLogin(const QString &host, const QString &reply) override;
    void showStatus(int panel, const QString &text) override;
    void processEvents() override;
    void setBusy(bool busy) override;

private:
    TfmMain &m_main;
    bool m_busy = false;
};
