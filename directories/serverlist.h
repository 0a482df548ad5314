#pragma once
// "News Servers" (`fmServer`): the list of the rows of `Servers` in the server
// row set's order, showing `ProfileName`, with Add, Edit and Delete. It works
// on the data module's `tbServer`, whose current row is the selected server.
//
// It owns its properties dialog, which the first-use check of New Question
// also opens on a new row: editServer().runOnNewServer().

#include "directories/directorylist.h"

class TfmEditServer;

class TfmServer : public DirectoryList
{
    Q_OBJECT
public:
    TfmServer(Tdm &dm, QWidget *parent = nullptr);

    TfmEditServer &editServer() { return *m_fmEditServer; }

protected:
    // A new row with RequiresLogin and IsProxy false and Port 119, in the dialog.
    void acAddExecute() override;
    void acEditExecute() override;
    // Asks, then deletes the current row of Servers and nothing else.
    void acDeleteExecute() override;

private:
    TfmEditServer *m_fmEditServer;
};
