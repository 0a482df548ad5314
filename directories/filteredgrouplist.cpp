#include "directories/filteredgrouplist.h"

#include "store/storeconnection.h"
#include "store/storeerror.h"

namespace {

// With descriptions the filter matches the name or the description (a line
// break between them, which the filter edit cannot hold).
const QString kDescribedFilter
    = QStringLiteral("SELECT grp.Code FROM groups grp LEFT JOIN GroupDescriptions dsc ON dsc.Newsgroup=grp.Code "
                     "WHERE grp.GroupName || char(10) || coalesce(dsc.Description, '') Like :Filter "
                     "ORDER BY grp.GroupName");
const QString kDescribedName
    = QStringLiteral("SELECT grp.GroupName, dsc.Description FROM Groups grp "
                     "LEFT JOIN GroupDescriptions dsc ON dsc.Newsgroup=grp.Code WHERE grp.Code=:Code");

} // namespace

FilteredGroupList::FilteredGroupList(StoreConnection &connection)
    : m_described(connection.hasTable(QStringLiteral("GroupDescriptions")))
    , m_qryNewsgroup(connection,
                     m_described ? kDescribedFilter
                                 : QStringLiteral("SELECT Code FROM groups WHERE GroupName Like :Filter "
                                                  "ORDER BY GROUPNAME"))
    , m_groupName(connection,
                  m_described ? kDescribedName : QStringLiteral("SELECT GroupName FROM Groups WHERE Code=:Code"))
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
    const Names *names = read(row);
    return names ? names->name : QString();
}

QString FilteredGroupList::description(int row)
{
    const Names *names = read(row);
    return names ? names->description : QString();
}

const FilteredGroupList::Names *FilteredGroupList::read(int row)
{
    const int group = code(row);
    if (group == 0)
        return nullptr;
    const auto known = m_names.constFind(group);
    if (known != m_names.constEnd())
        return &known.value();
    // Asked for while the list is drawn, where a failure has no command to
    // end: the row then shows no name, and the next drawing asks again.
    try {
        m_groupName.bind(QStringLiteral("Code"), group);
        m_groupName.exec();
    } catch (const StoreError &) {
        return nullptr;
    }
    Names names;
    if (m_groupName.next()) {
        names.name = m_groupName.value(0).toString();
        if (m_described)
            names.description = m_groupName.value(1).toString();
    }
    m_groupName.finish();
    return &m_names.insert(group, names).value();
}
