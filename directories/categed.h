#pragma once
// The category name dialog (`fmCategoryEdit`, "Categories"): edits `Name` of
// the current row of the manager's category row set, which the caller has put
// into insert or edit mode, and set the caption and label for. OK refuses an
// empty name with the "Warning" box, asks before storing a name that a sibling
// already has, and otherwise stores the row (a name of blanks only passes);
// the result is OK exactly when the row was stored (see PropertyDialog).
//
// For an expert category it also shows "Post as one cross-post", the
// category's posting mode (CategoryPosting), stored with the row: checked for
// a new category, as kept for an existing one (a category without a row posts
// one copy per group). Folders, and stores without the table, do not show it.

#include "directories/propertydialog.h"

#include <memory>

class CategoryPosting;
class QCheckBox;
class QLabel;
class QLineEdit;

class TfmCategoryEdit : public PropertyDialog
{
    Q_OBJECT
public:
    TfmCategoryEdit(Tdm &dm, RowSet &tbCategory, QWidget *parent = nullptr);
    ~TfmCategoryEdit() override;

    void setTexts(const QString &caption, const QString &label);
    QCheckBox *cbCrossPost() const { return m_crossPost; }

protected:
    void rowShown() override;
    void rowStored() override;

protected:
    // An empty name is reported as the category's or the folder's, by Kind.
    std::optional<FieldProblem> checkRow() override;
    // A second category or folder of the same name under the same parent is
    // stored only when the user says so.
    bool confirmRow() override;

private:
    QCheckBox *m_crossPost;
    std::unique_ptr<CategoryPosting> m_modes;
    QLabel *m_label;
    QLineEdit *m_name;
};
