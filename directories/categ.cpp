#include "directories/categ.h"

#include "directories/categed.h"
#include "directories/categorygroups.h"
#include "directories/categoryimages.h"
#include "directories/categoryremoval.h"
#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "directories/grouplistmodel.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "store/storeerror.h"
#include "widgets/errorbox.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kFilterDelay = 1000;
constexpr int kMinGroupColumn = 200;
constexpr int kMaxGroupColumn = 500;

using Kind = CategoryTreeModel::Kind;

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QIcon themed(const QWidget *widget, const char *name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(name), widget->style()->standardIcon(fallback));
}

// A push button that runs an action and follows its enabled state.
QPushButton *actionButton(QAction *action, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setToolTip(action->toolTip());
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

} // namespace

TfmCategories::TfmCategories(Tdm &dm, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_tbCategory(std::make_unique<RowSet>(dm.MainConnection(),
                                            QStringLiteral("SELECT * FROM categories ORDER BY Parent, Kind desc, Name"),
                                            QStringLiteral("tbCategory")))
    , m_groups(std::make_unique<CategoryGroups>(dm.MainConnection()))
    , m_removal(std::make_unique<CategoryRemoval>(dm.MainConnection(), *m_tbCategory))
{
    setObjectName(QStringLiteral("fmCategories"));
    setWindowTitle(QStringLiteral("Expert Category Manager"));
    setSizeGripEnabled(true);
    resize(680, 460);

    m_fmCategoryEdit = new TfmCategoryEdit(dm, *m_tbCategory, this);
    m_tmrFilter = new QTimer(this);
    m_tmrFilter->setObjectName(QStringLiteral("tmrFilter"));
    m_tmrFilter->setInterval(kFilterDelay);
    connect(m_tmrFilter, &QTimer::timeout, this, &TfmCategories::tmrFilterTimer);

    createActions();
    createLayout();

    m_treeCategory->tree().nodeDeletion = [this](int code) { m_removal->treeCategoryItemDeletion(code); };
    connect(m_treeCategory, &CategoryTreeView::selectedNodeChanged, this,
            &TfmCategories::treeCategoryItemSelectedChange);
    connect(m_treeCategory, &QTreeView::doubleClicked, this, [this] { m_acEdit->trigger(); });
    connect(m_edFilter, &QLineEdit::textChanged, this, &TfmCategories::edFilterChange);
    connect(m_lvGroup->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfmCategories::lvGroupChange);
    // A reset of the list drops its selection without a selection signal.
    connect(m_groupModel, &QAbstractItemModel::modelReset, this, &TfmCategories::lvGroupChange);
    connect(m_lvGroup, &QTreeView::doubleClicked, this, &TfmCategories::lvGroupDblClick);
}

TfmCategories::~TfmCategories()
{
    // The views outlive the row sets they show (children go last): nothing
    // may reach those row sets while the window is taken down.
    m_closing = true;
    m_tmrFilter->stop();
    m_treeCategory->tree().nodeDeletion = nullptr;
    m_groupModel->setRowCountTo(0);
}

void TfmCategories::createActions()
{
    auto make = [this](const char *name, const QString &caption, const QString &hint) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        return action;
    };
    m_acNew = make("acNew", QStringLiteral("Create &Category"), QStringLiteral("Create a new category"));
    m_acNew->setIcon(CategoryImages::icon(CategoryImages::Category));
    m_acNewFolder = make("acNewFolder", QStringLiteral("Create &Folder"), QStringLiteral("Create a new folder"));
    m_acNewFolder->setIcon(CategoryImages::icon(CategoryImages::ClosedFolder));
    m_acEdit = make("acEdit", QStringLiteral("&Edit"), QStringLiteral("Edit a category"));
    m_acEdit->setIcon(CategoryImages::pencil());
    // Enter edits the selected node wherever the focus is, the filter edit included.
    m_acEdit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_acEdit->setShortcutContext(Qt::WindowShortcut);
    m_acRemove = make("acRemove", QStringLiteral("&Remove"), QStringLiteral("Remove a category"));
    m_acRemove->setIcon(themed(this, "edit-delete", QStyle::SP_TrashIcon));
    m_acClose = make("acClose", QStringLiteral("&Close"), QStringLiteral("Close the dialog"));
    m_acClose->setIcon(themed(this, "window-close", QStyle::SP_DialogCloseButton));
    m_acClose->setShortcut(QKeySequence(Qt::Key_Escape));
    m_acSubscribe
        = make("acSubscribe", QStringLiteral("&Add"), QStringLiteral("Add the selected newsgroups to the category"));
    m_acUnsubscribe = make("acUnsubscribe", QStringLiteral("Re&move"),
                           QStringLiteral("Remove the selected newsgroups from the category"));
    m_acSubscribe->setEnabled(false);
    m_acUnsubscribe->setEnabled(false);
    // The shortcuts work while the window has the focus, not only from the menus.
    addActions({m_acEdit, m_acClose});

    connect(m_acNew, &QAction::triggered, this, [this] { createNode(true); });
    connect(m_acNewFolder, &QAction::triggered, this, [this] { createNode(false); });
    connect(m_acEdit, &QAction::triggered, this, &TfmCategories::acEditExecute);
    connect(m_acRemove, &QAction::triggered, this, &TfmCategories::acRemoveExecute);
    connect(m_acClose, &QAction::triggered, this, &QDialog::reject);
    connect(m_acSubscribe, &QAction::triggered, this, &TfmCategories::acSubscribeExecute);
    connect(m_acUnsubscribe, &QAction::triggered, this, &TfmCategories::acUnsubscribeExecute);
}

