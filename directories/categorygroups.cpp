#include "directories/categorygroups.h"

#include "directories/grouprowfinder.h"
#include "store/columns.h"
#include "store/storeerror.h"

#include <algorithm>

namespace {

const QString kCode = QStringLiteral("Code");
const QString kNewsgroup = QStringLiteral("Newsgroup");

} // namespace

CategoryGroups::CategoryGroups(StoreConnection &connection)
    : m_qryNewsgroup(connection)
    , m_qryGroupCateg(connection,
                      QStringLiteral("SELECT CTG.*, groupname FROM GroupCategory CTG, groups GRP "
                                     "WHERE Category=:Cat and CTG.newsgroup=GRP.Code "
                                     "ORDER By groupname"),
                      QStringLiteral("qryGroupCateg"))
    , m_qryGroupCateg1(connection, QStringLiteral("SELECT * FROM GroupCategory WHERE Code=:Code"),
                       QStringLiteral("qryGroupCateg1"))
{}

void CategoryGroups::applyFilter(const QString &text)
{
    m_qryNewsgroup.open(text);
}

void CategoryGroups::showCategory(int code)
{
    m_current = code;
    m_links.clear();
    m_qryGroupCateg.setParam(QStringLiteral("Cat"), code);
    m_qryGroupCateg.reopen();
    readLinks();
}

void CategoryGroups::readLinks()
{
    m_links.clear();
    m_links.reserve(m_qryGroupCateg.rowCount());
    for (m_qryGroupCateg.first(); !m_qryGroupCateg.eof(); m_qryGroupCateg.next())
        m_links.insert(m_qryGroupCateg.asInt(kNewsgroup), m_qryGroupCateg.asInt(kCode));
    m_qryGroupCateg.first();
}

int CategoryGroups::rowCount() const
{
    return m_qryNewsgroup.rowCount();
}

QString CategoryGroups::groupName(int row)
{
    return m_qryNewsgroup.name(row);
}

QString CategoryGroups::groupDescription(int row)
{
    return m_qryNewsgroup.description(row);
}

int CategoryGroups::groupCode(int row) const
{
    return m_qryNewsgroup.code(row);
}

bool CategoryGroups::isMarked(int row) const
{
    return !m_links.isEmpty() && m_links.contains(groupCode(row));
}

void CategoryGroups::rereadLinksAfter(const std::exception_ptr &failure)
{
    // The links are read once at the end rather than after every row: the
    // hash already follows each stored change.
    try {
        m_qryGroupCateg.reopen();
        readLinks();
    } catch (...) {
        if (!failure)
            throw;
    }
    if (failure)
        std::rethrow_exception(failure);
}

std::vector<int> CategoryGroups::subscribe(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    std::vector<int> linked;
    std::exception_ptr failure;
    try {
        for (int row : rows) {
            if (isMarked(row))
                continue;
            // The row's place in the filtered group list, found by its name.
            const std::optional<int> at
                = FindGroupRow(groupName(row), rowCount(), [this](int i) { return groupName(i); });
            if (!at)
                continue;
            const int group = groupCode(*at);
            if (m_links.contains(group))
                continue;
            m_qryGroupCateg1.setParam(kCode, 0);
            m_qryGroupCateg1.reopen();
            m_qryGroupCateg1.append();
            m_qryGroupCateg1.setValue(kNewsgroup, group);
            m_qryGroupCateg1.setValue(Column::Category, m_current);
            try {
                m_qryGroupCateg1.post();
            } catch (...) {
                m_qryGroupCateg1.cancel();
                throw;
            }
            m_links.insert(group, m_qryGroupCateg1.asInt(kCode));
            linked.push_back(row);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    rereadLinksAfter(failure);
    return linked;
}

std::vector<int> CategoryGroups::unsubscribe(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    std::vector<int> unlinked;
    std::exception_ptr failure;
    try {
        for (int row : rows) {
            const int group = groupCode(row);
            const auto link = m_links.constFind(group);
            if (link == m_links.constEnd())
                continue;
            m_qryGroupCateg1.setParam(kCode, link.value());
            m_qryGroupCateg1.reopen();
            if (!m_qryGroupCateg1.isEmpty())
                m_qryGroupCateg1.remove();
            m_links.remove(group);
            unlinked.push_back(row);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    rereadLinksAfter(failure);
    return unlinked;
}
