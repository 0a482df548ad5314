#include "runwindows/sendgroup.h"

#include "exchange/postingrun.h"
#include "runwindows/resultmarks.h"
#include "transport/newsclient.h"
#include "widgets/warningquestion.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include "widgets/plainbox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 488;
constexpr int kClientHeight = 453;
constexpr int kPanelHeight = 41;
constexpr int kNewsgroupsWidth = 251;
constexpr int kResultWidth = 212;
constexpr int kHeaderHeight = 19;
constexpr int kRowHeight = 17;

const QString kAbortCaption = QStringLiteral("Abort");
const QString kCloseCaption = QStringLiteral("Close");

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
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint)
    , m_run(std::make_unique<PostingRun>(dm, *this, *this, folders))
{
    setObjectName(QStringLiteral("fmSendGroup"));
    setWindowTitle(QStringLiteral("Sending..."));
    // Sizeable: a server's whole reply must be readable, however long.
    resize(kClientWidth, kClientHeight);
    setSizeGripEnabled(true);
    m_imageList1[0] = successMark();
    m_imageList1[1] = failureMark();

    m_sendTree = new QTreeWidget(this);
    m_sendTree->setObjectName(QStringLiteral("SendTree"));
    m_sendTree->setColumnCount(2);
    m_sendTree->setHeaderLabels({QStringLiteral("Newsgroups"), QStringLiteral("Result")});
    m_sendTree->setColumnWidth(0, kNewsgroupsWidth);
    m_sendTree->setColumnWidth(1, kResultWidth);
    m_sendTree->header()->setFixedHeight(kHeaderHeight);
    // The Result column takes the room the window is given.
    m_sendTree->header()->setStretchLastSection(true);
    m_sendTree->setUniformRowHeights(true);
    m_sendTree->setRootIsDecorated(true);
    m_sendTree->setSortingEnabled(false);
    m_sendTree->setIconSize(QSize(kRowHeight - 1, kRowHeight - 1));
    // The rows are a report: nothing in them is edited, but they stay
    // readable, with each result whole in its tooltip, and can be copied.
    m_sendTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sendTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_sendTree->setTextElideMode(Qt::ElideRight);
    m_copyRows = new QAction(QStringLiteral("&Copy"), m_sendTree);
    m_copyRows->setObjectName(QStringLiteral("acCopyRows"));
    m_copyRows->setShortcut(QKeySequence::Copy);
    m_copyRows->setShortcutContext(Qt::WidgetShortcut);
    m_sendTree->addAction(m_copyRows);
    m_sendTree->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_copyRows, &QAction::triggered, this, &TfmSendGroup::copyRows);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(kPanelHeight);
    m_btnAbort = new QPushButton(kAbortCaption, panel);
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
    const PostingRun::Outcome outcome = m_run->run();
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
    PlainBox::show(this, boxIcon(icon), title, text);
}

bool TfmSendGroup::ask(const QString &title, const QString &text)
{
    return PlainBox::show(this, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool TfmSendGroup::askPlainLogin(const QString &host, const QString &reply)
{
    return warningQuestion(this, plainLoginQuestion(host, reply));
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
    QTreeWidgetItem *item = m_rows.at(row);
    item->setText(1, text);
    item->setToolTip(1, text);
}

QString TfmSendGroup::selectedRowsText() const
{
    // In the tree's order, whatever order they were selected in.
    QStringList lines;
    for (QTreeWidgetItemIterator it(m_sendTree); *it; ++it) {
        if (!(*it)->isSelected())
            continue;
        const QString result = (*it)->text(1);
        lines << (result.isEmpty() ? (*it)->text(0) : (*it)->text(0) + QLatin1Char('\t') + result);
    }
    return lines.join(QLatin1Char('\n'));
}

void TfmSendGroup::copyRows()
{
    const QString text = selectedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TfmSendGroup::runStarted()
{
    m_btnAbort->setText(kAbortCaption);
    m_btnAbort->setFocus();
}

void TfmSendGroup::messageFinished()
{
    m_btnAbort->setText(kCloseCaption);
}

void TfmSendGroup::runEnded(Ending ending)
{
    m_btnAbort->setText(kCloseCaption);
    // Queued, so the window closes once the run has returned.
    if (ending == Ending::WithoutErrors)
        QMetaObject::invokeMethod(this, &QDialog::close, Qt::QueuedConnection);
}
