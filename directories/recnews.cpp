#include "directories/recnews.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

TfmRecNewsgroup::TfmRecNewsgroup(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fmRecNewsgroup"));
    setWindowTitle(QStringLiteral("Loading Newsgroups"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("Received newsgroups: "), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_lbCount = new QLabel(QStringLiteral("0"), this);
    m_lbCount->setObjectName(QStringLiteral("lbCount"));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_bitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Abort"), this);
    m_bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    m_bitBtn1->setAutoDefault(false);
    connect(m_bitBtn1, &QPushButton::clicked, this, &TfmRecNewsgroup::BitBtn1Click);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label1, 0, 0);
    layout->addWidget(m_lbCount, 0, 1);
    layout->addWidget(m_label2, 1, 0, 1, 2);
    layout->addWidget(m_bitBtn1, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setColumnStretch(1, 1);
    // A fixed frame: long group names are cut off rather than resizing the
    // window on every line.
    m_label2->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    setFixedSize(sizeHint());
}

TfmRecNewsgroup::~TfmRecNewsgroup() = default;

void TfmRecNewsgroup::runServer(const std::function<bool()> &opening, const std::function<void()> &abort)
{
    m_opening = opening;
    m_abort = abort;
    m_closeWhenDone = false;
    exec();
    m_opening = nullptr;
    m_abort = nullptr;
}

void TfmRecNewsgroup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // The work starts once the window is on screen, from its own event loop.
    if (m_opening)
        QTimer::singleShot(0, this, &TfmRecNewsgroup::FormShow);
}

void TfmRecNewsgroup::FormShow()
{
    if (!m_opening || m_working)
        return;
    const std::function<bool()> opening = std::exchange(m_opening, nullptr);
    m_working = true;
    const bool closeNow = opening();
    m_working = false;
    if (closeNow || m_closeWhenDone)
        done(QDialog::Rejected);
}

void TfmRecNewsgroup::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void TfmRecNewsgroup::showCount(int count)
{
    m_lbCount->setText(QString::number(count));
}

void TfmRecNewsgroup::showGroupName(const QString &name)
{
    m_label2->setText(name);
}

void TfmRecNewsgroup::BitBtn1Click()
{
    if (m_abort)
        m_abort();
    // Closing while the work runs would leave it working in a hidden window: the
    // window closes as soon as the work has seen the Abort.
    if (m_working)
        m_closeWhenDone = true;
    else
        done(QDialog::Rejected);
}

void TfmRecNewsgroup::reject()
{
    BitBtn1Click();
}

void TfmRecNewsgroup::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (m_working)
        m_closeWhenDone = true;
    else
        done(QDialog::Rejected);
}
