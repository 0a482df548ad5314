#include "directories/rowbinding.h"

#include "store/rowset.h"

#include <QCheckBox>
#include <QLineEdit>

void RowBinding::bindText(QLineEdit *edit, const QString &column)
{
    m_bindings.push_back({edit, column, Kind::Text, {}});
}

void RowBinding::bindInteger(QLineEdit *edit, const QString &column)
{
    m_bindings.push_back({edit, column, Kind::Integer, {}});
}

void RowBinding::bindCheck(QCheckBox *box, const QString &column)
{
    m_bindings.push_back({box, column, Kind::Boolean, {}});
}

void RowBinding::load(const RowSet &row)
{
    for (Binding &binding : m_bindings) {
        if (binding.kind == Kind::Boolean) {
            static_cast<QCheckBox *>(binding.control)->setChecked(row.asBool(binding.column));
        } else {
            const QVariant value = row.value(binding.column);
            // NULL shows as an empty field, not as "0".
            static_cast<QLineEdit *>(binding.control)
                ->setText(value.isNull() ? QString() : row.asString(binding.column));
        }
        binding.shown = controlValue(binding);
    }
}

void RowBinding::writeBack(RowSet &row) const
{
    for (const Binding &binding : m_bindings) {
        if (controlValue(binding) != binding.shown)
            row.setValue(binding.column, storedValue(binding));
    }
}

QWidget *RowBinding::control(const QString &column) const
{
    for (const Binding &binding : m_bindings) {
        if (binding.column.compare(column, Qt::CaseInsensitive) == 0)
            return binding.control;
    }
    return nullptr;
}

QVariant RowBinding::controlValue(const Binding &binding)
{
    if (binding.kind == Kind::Boolean)
        return static_cast<QCheckBox *>(binding.control)->isChecked();
    return static_cast<QLineEdit *>(binding.control)->text();
}

QVariant RowBinding::storedValue(const Binding &binding)
{
    const QVariant value = controlValue(binding);
    switch (binding.kind) {
    case Kind::Boolean:
        return value;
    case Kind::Text:
        return value.toString().isEmpty() ? QVariant() : value;
    case Kind::Integer: {
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    }
    return {};
}
