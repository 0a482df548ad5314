#pragma once
// The loading window `fmRecNewsgroup`: shown modally once per news server while
// the list loader works on that server, with the running count, the name being
// handled and Abort. It is made once and reused for every server; the count is
// not cleared between servers.
//
// The server's work runs once the window is on screen and the window closes by
// itself afterwards, unless the work ended in a failure it has shown: then it
// stays until the user closes it. Abort (`BitBtn1`, also Esc) stops the current
// server's list; the close box does not stop it, it only lets the window close
// once the work is over.

#include "exchange/listloadview.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TfmRecNewsgroup : public QDialog, public ListLoadView
{
    Q_OBJECT
public:
    explicit TfmRecNewsgroup(QWidget *parent = nullptr);
    ~TfmRecNewsgroup() override;

    void runServer(const std::function<bool()> &opening, const std::function<void()> &abort) override;
    void setCaption(const QString &caption) override;
    void showCount(int count) override;
    void showGroupName(const QString &name) override;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void BitBtn1Click();

    QLabel *m_lbCount;
    QLabel *m_label2;
    QPushButton *m_bitBtn1;
    std::function<bool()> m_opening;
    std::function<void()> m_abort;
    bool m_working = false;
    bool m_closeWhenDone = false;
};
