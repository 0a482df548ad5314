#include "directories/newsgroup.h"

#include "directories/newsgrouplistmodel.h"
#include "directories/newsgroupui.h"
#include "exchange/listloader.h"
#include "directories/recnews.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "widgets/errorbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kFilterDelayMs = 1000;

const QString kNewsgroupStatement
    = QStringLiteral("SELECT * FROM groups WHERE GroupName Like :subs ORDER BY GROUPNAME");

} // namespace

TfmNewsgroup::TfmNewsgroup(Tdm &dm, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_qryNewsgroup(std::make_unique<RowSet>(dm.MainConnection(), kNewsgroupStatement, QStringLiteral("qryNewsgroup")))
{
    setObjectName(QStringLiteral("fmNewsgroup"));
    setWindowTitle(QStringLiteral("Newsgroups"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("Find newsgroups whicn contain:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_edFilter = new QLineEdit(this);
    m_edFilter->setObjectName(QStringLiteral("edFilter"));
    label1->setBuddy(m_edFilter);

    m_model = new NewsgroupListModel(*m_qryNewsgroup, this);
    m_allList = new QTreeView(this);
    m_allList->setObjectName(QStringLiteral("allList"));
    m_allList->setModel(m_model);
    m_allList->setRootIsDecorated(false);
    m_allList->setItemsExpandable(false);
    // Every row the same height: the view then lays out 100,000 rows without
    // asking the model for any of them.
    m_allList->setUniformRowHeights(true);
    m_allList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_allList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_allList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_allList->setSortingEnabled(false);
    m_allList->header()->setSectionsClickable(false);
    m_allList->header()->setStretchLastSection(true);

    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    m_btnUpdate = new QPushButton(QStringLiteral("Update List"), this);
    m_btnUpdate->setObjectName(QStringLiteral("btnUpdate"));
    m_btnUpdate->setAutoDefault(false);

    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    m_status = new QLabel(statusBar);
    m_status->setObjectName(QStringLiteral("lbStatus"));
    statusBar->addWidget(m_status, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    buttons->addWidget(m_btnUpdate);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_edFilter);
    layout->addWidget(m_allList, 1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar);
    resize(420, 480);

    m_tmrFilter = new QTimer(this);
    m_tmrFilter->setObjectName(QStringLiteral("tmrFilter"));
    m_tmrFilter->setInterval(kFilterDelayMs);

    connect(m_edFilter, &QLineEdit::textChanged, this, &TfmNewsgroup::edFilterChange);
    connect(m_tmrFilter, &QTimer::timeout, this, &TfmNewsgroup::filterTimerFired);
    connect(m_btnOk, &QPushButton::clicked, this, &TfmNewsgroup::btnOkClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TfmNewsgroup::btnCancelClick);
    connect(m_btnUpdate, &QPushButton::clicked, this, &TfmNewsgroup::btnUpdateClick);

    m_ui = std::make_unique<NewsgroupRunUi>(this, m_status);
    m_fmRecNewsgroup = new TfmRecNewsgroup(this);
}

TfmNewsgroup::~TfmNewsgroup() = default;

void TfmNewsgroup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TfmNewsgroup::FormActivate()
{
    // What was done before the dialog opened is kept whatever happens here.
    runWindowCommand(this, [this] { m_dm.commit(); });
    m_dm.holdCheckpoints(true);
    m_edFilter->clear();
    m_loader = std::make_unique<NewsgroupListLoader>(m_dm, *m_ui, *m_fmRecNewsgroup, m_dialUpCheck);
    runWindowCommand(this, [this] { tmrFilterTimer(); });
    // An empty store is filled at once, once the dialog is on screen.
    if (m_qryNewsgroup->isOpen() && m_qryNewsgroup->isEmpty())
        QTimer::singleShot(0, this, &TfmNewsgroup::btnUpdateClick);
    if (m_qryNewsgroup->isOpen())
        m_qryNewsgroup->first();
}

void TfmNewsgroup::edFilterChange()
{
    m_tmrFilter->stop();
    m_tmrFilter->start();
}

void TfmNewsgroup::filterTimerFired()
{
    // Update List applies the filter itself when it is over.
    if (m_updating) {
        m_tmrFilter->stop();
        return;
    }
    runWindowCommand(this, [this] { tmrFilterTimer(); });
}

void TfmNewsgroup::tmrFilterTimer()
{
    m_tmrFilter->stop();
    m_model->beginRefill();
    try {
        m_qryNewsgroup->close();
        // Typed as it is: "%" and "_" keep their meaning in the pattern.
        m_qryNewsgroup->setParam(QStringLiteral("subs"), QLatin1Char('%') + m_edFilter->text() + QLatin1Char('%'));
        m_qryNewsgroup->open();
    } catch (...) {
        m_model->endRefill();
        throw;
    }
    m_model->endRefill();
    m_allList->viewport()->update();
}

void TfmNewsgroup::btnUpdateClick()
{
    if (m_updating || !m_loader || !isVisible())
        return;
    m_updating = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    runWindowCommand(this, [this] {
        m_edFilter->clear();
        // Filled once per opening from the list of every group; the loader
        // keeps it up to date afterwards. With it filled the list is not read
        // before the refresh (it does not repaint until the refresh is over).
        if (m_loader->groupNames().isEmpty()) {
            tmrFilterTimer();
            m_loader->rememberGroupNames(*m_qryNewsgroup);
        } else {
            m_tmrFilter->stop();
        }
        m_allList->setUpdatesEnabled(false);
        m_loader->loadAllServers();
    });
    // Also after an error: the list must not stay frozen nor the cursor busy.
    m_allList->setUpdatesEnabled(true);
    runWindowCommand(this, [this] { tmrFilterTimer(); });
    QApplication::restoreOverrideCursor();
    m_updating = false;
}

void TfmNewsgroup::btnOkClick()
{
    if (m_updating)
        return;
    if (runWindowCommand(this, [this] { m_dm.commit(); }))
        done(QDialog::Accepted);
}

void TfmNewsgroup::btnCancelClick()
{
    if (m_updating)
        return;
    if (runWindowCommand(this, [this] { m_dm.rollback(); }))
        done(QDialog::Rejected);
}

void TfmNewsgroup::accept()
{
    btnOkClick();
}

void TfmNewsgroup::reject()
{
    btnCancelClick();
}

void TfmNewsgroup::closeEvent(QCloseEvent *event)
{
    // The title-bar button closes without Cancel: what Update List loaded stays.
    if (m_updating) {
        event->ignore();
        return;
    }
    if (isVisible())
        done(QDialog::Rejected);
    event->accept();
}

void TfmNewsgroup::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfmNewsgroup::FormClose()
{
    m_tmrFilter->stop();
    m_loader.reset();
    runWindowCommand(this, [this] { m_dm.commit(); });
    m_dm.holdCheckpoints(false);
}
