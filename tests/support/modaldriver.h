#pragma once
// Answers the modal windows a command opens while the test waits inside it.
//
// Each expectation is met by the next modal window of its kind to become the
// active modal widget: a message box (any QMessageBox) or a window with the
// given objectName. The box or window is recorded, then handled by the step's
// function, which may open further modal windows (their expectations must be
// queued before). A window nobody expects is recorded as unexpected and closed,
// so that a wrong turn fails the test instead of hanging it.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class ModalDriver : public QObject
{
    Q_OBJECT
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };

    ModalDriver();
    ~ModalDriver() override;

    // The next message box: recorded, then answered with the button.
    void answerBox(QMessageBox::StandardButton button);
    // The next window with this objectName: handed to the function.
    void onWindow(const QString &objectName, std::function<void(QWidget *)> handle);

    const QList<Box> &boxes() const { return m_boxes; }
    // Windows that appeared while nothing (or something else) was expected.
    const QStringList &unexpected() const { return m_unexpected; }
    // True when every expectation was met.
    bool done() const { return m_steps.empty(); }
    // The descriptions of the expectations not met yet.
    QStringList pending() const;
    // Every expectation met and no window unexpected.
    bool finished() const { return done() && m_unexpected.isEmpty(); }
    // What went otherwise, for a failure message.
    QString problems() const;

private:
    struct Step
    {
        QString objectName; // empty: a message box
        std::function<void(QWidget *)> handle;
    };
    void poll();
    void schedule();

    std::deque<Step> m_steps;
    QList<Box> m_boxes;
    QStringList m_unexpected;
    QList<QPointer<QWidget>> m_handling; // windows whose step is running
    QPointer<QWidget> m_waitingOn; // the unexpected window seen at the last poll
    int m_waitPolls = 0;
    QTimer m_timer;
};
