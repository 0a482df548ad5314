#include "messagelist/folderorder.h"

#include "store/rowset.h"

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

} // namespace FolderOrder