void TfmCategories::createLayout()
{
    auto *menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("mmCategories"));
    QMenu *menuNew = menuBar->addMenu(QStringLiteral("&New"));
    menuNew->setObjectName(QStringLiteral("miNew"));
    menuNew->menuAction()->setToolTip(QStringLiteral("Create a new category"));
    menuNew->menuAction()->setStatusTip(QStringLiteral("Create a new category"));
    menuNew->addAction(m_acNewFolder);
    menuNew->addAction(m_acNew);
    // A menu bar draws an action's icon in place of its caption, so it gets
    // text-only twins that trigger the real actions and follow their state.
    for (QAction *action : {m_acEdit, m_acRemove, m_acClose}) {
        QAction *twin = menuBar->addAction(action->text());
        twin->setToolTip(action->toolTip());
        twin->setStatusTip(action->statusTip());
        twin->setEnabled(action->isEnabled());
        connect(twin, &QAction::triggered, action, &QAction::trigger);
        connect(action, &QAction::changed, twin, [twin, action] {
            twin->setEnabled(action->isEnabled());
            twin->setText(action->text());
        });
    }

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("tbCategories"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->addAction(m_acNew);
    toolBar->addAction(m_acNewFolder);
    toolBar->addSeparator();
    toolBar->addAction(m_acEdit);
    toolBar->addAction(m_acRemove);
    toolBar->addSeparator();
    toolBar->addAction(m_acClose);
    for (QAction *action : toolBar->actions()) {
        if (QWidget *button = toolBar->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("btn") + action->objectName());
            button->setAccessibleName(action->iconText());
        }
    }

    auto *gbCategories = new QGroupBox(QStringLiteral("Categories"));
    gbCategories->setObjectName(QStringLiteral("gbCategories"));
    m_treeCategory = new CategoryTreeView(gbCategories);
    m_treeCategory->setObjectName(QStringLiteral("treeCategory"));
    m_treeCategory->setAccessibleName(QStringLiteral("Categories"));
    m_treeCategory->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *separator = new QAction(m_treeCategory);
    separator->setSeparator(true);
    m_treeCategory->addActions({m_acNewFolder, m_acNew, separator, m_acEdit, m_acRemove});
    auto *categoriesLayout = new QVBoxLayout(gbCategories);
    categoriesLayout->addWidget(m_treeCategory);

    auto *gbNewsgroups = new QGroupBox(QStringLiteral("Newsgroups"));
    gbNewsgroups->setObjectName(QStringLiteral("gbNewsgroups"));
    m_edFilter = new QLineEdit(gbNewsgroups);
    m_edFilter->setObjectName(QStringLiteral("edFilter"));
    auto *lbFilter = new QLabel(QStringLiteral("&Find newsgroups whicn contain:"), gbNewsgroups);
    lbFilter->setObjectName(QStringLiteral("lbFilter"));
    lbFilter->setBuddy(m_edFilter);

    m_groupModel = new GroupListModel(*m_groups, this);
    m_lvGroup = new QTreeView(gbNewsgroups);
    m_lvGroup->setObjectName(QStringLiteral("lvGroup"));
    m_lvGroup->setAccessibleName(QStringLiteral("Newsgroups"));
    m_lvGroup->setModel(m_groupModel);
    m_lvGroup->setRootIsDecorated(false);
    m_lvGroup->setItemsExpandable(false);
    m_lvGroup->setUniformRowHeights(true);
    m_lvGroup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvGroup->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvGroup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvGroup->header()->setSectionsClickable(false);
    m_lvGroup->header()->setStretchLastSection(true);
    m_lvGroup->header()->setMinimumSectionSize(kMinGroupColumn);
    m_lvGroup->header()->setMaximumSectionSize(kMaxGroupColumn);
    // The selection stays visible while the focus is elsewhere (on the buttons).
    QPalette palette = m_lvGroup->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    m_lvGroup->setPalette(palette);
    m_lvGroup->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_lvGroup->addActions({m_acSubscribe, m_acUnsubscribe});

    QPushButton *btnAdd = actionButton(m_acSubscribe, "btnAdd", gbNewsgroups);
    QPushButton *btnRemove = actionButton(m_acUnsubscribe, "btnRemove", gbNewsgroups);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnRemove);
    buttons->addStretch();
    auto *newsgroupsLayout = new QVBoxLayout(gbNewsgroups);
    newsgroupsLayout->addWidget(lbFilter);
    newsgroupsLayout->addWidget(m_edFilter);
    newsgroupsLayout->addWidget(m_lvGroup);
    newsgroupsLayout->addLayout(buttons);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(gbCategories);
    splitter->addWidget(gbNewsgroups);
    splitter->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(toolBar);
    layout->addWidget(splitter);

    setTabOrder(m_treeCategory, m_edFilter);
    setTabOrder(m_edFilter, m_lvGroup);
    setTabOrder(m_lvGroup, btnAdd);
    setTabOrder(btnAdd, btnRemove);
}

