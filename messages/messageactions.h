#pragma once
// The main window's message commands: New Question, Reply, Edit and Delete.
// New Question and Reply prepare a new row in the data module's edit row
// `qryArticleEdit` and hand it to an editor; Edit hands it an existing row in
// edit mode with `Folder` 2 in its buffer (stored only if the editor saves or
// posts); Delete moves a message with everything threaded below it to Deleted
// messages, deepest first, or deletes the rows for good there.
//
// Every command closes the edit row first, so a row an editor left unstored
// is dropped there. Store errors end the command and are shown in the
// standard error box; rows already moved or deleted by then stay so, and what
// was done is made durable. The editors' results are not looked at.
//
// When each command is enabled is the main window's to decide (New Question
// always, Reply with a selection in the Inbox, Edit with a selection
// elsewhere, Delete with a selection); Edit and Delete check again here.

#include <QObject>

class FirstUseCheck;
class MessageFolder;
class RowSet;
class TfmAccountProperty;
class TfmEditServer;
class TfmQuestion;
class TfmReply;
class Tdm;

class MessageActions : public QObject
{
    Q_OBJECT
public:
    struct Windows
    {
        TfmEditServer *fmEditServer;
        TfmAccountProperty *fmAccountProperty;
        TfmQuestion *fmQuestion;
        TfmReply *fmReply;
    };

    MessageActions(Tdm &dm, MessageFolder &folder, Windows windows, QObject *parent = nullptr);
    ~MessageActions() override;

    void acNewQuestionExecute();
    void acReplyExecute();
    void acEditExecute();
    void acDeleteExecute();

    static QString noSelectionText();
    static QString deleteQuestion();

private:
    void newQuestion();
    void reply();
    void edit();
    void remove();
    // Opens the edit row on the code (0: no row, for appending).
    RowSet &openEditRow(int code);
    void moveToDeleted(int code);
    void deleteForGood(int code);

    Tdm &m_dm;
    MessageFolder &m_folder;
    Windows m_windows;
    FirstUseCheck *m_firstUse;
};
