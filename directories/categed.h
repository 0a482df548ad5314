#pragma once
// The category name dialog (`fmCategoryEdit`, "Categories"): edits `Name` of
// the current row of the manager's category row set, which the caller has put
// into insert or edit mode, and set the caption and label for. OK refuses an
// empty name with the "Warning" box, asks before storing a name that a sibling
// already has, and otherwise stores the row (a name of blanks only passes);
// the result is OK exactly when the row was stored (see PropertyDialog).

#include "directories/propertydialog.h"

class QLabel;
class QLineEdit;

class TfmCategoryEdit : public PropertyDialog
{
    Q_OBJECT
public:
    TfmCategoryEdit(Tdm &dm, RowSet &tbCategory, QWidget *parent = nullptr);

    void setTexts(const QString &caption, const QString &label);

protected:
    // An empty name is reported as the category's or the folder's, by Kind.
    std::optional<FieldProblem> checkRow() override;
    // A second category or folder of the same name under the same parent is
    // stored only when the user says so.
    bool confirmRow() override;

private:
    QLabel *m_label;
    QLineEdit *m_name;
};
