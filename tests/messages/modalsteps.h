#pragma once
// Answers the modal windows a command opens while the test waits inside it.
//
// Steps are met in order, each by the next modal window of its kind to become
// the active modal widget: a message box, or a window with the given
// objectName. A box is recorded and answered with the step's button; a window
// is handed to the step's function, which may open further modal windows (queue
// their steps first). A modal window no step expects is recorded and closed,
// so that a wrong turn fails the test instead of hanging it.

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class ModalSteps : public QObject
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

    ModalSteps();

    void answer(QMessageBox::StandardButton button);
    void onWindow(const QString &objectName, std::function<void(QWidget *)> handle);

    const QList<Box> &boxes() const { return m_boxes; }
    const QStringList &unexpected() const { return m_unexpected; }
    bool done() const { return m_steps.empty(); }
    // What is still expected, for failure messages.
    QString pending() const;

private:
    struct Step
    {
        QString objectName; // empty: a message box
        std::function<void(QWidget *)> handle;
    };
    void poll();

    std::deque<Step> m_steps;
    QList<Box> m_boxes;
    QStringList m_unexpected;
    QList<QPointer<QWidget>> m_running; // windows whose step is being handled
    QPointer<QWidget> m_stranger;
    int m_strangerPolls = 0;
    QTimer m_timer;
};
