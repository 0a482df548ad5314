#include "tests/support/modaldriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace {

constexpr int kPollMs = 5;
// A window that does not match the next step may still be on its way out (a
// dialog becomes active again as its box closes); only after this many polls
// on the same window is it taken as unexpected.
constexpr int kPatiencePolls = 400;

QString describe(QWidget *w)
{
    if (auto *box = qobject_cast<QMessageBox *>(w))
        return QStringLiteral("box \"%1\": %2").arg(box->windowTitle(), box->text());
    return QStringLiteral("window %1").arg(w->objectName());
}

} // namespace

ModalDriver::ModalDriver()
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
}

ModalDriver::~ModalDriver() = default;

void ModalDriver::answerBox(QMessageBox::StandardButton button)
{
    m_steps.push_back({QString(), [button](QWidget *w) {
                           auto *box = static_cast<QMessageBox *>(w);
                           if (QAbstractButton *b = box->button(button))
                               b->click();
                           else
                               box->reject();
                       }});
    schedule();
}

void ModalDriver::onWindow(const QString &objectName, std::function<void(QWidget *)> handle)
{
    m_steps.push_back({objectName, std::move(handle)});
    schedule();
}

QStringList ModalDriver::pending() const
{
    QStringList names;
    for (const Step &step : m_steps)
        names << (step.objectName.isEmpty() ? QStringLiteral("a message box") : step.objectName);
    return names;
}

QString ModalDriver::problems() const
{
    return m_unexpected.join(QLatin1Char('\n')) + QLatin1Char(' ') + pending().join(QLatin1String(", "));
}

void ModalDriver::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void ModalDriver::poll()
{
    // Re-armed before any step runs: a step blocks in the next modal window's
    // own loop, where the polls must go on.
    m_timer.start();
    QWidget *modal = QApplication::activeModalWidget();
    // A window whose step is still being handled is that step's business.
    if (!modal || !modal->isVisible() || m_handling.contains(modal))
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!m_steps.empty()) {
        const Step &step = m_steps.front();
        const bool match = step.objectName.isEmpty() ? box != nullptr : modal->objectName() == step.objectName;
        if (match) {
            if (box)
                m_boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            const Step current = step;
            m_steps.pop_front();
            m_waitingOn = nullptr;
            const QPointer<QWidget> window = modal;
            m_handling << window;
            current.handle(modal);
            m_handling.removeAll(window);
            m_handling.removeAll(nullptr);
            return;
        }
    }
    if (m_waitingOn != modal) {
        m_waitingOn = modal;
        m_waitPolls = 0;
        return;
    }
    if (++m_waitPolls < kPatiencePolls)
        return;
    m_unexpected << describe(modal);
    m_waitingOn = nullptr;
    if (box) {
        m_boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        box->reject();
        if (box->isVisible())
            box->done(QMessageBox::Cancel);
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}
