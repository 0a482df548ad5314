#pragma once
// The common part of the list windows of news servers and accounts: a
// read-only one-column list over a row set of the data module, whose current
// row is the row set's current row, and three commands offered by buttons at
// the right and by the list's context menu:
// - `acAdd` (Insert), always enabled;
// - `acEdit` (Enter through the default button, double-click on the list) and
//   `acDelete` (Delete), enabled while the current row's `Code` is above 0.
// The enable rules are evaluated again whenever the current row changes and
// after every command, which is whenever their outcome can change. A disabled
// command does nothing, whatever triggers it. "&Close" (and Esc) ends the window.
//
// Errors of a command end it and are shown in the standard error box.

#include <QDialog>

class QAction;
class QPushButton;
class QTreeView;
class RowSet;
class RowSetColumnModel;
class Tdm;

class DirectoryList : public QDialog
{
    Q_OBJECT
public:
    struct Texts
    {
        QString columnTitle;
        QString addCaption, editCaption, deleteCaption; // padded beside their glyphs
        QString addHint, editHint, deleteHint;
    };

    DirectoryList(Tdm &dm, RowSet &rows, const QString &column, const Texts &texts, QWidget *parent);

    QAction *acAdd() const { return m_acAdd; }
    QAction *acEdit() const { return m_acEdit; }
    QAction *acDelete() const { return m_acDelete; }
    QTreeView *list() const { return m_list; }

protected:
    virtual void acAddExecute() = 0;
    virtual void acEditExecute() = 0;
    virtual void acDeleteExecute() = 0;

    Tdm &dm() { return m_dm; }
    RowSet &rows() { return m_rows; }
    // Shows the rows again with the row set's current row selected, and
    // evaluates the enable rules.
    void refresh();
    // True while the current row is a stored one (`Code` above 0).
    bool currentRowStored() const;

    void showEvent(QShowEvent *event) override;

private:
    QAction *makeAction(const char *name, const QString &caption, const QString &hint, const QIcon &icon);
    QPushButton *makeButton(QAction *action, const char *name);
    void runCommand(void (DirectoryList::*command)(), bool needsStoredRow);
    void acEditUpdate();
    void acDeleteUpdate();
    void currentChanged();

    Tdm &m_dm;
    RowSet &m_rows;
    RowSetColumnModel *m_model;
    QTreeView *m_list;
    QAction *m_acAdd;
    QAction *m_acEdit;
    QAction *m_acDelete;
    bool m_refreshing = false;
};
