#include "messages/editcommands.h"

#include "messages/actionhint.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

QAction *command(QWidget *window, const char *name, const char *caption, const char *hint,
                 QKeySequence::StandardKey key, QKeySequence fallback)
{
    auto *action = new QAction(QLatin1String(caption), window);
    action->setObjectName(QLatin1String(name));
    setActionHint(action, QLatin1String(hint));
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!keys.contains(fallback))
        keys.prepend(fallback);
    action->setShortcuts(keys);
    // The keys reach the focused control first; the window sees them only
    // when that control does not take them itself.
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

bool clipboardHasText()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

} // namespace

EditCommands::EditCommands(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    EditCut1 = command(window, "EditCut1", "Cu&t", "Cut|Cuts the selection and puts it on the Clipboard",
                       QKeySequence::Cut, QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = command(window, "EditCopy1", "&Copy", "Copy|Copies the selection and puts it on the Clipboard",
                        QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = command(window, "EditPaste1", "&Paste", "Paste|Inserts Clipboard contents", QKeySequence::Paste,
                         QKeySequence(Qt::CTRL | Qt::Key_V));
    EditSelectAll1 = command(window, "EditSelectAll1", "Select &All", "Select All|Selects the entire document",
                             QKeySequence::SelectAll, QKeySequence(Qt::CTRL | Qt::Key_A));
    EditDelete1 = command(window, "EditDelete1", "&Delete", "Delete|Erases the selection", QKeySequence::Delete,
                          QKeySequence(Qt::Key_Delete));

    for (QAction *action : {EditCut1, EditCopy1, EditPaste1, EditSelectAll1, EditDelete1})
        connect(action, &QAction::triggered, this, [this, action] { run(action); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusChanged(now); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditCommands::update);
    update();
}

void EditCommands::focusChanged(QWidget *now)
{
    if (!now || now->window() != m_window)
        return;
    if (!qobject_cast<QLineEdit *>(now) && !qobject_cast<QPlainTextEdit *>(now))
        return;
    if (m_target == now)
        return;
    if (m_target)
        disconnect(m_target, nullptr, this, nullptr);
    m_target = now;
    if (auto *line = qobject_cast<QLineEdit *>(now)) {
        connect(line, &QLineEdit::selectionChanged, this, &EditCommands::update);
        connect(line, &QLineEdit::textChanged, this, &EditCommands::update);
    } else if (auto *body = qobject_cast<QPlainTextEdit *>(now)) {
        connect(body, &QPlainTextEdit::selectionChanged, this, &EditCommands::update);
        connect(body, &QPlainTextEdit::textChanged, this, &EditCommands::update);
    }
    update();
}

void EditCommands::update()
{
    bool selection = false, editable = false, text = false;
    if (auto *line = qobject_cast<QLineEdit *>(m_target.data())) {
        selection = line->hasSelectedText();
        editable = !line->isReadOnly() && line->isEnabled();
        text = !line->text().isEmpty();
    } else if (auto *body = qobject_cast<QPlainTextEdit *>(m_target.data())) {
        selection = body->textCursor().hasSelection();
        editable = !body->isReadOnly() && body->isEnabled();
        text = !body->document()->isEmpty();
    }
    EditCut1->setEnabled(selection && editable);
    EditCopy1->setEnabled(selection);
    EditPaste1->setEnabled(editable && clipboardHasText());
    EditSelectAll1->setEnabled(text);
    EditDelete1->setEnabled(selection && editable);
}

void EditCommands::run(QAction *command)
{
    if (auto *line = qobject_cast<QLineEdit *>(m_target.data())) {
        if (command == EditCut1)
            line->cut();
        else if (command == EditCopy1)
            line->copy();
        else if (command == EditPaste1)
            line->paste();
        else if (command == EditSelectAll1)
            line->selectAll();
        else if (command == EditDelete1 && !line->isReadOnly())
            line->del();
    } else if (auto *body = qobject_cast<QPlainTextEdit *>(m_target.data())) {
        if (command == EditCut1)
            body->cut();
        else if (command == EditCopy1)
            body->copy();
        else if (command == EditPaste1)
            body->paste();
        else if (command == EditSelectAll1)
            body->selectAll();
        else if (command == EditDelete1 && !body->isReadOnly())
            body->textCursor().removeSelectedText();
    }
    update();
}
