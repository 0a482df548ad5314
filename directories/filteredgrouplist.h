#pragma once
// The filtered group list of the category manager (`qryNewsgroup`): the
// newsgroups whose name is LIKE "%filter%", in name order, as the virtual list
// shows them. With 100,000 groups, reading every row's columns when the list
// opens costs more than the window may take, so opening reads the order alone
// (each row's `Code`), and a row's `GroupName` is read when it is first asked
// for, which is when the list draws the row; names read are kept until the
// list opens again.
//
// Where the store keeps descriptions (GroupDescriptions), the filter matches
// the name or the description, and a row's description is read with its name.
//
// A failed open throws StoreError and leaves the list empty; a name that
// cannot be read shows as empty text.

#include "store/sqlcommand.h"

#include <QHash>
#include <QString>
#include <vector>

class StoreConnection;

class FilteredGroupList
{
public:
    explicit FilteredGroupList(StoreConnection &connection);

    // Reads the rows matching "%", the text as typed, "%": the store's LIKE
    // wildcards in the text keep their meaning; case is ignored.
    void open(const QString &filterText);
    void close();

    int rowCount() const { return int(m_codes.size()); }
    // The row's `Code`; 0 outside the list.
    int code(int row) const;
    // The row's `GroupName`; empty outside the list or when it cannot be read.
    QString name(int row);
    // True when the store keeps descriptions.
    bool described() const { return m_described; }
    // The row's description; empty when it has none or cannot be read.
    QString description(int row);

private:
    struct Names
    {
        QString name;
        QString description;
    };
    const Names *read(int row);

    bool m_described;
    SqlCommand m_qryNewsgroup;
    SqlCommand m_groupName;
    std::vector<int> m_codes;
    QHash<int, Names> m_names; // by Code
};
