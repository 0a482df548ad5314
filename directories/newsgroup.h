#pragma once
// The Newsgroups dialog `fmNewsgroup`: browses the groups of the store, filters
// them by a part of their name, and refreshes them from every news server with
// "Update List" (the list loader of exchange/, shown in the loading window).
//
// The dialog decides what the refresh leaves behind. Opening commits the store's
// transaction, so that Cancel, which rolls back, undoes exactly what was written
// while the dialog was open; OK commits; every way of closing frees the set of
// known names and commits (after Cancel nothing is left to commit). While it is
// open the other commands' checkpoints are held off, so that nothing commits
// behind the dialog's back.
//
// Opened by the main window (Tools, "Newsgroups...") with exec(); the result is
// not examined. Errors of the store are shown in the standard error box.

#include <QDialog>
#include <functional>
#include <memory>

class NewsgroupListLoader;
class NewsgroupListModel;
class NewsgroupRunUi;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;
class RowSet;
class Tdm;
class TfmRecNewsgroup;

class TfmNewsgroup : public QDialog
{
    Q_OBJECT
public:
    explicit TfmNewsgroup(Tdm &dm, QWidget *parent = nullptr);
    ~TfmNewsgroup() override;
    // The loading window `fmRecNewsgroup`, made with the dialog.
    TfmRecNewsgroup &recNewsgroup() const { return *m_fmRecNewsgroup; }

    // The dial-up check asked before each server (true: go on line); by default
    // the system's.
    void setDialUpCheck(std::function<bool()> check) { m_dialUpCheck = std::move(check); }

    // The filtered group list `qryNewsgroup`, in name order.
    RowSet &qryNewsgroup() { return *m_qryNewsgroup; }
    NewsgroupListModel &listModel() { return *m_model; }
    // The loader with the known names `GroupNames`: exists while the dialog is open.
    NewsgroupListLoader *loader() const { return m_loader.get(); }

    void accept() override; // Enter: OK
    void reject() override; // Esc: Cancel
    void done(int result) override;

public Q_SLOTS:
    void btnOkClick();
    void btnCancelClick();
    void btnUpdateClick();
    void edFilterChange();
    void tmrFilterTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormActivate();
    void FormClose();
    void filterTimerFired();

    Tdm &m_dm;
    std::unique_ptr<RowSet> m_qryNewsgroup;
    NewsgroupListModel *m_model = nullptr;
    QLineEdit *m_edFilter = nullptr;
    QTreeView *m_allList = nullptr;
    QPushButton *m_btnOk = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QPushButton *m_btnUpdate = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_tmrFilter = nullptr;
    TfmRecNewsgroup *m_fmRecNewsgroup = nullptr;
    std::unique_ptr<NewsgroupRunUi> m_ui;
    std::unique_ptr<NewsgroupListLoader> m_loader;
    std::function<bool()> m_dialUpCheck;
    // Between the steps of Update List the dialog lets events run; its own
    // commands wait until the refresh is over.
    bool m_updating = false;
};
