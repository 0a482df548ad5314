#pragma once
// Edit controls bound to columns of a row set: load() shows the current row
// (or the edit buffer) in the controls, writeBack() puts into the row what the
// user changed since then. Only changed controls are written, so a column the
// user never touched keeps what it held, NULL included, and the row's own
// presets survive.
//
// A line edit shows NULL as empty text and writes empty text back as NULL; an
// integer line edit writes its number. A check box shows and writes a boolean.

#include <QString>
#include <QVariant>
#include <vector>

class QCheckBox;
class QLineEdit;
class QWidget;
class RowSet;

class RowBinding
{
public:
    enum class Kind { Text, Integer, Boolean };

    void bindText(QLineEdit *edit, const QString &column);
    void bindInteger(QLineEdit *edit, const QString &column);
    void bindCheck(QCheckBox *box, const QString &column);

    void load(const RowSet &row);
    // Writes each control whose value differs from what load() showed; the row
    // must be in insert or edit mode.
    void writeBack(RowSet &row) const;

    // The control bound to a column, or nullptr.
    QWidget *control(const QString &column) const;

private:
    struct Binding
    {
        QWidget *control;
        QString column;
        Kind kind;
        QVariant shown; // the control's value as load() set it
    };
    static QVariant controlValue(const Binding &binding);
    static QVariant storedValue(const Binding &binding);

    std::vector<Binding> m_bindings;
};
