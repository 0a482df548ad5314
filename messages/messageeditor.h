#pragma once
// What the question editor and the reply editor share: the edit row they work
// on (the data module's `qryArticleEdit`, prepared by the message commands),
// the account chooser over the account list `qryAccount1`, the subject, the
// body `reQuestion`, the commands with their menus and tool bar, the modified
// flag, and Save, Post and closing.
//
// Bound fields write into the row as the user types, so the row always holds
// what the window shows; a field the user never touched keeps the row's value.
// The body is copied into `Body` by Save and Post.
//
// The modified flag is set by the user's changes to the body, the subject, the
// category and the account; it is clear after opening (loading the body does
// not count as a change), after Save and after Post. Closing asks whether to
// save only while it is set.
//
// Save stores the row without checks, puts it back into edit mode and keeps
// the window open; Post checks the row, stores it in the Outbox with its
// sender and date and closes the window. Both make the store durable and bring
// the main window's tree up to date. A store error is shown in the standard
// error box and leaves the window open, with the row unstored.

#include "messages/editorhelp.h"
#include "messages/postchecks.h"

#include <QDialog>

class EditCommands;
class FolderView;
class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class RowSet;
class Tdm;

class MessageEditor : public QDialog
{
    Q_OBJECT
public:
    ~MessageEditor() override;

    RowSet &editRow() const;
    bool modified() const { return m_modified; }

    QPlainTextEdit *body() const { return m_reQuestion; }
    QLineEdit *subject() const { return m_dbeSubject; }
    QComboBox *accountChooser() const { return m_account; }

    QAction *Send;
    QAction *acSave;
    QAction *acClose;
    QAction *acUndo;
    QAction *acRedo;
    EditCommands *editCommands() const { return m_edit; }
    // The Help menu; the program gives it the help window and the About box.
    EditorHelp *help() const { return m_help; }

    // Save: stores the row as it is; true when it was stored.
    bool acSaveExecute();
    // Post: the checks, then the row into the Outbox and the window closed.
    void SendExecute();
    // The close box, Esc and Close: asks first while the message is modified.
    void reject() override;

protected:
    // postHint is the Post command's hint, which differs between the editors;
    // helpSection the manual's section on the editor.
    MessageEditor(Tdm &dm, FolderView &folders, const char *name, const char *caption, const char *accountName,
                  const QString &postHint, const QString &helpSection, QWidget *parent);

    // The grid of labelled fields above the body; row 0 is the subclass's own,
    // rows 1 and 2 are "From:" and "Subject:".
    QGridLayout *fields() const { return m_fields; }
    // A label for a field, announcing the field to screen readers.
    QLabel *fieldLabel(const char *caption, QWidget *field);
    void setModified() { m_modified = true; }
    Tdm &dm() const { return m_dm; }

    // The editor's own part of opening, before the common fields are loaded.
    virtual void openRow() = 0;
    // The failure of the editor's checks for the row as it stands.
    virtual PostChecks::Failure check(const PostChecks::Message &message) const = 0;
    virtual QWidget *fieldFor(PostChecks::Field field) const;
    // Puts the account list on the default account and the row's Account on
    // the code of the row the list then stands on (nothing with no accounts).
    void takeDefaultAccount();
    // Puts text into the body without counting it as a change of the user's.
    void loadBody(const QString &text);

    void showEvent(QShowEvent *event) override;

private:
    void buildCommands(const QString &postHint);
    void buildMenus();
    void buildToolBar(QToolBar *bar);
    void opening();
    void loadAccounts();
    void dbeSubjectChange(const QString &text);
    void accountChosen(int index);
    void bodyChange();
    void updateUndoRedo();
    void writeBody();

    Tdm &m_dm;
    FolderView &m_folders;
    EditCommands *m_edit;
    EditorHelp *m_help;
    QGridLayout *m_fields;
    QComboBox *m_account;
    QLineEdit *m_dbeSubject;
    QPlainTextEdit *m_reQuestion;
    bool m_modified = false;
    bool m_loading = false;
};
