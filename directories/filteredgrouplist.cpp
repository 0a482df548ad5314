#include "directories/filteredgrouplist.h"

#include "store/storeerror.h"

FilteredGroupList::FilteredGroupList(StoreConnection &connection)
    : m_qryNewsgroup(connection,
                     QStringLiteral("SELECT Code FROM groups WHERE GroupName Like :Filter "
                                    "ORDER BY GROUPNAME"))
    , m_groupName(connection, QStringLiteral("SELECT GroupName FROM Groups WHERE Code=:Code"))
{}

void FilteredGroupList::open(const QString &filterText)
{
    close();
    m_qryNewsgroup.bind(QStringLiteral("Filter"), QLatin1Char('%') + filterText + QLatin1Char('%'));
    m_qryNewsgroup.exec();
    std::vector<int> codes;
    while (m_qryNewsgroup.next())
        codes.push_back(m_qryNewsgroup.value(0).toInt());
    m_qryNewsgroup.finish();
    m_codes = std::move(codes);
}

void FilteredGroupList::close()
{
    m_codes.clear();
    m_names.clear();
}

int FilteredGroupList::code(int row) const
{
    return row >= 0 && row < rowCount() ? m_codes[size_t(row)] : 0;
}

QString FilteredGroupList::name(int row)
{
    const int group = code(row);
    if (group == 0)
        return {};
    const auto known = m_names.constFind(group);
    if (known != m_names.constEnd())
        return known.value();
    // Asked for while the list is drawn, where a failure has no command to
    // end: the row then shows no name, and the next drawing asks again.
    try {
        m_groupName.bind(QStringLiteral("Code"), group);
        m_groupName.exec();
    } catch (const StoreError &) {
        return {};
    }
    const QString name = m_groupName.next() ? m_groupName.value(0).toString() : QString();
    m_groupName.finish();
    m_names.insert(group, name);
    return name;
}
