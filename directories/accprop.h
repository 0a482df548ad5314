#pragma once
// "Account Properties" (`fmAccountProperty`): edits the current row of the
// data module's account row set `qryAccount`, which the caller has put into
// insert or edit mode. Result OK exactly when the row was stored (see
// PropertyDialog). The default-account rules run as the row is stored; they
// are the row set's own (AccountRules), installed here as well so that they
// hold wherever the dialog is used.

#include "directories/propertydialog.h"

class QLineEdit;

class TfmAccountProperty : public PropertyDialog
{
    Q_OBJECT
public:
    TfmAccountProperty(Tdm &dm, QWidget *parent = nullptr);

    // For the first-use check: appends a new account row (the row rules preset
    // it), shows the dialog on it and returns true when it was stored.
    bool runOnNewAccount();

protected:
    // The E-mail address must look like one.
    std::optional<FieldProblem> checkRow() override;

private:
    QLineEdit *m_email = nullptr;
};
