#pragma once
// "Accounts" (`fmAccount`): the list of the rows of the data module's account
// row set `qryAccount`, showing `AccountName`, with Add, Properties and Remove.
// The list keeps the row set's order; the row set reads the accounts in name
// order.
//
// It owns its properties dialog, which the first-use check of New Question
// also opens on a new row: accountProperty().runOnNewAccount().

#include "directories/directorylist.h"

class TfmAccountProperty;

class TfmAccount : public DirectoryList
{
    Q_OBJECT
public:
    TfmAccount(Tdm &dm, QWidget *parent = nullptr);

    TfmAccountProperty &accountProperty() { return *m_fmAccountProperty; }

protected:
    void acAddExecute() override;
    void acEditExecute() override;
    // Asks, then deletes the current row of Account; messages keep its code.
    void acDeleteExecute() override;
    void showEvent(QShowEvent *event) override;

private:
    TfmAccountProperty *m_fmAccountProperty;
    bool m_centred = false;
};
