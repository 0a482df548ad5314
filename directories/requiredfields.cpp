#include "directories/requiredfields.h"

#include "store/rowset.h"

const RequiredField *RequiredFields::firstMissing(const RowSet &row) const
{
    for (const RequiredField &field : m_fields) {
        if (row.asString(field.column).isEmpty())
            return &field;
    }
    return nullptr;
}
