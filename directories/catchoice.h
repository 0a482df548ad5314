#pragma once
// "Choose  Expert Category" (`fmCategChoice`): the category tree, read only,
// through which the question editor files a question under a node. Made once
// and reused; the tree is loaded afresh at every showing from the dialog's own
// category row set, so changes made in the manager appear at the next use.
// The dialog writes nothing to the store.

#include <QDialog>
#include <memory>

class CategoryTreeView;
class QAction;
class QLineEdit;
class QModelIndex;
class QPushButton;
class RowSet;
class Tdm;

class TfmCategChoice : public QDialog
{
    Q_OBJECT
public:
    explicit TfmCategChoice(Tdm &dm, QWidget *parent = nullptr);
    ~TfmCategChoice() override;

    // Shows the dialog with the node of the preselected code selected (0: none).
    // Returns -1 when the user cancelled or closed it with no node selected,
    // leaving path as it was; otherwise the selected node's code (0 for the
    // root "All", a folder's or a category's `Code`) with path set to the
    // node's path text, such as "\All\Hardware\Misc".
    int ChooseCategory(QString &path, int preselected);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
    void treeChoiceAfterSelectionChange(const QModelIndex &node);
    void acOkUpdate();
    void treeChoiceDblClick();

    std::unique_ptr<RowSet> m_tbCategory;
    CategoryTreeView *m_treeChoice = nullptr;
    QLineEdit *m_edPath = nullptr;
    QAction *m_acOk = nullptr;
    QPushButton *m_btnOk = nullptr;
    int m_preselected = 0;
};
