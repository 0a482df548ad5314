#include "directories/directorylist.h"

#include "directories/rowsetcolumnmodel.h"
#include "store/columns.h"
#include "store/rowset.h"
#include "widgets/errorbox.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QIcon glyph(const QWidget *widget, const char *themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(themeName), widget->style()->standardIcon(fallback));
}

} // namespace

DirectoryList::DirectoryList(Tdm &dm, RowSet &rows, const QString &column, const Texts &texts, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_rows(rows)
{
    m_model = new RowSetColumnModel(rows, column, texts.columnTitle, this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("lvRows"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsClickable(false);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_acAdd
        = makeAction("acAdd", texts.addCaption, texts.addHint, glyph(this, "list-add", QStyle::SP_FileDialogNewFolder));
    m_acAdd->setShortcut(Qt::Key_Insert);
    m_acEdit = makeAction("acEdit", texts.editCaption, texts.editHint,
                          glyph(this, "document-properties", QStyle::SP_FileDialogDetailedView));
    m_acDelete = makeAction("acDelete", texts.deleteCaption, texts.deleteHint,
                            glyph(this, "edit-delete", QStyle::SP_TrashIcon));
    m_acDelete->setShortcut(Qt::Key_Delete);
    m_list->addActions({m_acAdd, m_acEdit, m_acDelete});
    addActions({m_acAdd, m_acDelete});

    connect(m_acAdd, &QAction::triggered, this, [this] { runCommand(&DirectoryList::acAddExecute, false); });
    connect(m_acEdit, &QAction::triggered, this, [this] { runCommand(&DirectoryList::acEditExecute, true); });
    connect(m_acDelete, &QAction::triggered, this, [this] { runCommand(&DirectoryList::acDeleteExecute, true); });
    connect(m_list, &QTreeView::doubleClicked, m_acEdit, &QAction::trigger);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &DirectoryList::currentChanged);
    // A model reset replaces the selection model's current index silently.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DirectoryList::currentChanged);

    QPushButton *btnAdd = makeButton(m_acAdd, "btnAdd");
    QPushButton *btnEdit = makeButton(m_acEdit, "btnEdit");
    QPushButton *btnDelete = makeButton(m_acDelete, "btnDelete");
    btnEdit->setDefault(true);
    auto *btnClose
        = new QPushButton(glyph(this, "window-close", QStyle::SP_DialogCloseButton), QStringLiteral("&Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnEdit);
    buttons->addWidget(btnDelete);
    buttons->addStretch();
    buttons->addWidget(btnClose);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    setTabOrder(m_list, btnAdd);
    setTabOrder(btnAdd, btnEdit);
    setTabOrder(btnEdit, btnDelete);
    setTabOrder(btnDelete, btnClose);
    setSizeGripEnabled(true);
    resize(420, 300);
}

QAction *DirectoryList::makeAction(const char *name, const QString &caption, const QString &hint, const QIcon &icon)
{
    auto *action = new QAction(icon, caption, this);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    return action;
}

QPushButton *DirectoryList::makeButton(QAction *action, const char *name)
{
    auto *button = new QPushButton(action->icon(), action->text(), this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(action->toolTip());
    button->setAccessibleName(action->text().trimmed());
    button->setAccessibleDescription(action->toolTip());
    button->setAutoDefault(false);
    button->setEnabled(action->isEnabled());
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

void DirectoryList::showEvent(QShowEvent *event)
{
    // Made once and reused: each showing lists the rows as they are now.
    refresh();
    m_list->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void DirectoryList::runCommand(void (DirectoryList::*command)(), bool needsStoredRow)
{
    if (needsStoredRow && !currentRowStored())
        return;
    runWindowCommand(this, [&] { (this->*command)(); });
    refresh();
}

void DirectoryList::refresh()
{
    m_refreshing = true;
    m_model->reload();
    const int current = m_rows.isOpen() ? m_rows.row() : -1;
    if (current >= 0 && current < m_model->rowCount())
        m_list->setCurrentIndex(m_model->index(current));
    m_refreshing = false;
    acEditUpdate();
    acDeleteUpdate();
}

bool DirectoryList::currentRowStored() const
{
    return m_rows.isOpen() && m_rows.asInt(Column::Code) > 0;
}

void DirectoryList::currentChanged()
{
    if (!m_refreshing && m_rows.isOpen() && m_rows.state() == RowSet::State::Browse) {
        const QModelIndex index = m_list->currentIndex();
        if (index.isValid() && index.row() < m_rows.rowCount())
            m_rows.setRow(index.row());
    }
    acEditUpdate();
    acDeleteUpdate();
}

void DirectoryList::acEditUpdate()
{
    m_acEdit->setEnabled(currentRowStored());
}

void DirectoryList::acDeleteUpdate()
{
    m_acDelete->setEnabled(currentRowStored());
}