void TfmCategories::setFilterInterval(int milliseconds)
{
    m_tmrFilter->setInterval(milliseconds);
}

bool TfmCategories::storeDeleteSwitch() const
{
    return m_removal->storeDelete();
}

template<typename Fn>
void TfmCategories::runStoreCommand(Fn &&command)
{
    runWindowCommand(this, std::forward<Fn>(command));
    runWindowCommand(this, [this] { m_dm.checkpoint(); });
}

void TfmCategories::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TfmCategories::FormActivate()
{
    m_closing = false;
    runWindowCommand(this, [this] {
        m_treeCategory->tree().clear();
        m_groupModel->setRowCountTo(0);
        m_acSubscribe->setEnabled(false);
        m_acUnsubscribe->setEnabled(false);
        {
            WaitCursor wait;
            m_groups->applyFilter(m_edFilter->text());
        }
        m_treeCategory->tree().BuildCategoryTree(*m_tbCategory);
        m_treeCategory->expandRootOneLevel();
        m_treeCategory->setFocus(Qt::OtherFocusReason);
        m_treeCategory->selectNode(m_treeCategory->tree().rootIndex());
    });
}

void TfmCategories::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfmCategories::FormClose()
{
    m_treeCategory->selectNode({});
    m_closing = true;
    m_tmrFilter->stop();
    runWindowCommand(this, [this] {
        m_treeCategory->tree().clear();
        m_groupModel->setRowCountTo(0);
    });
}

void TfmCategories::treeCategoryItemSelectedChange(const QModelIndex &node)
{
    if (m_closing)
        return;
    const bool filterPending = m_tmrFilter->isActive();
    m_tmrFilter->stop();

    const CategoryTreeModel &tree = m_treeCategory->tree();
    const bool selected = node.isValid();
    const Kind kind = selected ? tree.kind(node) : Kind::Root;
    m_acNew->setEnabled(selected && kind != Kind::Category);
    m_acNewFolder->setEnabled(selected && kind != Kind::Category);
    m_acEdit->setEnabled(selected && kind != Kind::Root);
    m_acRemove->setEnabled(selected && kind != Kind::Root);
    if (selected)
        runWindowCommand(this, [&] { showGroups(tree.nodeCode(node)); });
    lvGroupChange();

    if (filterPending)
        m_tmrFilter->start();
}

void TfmCategories::showGroups(int code)
{
    m_groupModel->setRowCountTo(0);
    m_groups->showCategory(code);
    m_groupModel->setRowCountTo(m_groups->rowCount());
}

void TfmCategories::edFilterChange()
{
    m_tmrFilter->start();
}

void TfmCategories::tmrFilterTimer()
{
    m_tmrFilter->stop();
    runWindowCommand(this, [this] {
        m_groupModel->setRowCountTo(0);
        m_groups->applyFilter(m_edFilter->text());
        showGroups(m_groups->currentCategory());
    });
}

