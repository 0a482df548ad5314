#pragma once
// The question editor `fmQuestion` ("Question"): the expert category the
// question goes to (chosen through the category chooser, never typed), the
// account it is sent from, its subject and its body, on the edit row the
// message commands prepared. See MessageEditor for what both editors share.
//
// Opening loads the body from the row; a new row (appended, not yet stored)
// gets the default account, or the account the list stands on when none is
// the default. Post checks the category, the account, the subject and the body.

#include "messages/messageeditor.h"

#include <functional>

class QPushButton;

class TfmQuestion : public MessageEditor
{
    Q_OBJECT
public:
    // The category chooser: given the preselected code (0 for none), returns
    // -1 when cancelled or nothing was chosen, 0 for the root, otherwise the
    // chosen node's code, with path set to its path text.
    using CategoryChooser = std::function<int(QString &path, int preselected)>;

    TfmQuestion(Tdm &dm, FolderView &folders, CategoryChooser chooser, QWidget *parent = nullptr);

    QLineEdit *categoryPath() const { return m_dbeTo; }
    QPushButton *categoryButton() const { return m_button1; }

    // The "..." button: a chosen folder or category (code above 0) is taken.
    void Button1Click();

protected:
    void openRow() override;
    PostChecks::Failure check(const PostChecks::Message &message) const override;
    QWidget *fieldFor(PostChecks::Field field) const override;

private:
    CategoryChooser m_chooser;
    QLineEdit *m_dbeTo;
    QPushButton *m_button1;
};
