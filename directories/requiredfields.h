#pragma once
// The fields a property dialog will not store empty, in the order they are
// checked, each with the box that reports it and the control that then gets
// the focus. Only the first empty one is reported. Values are not trimmed: a
// value of blanks only is not empty.

#include <QString>
#include <vector>

class QWidget;
class RowSet;

struct RequiredField
{
    QString column;
    QString title; // of the exclamation box
    QString text;
    QWidget *focus;
};

class RequiredFields
{
public:
    void add(RequiredField field) { m_fields.push_back(std::move(field)); }
    // The first field the row holds empty, or nullptr when all are filled.
    const RequiredField *firstMissing(const RowSet &row) const;

private:
    std::vector<RequiredField> m_fields;
};
