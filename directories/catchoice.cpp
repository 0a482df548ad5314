#include "directories/catchoice.h"

#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "widgets/errorbox.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfmCategChoice::TfmCategChoice(Tdm &dm, QWidget *parent)
    : QDialog(parent)
    , m_tbCategory(std::make_unique<RowSet>(dm.MainConnection(),
                                            QStringLiteral("SELECT * FROM categories ORDER BY Parent, Kind desc, Name"),
                                            QStringLiteral("tbCategory")))
{
    setObjectName(QStringLiteral("fmCategChoice"));
    setWindowTitle(QStringLiteral("Choose  Expert Category"));
    setSizeGripEnabled(true);
    resize(420, 380);

    m_edPath = new QLineEdit(this);
    m_edPath->setObjectName(QStringLiteral("edPath"));
    m_edPath->setReadOnly(true);
    // Tab skips the path: it only shows where the selected node lies.
    m_edPath->setFocusPolicy(Qt::NoFocus);
    auto *lbPath = new QLabel(QStringLiteral("Path:"), this);
    lbPath->setObjectName(QStringLiteral("lbPath"));
    lbPath->setBuddy(m_edPath);
    m_edPath->setAccessibleName(QStringLiteral("Path"));

    m_treeChoice = new CategoryTreeView(this);
    m_treeChoice->setObjectName(QStringLiteral("treeChoice"));
    m_treeChoice->setAccessibleName(QStringLiteral("Expert categories"));

    m_acOk = new QAction(QStringLiteral("OK"), this);
    m_acOk->setObjectName(QStringLiteral("acOk"));
    m_acOk->setEnabled(false);
    connect(m_acOk, &QAction::triggered, this, &QDialog::accept);

    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    m_btnOk->setEnabled(false);
    connect(m_btnOk, &QPushButton::clicked, m_acOk, &QAction::trigger);
    connect(m_acOk, &QAction::changed, m_btnOk, [this] { m_btnOk->setEnabled(m_acOk->isEnabled()); });
    auto *btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto *layout = new QGridLayout(this);
    layout->addWidget(lbPath, 0, 0);
    layout->addWidget(m_edPath, 0, 1);
    layout->addWidget(m_treeChoice, 1, 0, 1, 2);
    layout->addLayout(buttons, 0, 2, 2, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);

    connect(m_treeChoice, &CategoryTreeView::selectedNodeChanged, this,
            &TfmCategChoice::treeChoiceAfterSelectionChange);
    connect(m_treeChoice, &QTreeView::doubleClicked, this, &TfmCategChoice::treeChoiceDblClick);
}

TfmCategChoice::~TfmCategChoice() = default;

int TfmCategChoice::ChooseCategory(QString &path, int preselected)
{
    m_preselected = preselected;
    if (exec() != QDialog::Accepted)
        return -1;
    const QModelIndex node = m_treeChoice->selectedNode();
    if (!node.isValid())
        return -1;
    path = m_treeChoice->tree().pathText(node);
    return m_treeChoice->tree().nodeCode(node);
}

void TfmCategChoice::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TfmCategChoice::FormActivate()
{
    runWindowCommand(this, [this] {
        CategoryTreeModel &tree = m_treeChoice->tree();
        tree.BuildCategoryTree(*m_tbCategory);
        m_treeChoice->expandRootOneLevel();
        acOkUpdate();
        m_treeChoice->setFocus(Qt::OtherFocusReason);
        if (m_preselected == 0)
            return;
        const QModelIndex node = tree.findCode(m_preselected);
        if (!node.isValid())
            return;
        m_treeChoice->expandRecursively(node.parent());
        m_treeChoice->selectNode(node);
    });
}

void TfmCategChoice::treeChoiceAfterSelectionChange(const QModelIndex &node)
{
    // With no node selected the path keeps what it showed last.
    if (node.isValid())
        m_edPath->setText(m_treeChoice->tree().pathText(node));
    acOkUpdate();
}

void TfmCategChoice::acOkUpdate()
{
    m_acOk->setEnabled(m_treeChoice->selectedNode().isValid());
}

void TfmCategChoice::treeChoiceDblClick()
{
    if (m_acOk->isEnabled())
        m_acOk->trigger();
}
