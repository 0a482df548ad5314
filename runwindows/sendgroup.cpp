#include "runwindows/sendgroup.h"

#include "exchange/postingrun.h"
#include "runwindows/resultmarks.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 488;
constexpr int kClientHeight = 453;
constexpr int kPanelHeight = 41;
constexpr int kNewsgroupsWidth = 251;
constexpr int kResultWidth = 212;
constexpr int kHeaderHeight = 19;
constexpr int kRowHeight = 17;

QMessageBox::Icon boxIcon(RunUi::Icon icon)
{
    switch (icon) {
    case RunUi::Icon::Information:
        return QMessageBox::Information;
    case RunUi::Icon::Warning:
        return QMessageBox::Warning;
    case RunUi::Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TfmSendGroup::TfmSendGroup(Tdm &dm, FolderView &folders, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_run(std::make_unique<PostingRun>(dm, *this, *this, folders))
{
    setObjectName(QStringLiteral("fmSendGroup"));
    setWindowTitle(QStringLiteral("Sending..."));
    setFixedSize(kClientWidth, kClientHeight);
    m_imageList1[0] = successMark();
    m_imageList1[1] = failureMark();

    m_sendTree = new QTreeWidget(this);
    m_sendTree->setObjectName(QStringLiteral("SendTree"));
    m_sendTree->setColumnCount(2);
    m_sendTree->setHeaderLabels({QStringLiteral("Newsgroups"), QStringLiteral("Result")});
    m_sendTree->setColumnWidth(0, kNewsgroupsWidth);
    m_sendTree->setColumnWidth(1, kResultWidth);
    m_sendTree->header()->setFixedHeight(kHeaderHeight);
    m_sendTree->header()->setStretchLastSection(false);
    m_sendTree->setUniformRowHeights(true);
    m_sendTree->setRootIsDecorated(true);
    m_sendTree->setSortingEnabled(false);
    m_sendTree->setIconSize(QSize(kRowHeight - 1, kRowHeight - 1));
    // The rows are a report: the tree takes no input.
    m_sendTree->setEnabled(false);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(kPanelHeight);
    m_btnAbort = new QPushButton(QStringLiteral("Abort"), panel);
    m_btnAbort->setObjectName(QStringLiteral("btnAbort"));
    m_btnAbort->setAutoDefault(false);
    auto *panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(8, 8, 8, 8);
    panelLayout->addStretch();
    panelLayout->addWidget(m_btnAbort);
    panelLayout->addStretch();
    connect(m_btnAbort, &QPushButton::clicked, this, &TfmSendGroup::btnAbortClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sendTree);
    layout->addWidget(panel);

    m_helpContents = new QAction(QStringLiteral("&Contents"), this);
    m_helpContents->setObjectName(QStringLiteral("HelpContents1"));
    m_helpContents->setToolTip(QStringLiteral("Help Contents"));
    m_helpContents->setStatusTip(QStringLiteral("Help Contents"));
    m_helpContents->setShortcut(QKeySequence(Qt::Key_F1));
    m_helpContents->setEnabled(false);
    addAction(m_helpContents);
}

TfmSendGroup::~TfmSendGroup() = default;

void TfmSendGroup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    // Every showing runs once, after the window has appeared.
    QTimer::singleShot(0, this, &TfmSendGroup::FormActivate);
}

void TfmSendGroup::FormActivate()
{
    // Closed before the queued activation came round: no run.
    if (!isVisible() || m_running)
        return;
    m_running = true;
    m_abortClicked = false;
    const PostingRun::Outcome outcome = m_run->FormActivate();
    m_running = false;
    if (outcome == PostingRun::Outcome::Refused)
        QDialog::reject();
    else if (m_abortClicked)
        done(Abort);
}

void TfmSendGroup::btnAbortClick()
{
    if (!m_running) {
        done(Abort);
        return;
    }
    // The run sees it where it next lets events run; the window closes once it returns.
    m_abortClicked = true;
    m_run->abort();
}

void TfmSendGroup::reject()
{
    if (m_running)
        btnAbortClick();
    else
        QDialog::reject();
}

void TfmSendGroup::showMessage(const QString &title, const QString &text, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, this);
    box.exec();
}

bool TfmSendGroup::ask(const QString &title, const QString &text)
{
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TfmSendGroup::showStatus(int, const QString &)
{
    // The rows are the posting run's progress.
}

void TfmSendGroup::processEvents()
{
    QCoreApplication::processEvents();
}

void TfmSendGroup::clearRows()
{
    m_sendTree->clear();
    m_rows.clear();
}

int TfmSendGroup::addMessageRow(const QString &subject)
{
    auto *item = new QTreeWidgetItem(m_sendTree, {subject});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setSizeHint(0, QSize(-1, kRowHeight));
    item->setExpanded(true);
    m_rows << item;
    return int(m_rows.size()) - 1;
}

int TfmSendGroup::addGroupRow(int messageRow, const QString &group)
{
    QTreeWidgetItem *message = m_rows.at(messageRow);
    auto *item = new QTreeWidgetItem(message, {group});
    item->setSizeHint(0, QSize(-1, kRowHeight));
    message->setExpanded(true);
    m_rows << item;
    return int(m_rows.size()) - 1;
}

void TfmSendGroup::setRowMark(int row, Mark mark)
{
    QTreeWidgetItem *item = m_rows.at(row);
    switch (mark) {
    case Mark::None:
        item->setIcon(0, QIcon());
        break;
    case Mark::Success:
        item->setIcon(0, m_imageList1[0]);
        break;
    case Mark::Failure:
        item->setIcon(0, m_imageList1[1]);
        break;
    }
}

void TfmSendGroup::setRowResult(int row, const QString &text)
{
    m_rows.at(row)->setText(1, text);
}

void TfmSendGroup::setButtonCaption(const QString &caption)
{
    m_btnAbort->setText(caption);
}

void TfmSendGroup::focusButton()
{
    m_btnAbort->setFocus();
}

void TfmSendGroup::requestClose()
{
    // Queued, so the window closes once the run has returned.
    QMetaObject::invokeMethod(this, &QDialog::close, Qt::QueuedConnection);
}
