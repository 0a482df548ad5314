#pragma once
// The posting window fmSendGroup: shown modally by the main window's Post
// command, it runs the posting run each time it is shown and presents it: one
// bold row per message with its newsgroups below, each with a mark and a
// result, and btnAbort, which reads "Abort" during the run and "Close" after
// the first message. A click on it stops the run where it next lets events
// run and then ends the window with the result Abort; closing the window
// during the run does the same. With no error the window closes by itself.

#include "exchange/postingview.h"
#include "exchange/runui.h"

#include <QDialog>
#include <QIcon>
#include <QList>

#include <memory>

class FolderView;
class PostingRun;
class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class Tdm;

class TfmSendGroup : public QDialog, public RunUi, public PostingView
{
    Q_OBJECT
public:
    // The result of exec() after Abort.
    static constexpr int Abort = 3;

    TfmSendGroup(Tdm &dm, FolderView &folders, QWidget *parent = nullptr);
    ~TfmSendGroup() override;

    PostingRun &run() { return *m_run; }

    QTreeWidget *SendTree() const { return m_sendTree; }
    QPushButton *btnAbort() const { return m_btnAbort; }
    QAction *HelpContents1() const { return m_helpContents; }

    // RunUi
    void showMessage(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    void showStatus(int panel, const QString &text) override;
    void processEvents() override;

    // PostingView
    void clearRows() override;
    int addMessageRow(const QString &subject) override;
    int addGroupRow(int messageRow, const QString &group) override;
    void setRowMark(int row, Mark mark) override;
    void setRowResult(int row, const QString &text) override;
    void setButtonCaption(const QString &caption) override;
    void focusButton() override;
    void requestClose() override;

public Q_SLOTS:
    void FormActivate();
    void btnAbortClick();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<PostingRun> m_run;
    QTreeWidget *m_sendTree = nullptr;
    QPushButton *m_btnAbort = nullptr;
    QAction *m_helpContents = nullptr;
    QIcon m_imageList1[2];
    QList<QTreeWidgetItem *> m_rows;
    bool m_running = false;
    bool m_abortClicked = false;
};
