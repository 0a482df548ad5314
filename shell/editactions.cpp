#include "shell/editactions.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
bool isTextControl(const QWidget *widget)
{
    return qobject_cast<const QTextEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget)
        || qobject_cast<const QLineEdit *>(widget);
}
} // namespace

EditActions::EditActions(QAction *copy, QAction *selectAll, QWidget *window)
    : QObject(window)
    , m_copy(copy)
    , m_selectAll(selectAll)
    , m_window(window)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        // No focus at all means the window was left, not that a control lost it.
        if (now)
            setTarget(now);
    });
    connect(copy, &QAction::triggered, this, [this] {
        if (auto *edit = qobject_cast<QTextEdit *>(m_target.data()))
            edit->copy();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_target.data()))
            plain->copy();
        else if (auto *line = qobject_cast<QLineEdit *>(m_target.data()))
            line->copy();
    });
    connect(selectAll, &QAction::triggered, this, [this] {
        if (auto *edit = qobject_cast<QTextEdit *>(m_target.data()))
            edit->selectAll();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_target.data()))
            plain->selectAll();
        else if (auto *line = qobject_cast<QLineEdit *>(m_target.data()))
            line->selectAll();
    });
    update();
}

void EditActions::update()
{
    if (QWidget *focus = QApplication::focusWidget())
        setTarget(focus);
    else
        refresh();
}

void EditActions::setTarget(QWidget *widget)
{
    QWidget *target = widget && isTextControl(widget) && m_window->isAncestorOf(widget) ? widget : nullptr;
    if (target != m_target) {
        for (const QMetaObject::Connection &c : std::as_const(m_watch))
            disconnect(c);
        m_watch.clear();
        m_target = target;
        if (auto *edit = qobject_cast<QTextEdit *>(target)) {
            m_watch << connect(edit, &QTextEdit::selectionChanged, this, &EditActions::refresh)
                    << connect(edit, &QTextEdit::textChanged, this, &EditActions::refresh);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(target)) {
            m_watch << connect(plain, &QPlainTextEdit::selectionChanged, this, &EditActions::refresh)
                    << connect(plain, &QPlainTextEdit::textChanged, this, &EditActions::refresh);
        } else if (auto *line = qobject_cast<QLineEdit *>(target)) {
            m_watch << connect(line, &QLineEdit::selectionChanged, this, &EditActions::refresh)
                    << connect(line, &QLineEdit::textChanged, this, &EditActions::refresh);
        }
    }
    refresh();
}

void EditActions::refresh()
{
    bool selection = false;
    bool text = false;
    if (auto *edit = qobject_cast<QTextEdit *>(m_target.data())) {
        selection = edit->textCursor().hasSelection();
        text = !edit->document()->isEmpty();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_target.data())) {
        selection = plain->textCursor().hasSelection();
        text = !plain->document()->isEmpty();
    } else if (auto *line = qobject_cast<QLineEdit *>(m_target.data())) {
        selection = line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
        text = !line->text().isEmpty();
    }
    m_copy->setEnabled(selection);
    m_selectAll->setEnabled(text);
}