void TfmCategories::createNode(bool isCategory)
{
    QAction *command = isCategory ? m_acNew : m_acNewFolder;
    const QModelIndex node = m_treeCategory->selectedNode();
    if (!command->isEnabled() || !node.isValid())
        return;
    CategoryTreeModel &tree = m_treeCategory->tree();
    if (tree.kind(node) == Kind::Category)
        return;
    const bool started = runWindowCommand(this, [&] {
        m_tbCategory->append();
        m_tbCategory->setValue(QStringLiteral("Parent"), tree.nodeCode(node));
        m_tbCategory->setValue(QStringLiteral("Kind"), isCategory);
    });
    if (!started)
        return;
    if (isCategory)
        m_fmCategoryEdit->setTexts(QStringLiteral("Create new expert category"),
                                   QStringLiteral("Enter expert category name"));
    else
        m_fmCategoryEdit->setTexts(QStringLiteral("Create new folder"), QStringLiteral("Enter folder name"));
    const QPersistentModelIndex parent(node);
    if (m_fmCategoryEdit->exec() != QDialog::Accepted)
        return;
    runWindowCommand(this, [&] {
        tree.addChild(parent, m_tbCategory->asInt(QStringLiteral("Code")), isCategory,
                      m_tbCategory->asString(QStringLiteral("Name")));
        m_treeCategory->expand(parent);
    });
}

void TfmCategories::acEditExecute()
{
    const QModelIndex node = m_treeCategory->selectedNode();
    if (!m_acEdit->isEnabled() || !node.isValid())
        return;
    CategoryTreeModel &tree = m_treeCategory->tree();
    if (tree.kind(node) == Kind::Root)
        return;
    const bool started = runWindowCommand(this, [&] {
        // Editing whatever row the cursor is on would rename another node.
        if (!m_tbCategory->locate(QStringLiteral("Code"), tree.nodeCode(node)))
            throw StoreError(QStringLiteral("The item is no longer in the store"));
        m_tbCategory->edit();
    });
    if (!started)
        return;
    if (tree.kind(node) == Kind::Category)
        m_fmCategoryEdit->setTexts(QStringLiteral("Edit expert category"),
                                   QStringLiteral("Enter expert category name"));
    else
        m_fmCategoryEdit->setTexts(QStringLiteral("Edit folder"), QStringLiteral("Enter folder name"));
    const QPersistentModelIndex edited(node);
    if (m_fmCategoryEdit->exec() != QDialog::Accepted)
        return;
    runWindowCommand(this, [&] { tree.setCaption(edited, m_tbCategory->asString(QStringLiteral("Name"))); });
}

void TfmCategories::acRemoveExecute()
{
    const QModelIndex node = m_treeCategory->selectedNode();
    if (!m_acRemove->isEnabled() || !node.isValid())
        return;
    CategoryTreeModel &tree = m_treeCategory->tree();
    if (tree.kind(node) == Kind::Root)
        return;
    QMessageBox ask(QMessageBox::Warning, QStringLiteral("Delete Tree Item"),
                    QStringLiteral("Would you like to delete this item?"), QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("DeleteTreeItemBox"));
    if (ask.exec() != QMessageBox::Yes)
        return;
    const QPersistentModelIndex removed(node);
    runStoreCommand([&] {
        m_groupModel->setRowCountTo(0);
        m_treeCategory->selectNode(removed.parent());
        m_removal->remove(tree, removed);
    });
}

std::vector<int> TfmCategories::selectedGroupRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_lvGroup->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfmCategories::acSubscribeExecute()
{
    const QModelIndex node = m_treeCategory->selectedNode();
    if (!m_acSubscribe->isEnabled() || m_treeCategory->tree().kind(node) != Kind::Category)
        return;
    const std::vector<int> rows = selectedGroupRows();
    runStoreCommand([&] { m_groups->subscribe(rows); });
    m_groupModel->marksChanged(rows);
    lvGroupChange();
}

void TfmCategories::acUnsubscribeExecute()
{
    const QModelIndex node = m_treeCategory->selectedNode();
    if (!m_acUnsubscribe->isEnabled() || m_treeCategory->tree().kind(node) != Kind::Category)
        return;
    const std::vector<int> rows = selectedGroupRows();
    runStoreCommand([&] { m_groups->unsubscribe(rows); });
    m_groupModel->marksChanged(rows);
    lvGroupChange();
}

void TfmCategories::lvGroupChange()
{
    // Only a category has newsgroups; for the root and folders both stay off.
    const QModelIndex node = m_treeCategory->selectedNode();
    bool anyMarked = false;
    bool anyUnmarked = false;
    if (!m_closing && node.isValid() && m_treeCategory->tree().kind(node) == Kind::Category) {
        for (const QModelIndex &index : m_lvGroup->selectionModel()->selectedRows()) {
            (m_groups->isMarked(index.row()) ? anyMarked : anyUnmarked) = true;
            if (anyMarked && anyUnmarked)
                break;
        }
    }
    m_acSubscribe->setEnabled(anyUnmarked);
    m_acUnsubscribe->setEnabled(anyMarked);
}

void TfmCategories::lvGroupDblClick()
{
    if (m_acSubscribe->isEnabled())
        acSubscribeExecute();
    else
        acUnsubscribeExecute();
}
