#pragma once
// How the list loader talks to the user while the Newsgroups dialog runs it:
// boxes over whichever modal window is in front (the loading window during a
// server's work), progress in the dialog's status bar, and events let run so
// that the windows repaint and Abort is seen.

#include "exchange/runui.h"

class QLabel;
class QWidget;

class NewsgroupRunUi : public RunUi
{
public:
    NewsgroupRunUi(QWidget *owner, QLabel *status)
        : m_owner(owner)
        , m_status(status)
    {}

    void showMessage(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    bool askPlainLogin(const QString &host, const QString &reply) override;
    // Panel 0 is the status bar's one text; the dialog has no second panel.
    void showStatus(int panel, const QString &text) override;
    void processEvents() override;

private:
    QWidget *boxOwner() const;

    QWidget *m_owner;
    QLabel *m_status;
};
