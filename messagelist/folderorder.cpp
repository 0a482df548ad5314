#include "messagelist/folderorder.h"

#include "store/rowset.h"

#include <algorithm>

namespace FolderOrder {

std::vector<ThreadBuilder::Entry> read(RowSet &query, bool threads, const std::function<void()> &eachRow)
{
    std::vector<ThreadRow> rows;
    query.first();
    if (query.eof())
        return {};
    const int code = query.columnIndex(QStringLiteral("Code"));
    const int parentColumn = query.columnIndex(QStringLiteral("Parent"));
    for (; !query.eof(); query.next()) {
        if (eachRow)
            eachRow();
        const QVariant parent = query.value(parentColumn);
        rows.push_back({query.value(code).isNull() ? 0 : query.value(code).toInt(),
                        parent.isNull() ? std::nullopt : std::optional<int>(parent.toInt())});
    }
    if (threads)
        return ThreadBuilder::build(rows);
    std::vector<ThreadBuilder::Entry> entries;
    entries.reserve(rows.size());
    for (int row = 0; row < int(rows.size()); ++row)
        entries.push_back({row, -1});
    return entries;
}

std::vector<ThreadBuilder::Entry> threads(const std::vector<ThreadRow> &rows)
{
    std::vector<int> order(rows.size());
    for (int i = 0; i < int(rows.size()); ++i)
        order[size_t(i)] = i;
    // NULL first, as the store orders it; a row without a Parent is shown
    // nowhere, so where it stands does not matter beyond that.
    std::sort(order.begin(), order.end(), [&rows](int a, int b) {
        const ThreadRow &x = rows[size_t(a)];
        const ThreadRow &y = rows[size_t(b)];
        if (x.parent != y.parent)
            return x.parent < y.parent;
        return x.code < y.code;
    });
    std::vector<ThreadRow> sorted;
    sorted.reserve(rows.size());
    for (const int row : order)
        sorted.push_back(rows[size_t(row)]);
    std::vector<ThreadBuilder::Entry> entries = ThreadBuilder::build(sorted);
    for (ThreadBuilder::Entry &entry : entries)
        entry.row = order[size_t(entry.row)];
    return entries;
}

} // namespace FolderOrder
