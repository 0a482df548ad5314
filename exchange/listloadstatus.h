#pragma once
// The loading window without a window, for quorbic-cli and tests: each server's
// work runs at once, the caption goes to status panel 0 and the running count to
// panel 1 of a RunUi. Nothing stays open after a failure (the failure itself has
// been shown through the RunUi), and there is no Abort.

#include "exchange/listloadview.h"

class RunUi;

class ListLoadStatus : public ListLoadView
{
public:
    explicit ListLoadStatus(RunUi &ui)
        : m_ui(ui)
    {}

    void runServer(const std::function<bool()> &opening, const std::function<void()> &abort) override;
    void setCaption(const QString &caption) override;
    void showCount(int count) override;
    void showGroupName(const QString &name) override;
    // Panel 0, after the caption.
    void showSkipped(int count) override;

private:
    RunUi &m_ui;
};
