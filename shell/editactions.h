#pragma once
// Copy and Select All act on whichever text control of the window has the
// keyboard focus, and are enabled only while one has it: Copy when it holds a
// selection, Select All when it holds any text. When the window loses the
// focus to another application or a pop-up menu, the last control stays the
// target, so the pop-up menu's items act on it.

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

class EditActions : public QObject
{
    Q_OBJECT
public:
    EditActions(QAction *copy, QAction *selectAll, QWidget *window);

    QWidget *target() const { return m_target; }
    // Re-reads the focus and the target's state.
    void update();

private:
    void setTarget(QWidget *widget);
    void refresh();

    QAction *m_copy;
    QAction *m_selectAll;
    QWidget *m_window;
    QPointer<QWidget> m_target;
    QList<QMetaObject::Connection> m_watch;
};
