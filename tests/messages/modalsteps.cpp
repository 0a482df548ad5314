#include "modalsteps.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace {
constexpr int kPollMs = 5;
// A window no step matches may be on its way out (its caller becomes active
// again as a box closes); only after this many polls is it taken as unexpected.
constexpr int kPatience = 200;
} // namespace

ModalSteps::ModalSteps()
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &ModalSteps::poll);
    m_timer.start();
}

void ModalSteps::answer(QMessageBox::StandardButton button)
{
    m_steps.push_back({QString(), [button](QWidget *w) {
                           auto *box = static_cast<QMessageBox *>(w);
                           if (QAbstractButton *b = box->button(button))
                               b->click();
                           else
                               box->reject();
                       }});
}

void ModalSteps::onWindow(const QString &objectName, std::function<void(QWidget *)> handle)
{
    m_steps.push_back({objectName, std::move(handle)});
}

QString ModalSteps::pending() const
{
    QStringList names;
    for (const Step &step : m_steps)
        names << (step.objectName.isEmpty() ? QStringLiteral("a message box") : step.objectName);
    return names.join(QLatin1String(", "));
}

void ModalSteps::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || m_running.contains(modal))
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!m_steps.empty()) {
        const Step &step = m_steps.front();
        if (step.objectName.isEmpty() ? box != nullptr : modal->objectName() == step.objectName) {
            if (box)
                m_boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            auto handle = step.handle;
            m_steps.pop_front();
            m_stranger = nullptr;
            QPointer<QWidget> window = modal;
            m_running << window;
            // Run from the event loop, not from this poll, so that the polls
            // go on inside whatever modal loop the step opens.
            QMetaObject::invokeMethod(this, [this, handle, window] {
                if (window)
                    handle(window);
                m_running.removeAll(window);
                m_running.removeAll(nullptr);
            }, Qt::QueuedConnection);
            return;
        }
    }
    if (m_stranger != modal) {
        m_stranger = modal;
        m_strangerPolls = 0;
        return;
    }
    if (++m_strangerPolls < kPatience)
        return;
    m_unexpected << (box ? QStringLiteral("box \"%1\": %2").arg(box->windowTitle(), box->text())
                         : QStringLiteral("window %1").arg(modal->objectName()));
    m_stranger = nullptr;
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}
