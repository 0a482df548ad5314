#pragma once
// "Expert Category Manager" (`fmCategories`): the category tree at the left,
// the newsgroups at the right, marked with a pencil where they belong to the
// selected category. Made once and shown modally with exec() from the main
// window's Tools menu ("Categories..."); the result is not examined.
//
// Every showing starts afresh: the tree is loaded from the store and the root
// selected, the newsgroups filtered by the text the filter edit kept. Closing
// in any way clears the tree and the list without deleting anything. Each
// command that changed the store makes its change durable when it ends.
// Errors end the command and are shown in the standard error box.

#include <QDialog>
#include <memory>
#include <vector>

class CategoryGroups;
class CategoryRemoval;
class CategoryTreeView;
class GroupListModel;
class QAction;
class QLineEdit;
class QModelIndex;
class QTimer;
class QTreeView;
class RowSet;
class Tdm;
class TfmCategoryEdit;

class TfmCategories : public QDialog
{
    Q_OBJECT
public:
    explicit TfmCategories(Tdm &dm, QWidget *parent = nullptr);
    // The name dialog `fmCategoryEdit`, made with the manager.
    TfmCategoryEdit &categoryEdit() const { return *m_fmCategoryEdit; }
    ~TfmCategories() override;

    // How long typing in the filter edit waits before the list is filtered
    // (1000 ms).
    void setFilterInterval(int milliseconds);
    bool storeDeleteSwitch() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createActions();
    void createLayout();

    void FormActivate();
    void FormClose();
    void treeCategoryItemSelectedChange(const QModelIndex &node);
    void showGroups(int code);
    void edFilterChange();
    void tmrFilterTimer();
    void createNode(bool isCategory);
    void acEditExecute();
    void acRemoveExecute();
    void acSubscribeExecute();
    void acUnsubscribeExecute();
    void lvGroupChange();
    void lvGroupDblClick();
    std::vector<int> selectedGroupRows() const;
    // Runs a command that may change the store; afterwards what it changed is
    // made durable.
    template<typename Fn>
    void runStoreCommand(Fn &&command);

    Tdm &m_dm;
    std::unique_ptr<RowSet> m_tbCategory;
    std::unique_ptr<CategoryGroups> m_groups;
    std::unique_ptr<CategoryRemoval> m_removal;
    TfmCategoryEdit *m_fmCategoryEdit = nullptr;

    CategoryTreeView *m_treeCategory = nullptr;
    QLineEdit *m_edFilter = nullptr;
    QTreeView *m_lvGroup = nullptr;
    GroupListModel *m_groupModel = nullptr;
    QTimer *m_tmrFilter = nullptr;

    QAction *m_acNew = nullptr;
    QAction *m_acNewFolder = nullptr;
    QAction *m_acEdit = nullptr;
    QAction *m_acRemove = nullptr;
    QAction *m_acClose = nullptr;
    QAction *m_acSubscribe = nullptr;
    QAction *m_acUnsubscribe = nullptr;

    bool m_closing = true;
};
