#pragma once
// The newsgroups side of the category manager, without widgets: the filtered
// group list (`qryNewsgroup`, see FilteredGroupList) whose row i is row i of
// the window's list, the groups of the current category (`qryGroupCateg`), and
// adding and removing the links of `GroupCategory` (`qryGroupCateg1`).
//
// Whether a row is marked (belongs to the current category) is decided by the
// group's `Code` in a hash of the category's links, so drawing a row never
// scans the category's groups, and two groups whose names differ only in case
// are told apart.
//
// Store failures throw StoreError; links stored before the failure stay, and
// the marks always follow the store.

#include "directories/filteredgrouplist.h"
#include "store/rowset.h"

#include <QHash>
#include <QString>
#include <vector>

class StoreConnection;

class CategoryGroups
{
public:
    explicit CategoryGroups(StoreConnection &connection);

    FilteredGroupList &qryNewsgroup() { return m_qryNewsgroup; }
    RowSet &qryGroupCateg() { return m_qryGroupCateg; }

    // Reopens the filtered group list with "%", the text as typed, "%": the
    // store's LIKE wildcards in the text keep their meaning; case is ignored.
    void applyFilter(const QString &text);
    // Takes the code as the current category and reads its groups (none for
    // the root and for folders).
    void showCategory(int code);
    int currentCategory() const { return m_current; }

    int rowCount() const;
    QString groupName(int row);
    // Empty where the store keeps no descriptions.
    QString groupDescription(int row);
    int groupCode(int row) const;
    bool isMarked(int row) const;

    // Links each row (list positions, taken in list order) that is not marked
    // to the current category; returns the rows linked.
    std::vector<int> subscribe(std::vector<int> rows);
    // Unlinks each marked row from the current category; returns the rows unlinked.
    std::vector<int> unsubscribe(std::vector<int> rows);

private:
    void readLinks();
    void rereadLinksAfter(const std::exception_ptr &failure);

    FilteredGroupList m_qryNewsgroup;
    RowSet m_qryGroupCateg;
    RowSet m_qryGroupCateg1;
    int m_current = 0;
    QHash<int, int> m_links; // Groups.Code -> GroupCategory.Code
};
