#include "exchange/namelist.h"

#include <QLocale>

NameList::NameList()
    : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

qsizetype NameList::lowerBound(const QString &name) const
{
    qsizetype low = 0;
    qsizetype high = m_names.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (m_collator.compare(m_names.at(middle), name) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool NameList::add(const QString &name)
{
    const qsizetype at = lowerBound(name);
    if (at < m_names.size() && m_collator.compare(m_names.at(at), name) == 0)
        return false;
    m_names.insert(at, name);
    return true;
}

bool NameList::contains(const QString &name) const
{
    const qsizetype at = lowerBound(name);
    return at < m_names.size() && m_collator.compare(m_names.at(at), name) == 0;
}
