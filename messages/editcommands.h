#pragma once
// The standard editing commands of the editors: Cut, Copy, Paste, Select All
// and Delete, with their keys (Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, Del). They act
// on the text control of the window that has, or last had, the keyboard focus
// (a line edit or the body), so that a click on the tool bar or the menu still
// reaches the field being edited, and are enabled by what that control allows:
// Cut and Delete need a selection in an editable control, Copy a selection,
// Paste an editable control and text on the clipboard, Select All any text.

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

class EditCommands : public QObject
{
    Q_OBJECT
public:
    explicit EditCommands(QWidget *window);

    QAction *EditCut1;
    QAction *EditCopy1;
    QAction *EditPaste1;
    QAction *EditSelectAll1;
    QAction *EditDelete1;

    // The control the commands act on, or null.
    QWidget *target() const { return m_target; }
    // Re-evaluates the enabled state of the five commands.
    void update();

private:
    void focusChanged(QWidget *now);
    void run(QAction *command);

    QWidget *m_window;
    QPointer<QWidget> m_target;
};
