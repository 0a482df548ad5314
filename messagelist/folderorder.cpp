#include "messagelist/folderorder.h"

#include "store/rowset.h"

namespace FolderOrder {

std::vector<ThreadBuilder::Entry> read(RowSet &query, bool threads)
{
    if (!threads) {
        std::vector<ThreadBuilder::Entry> entries;
        entries.reserve(query.rowCount());
        for (int row = 0; row < query.rowCount(); ++row)
            entries.push_back({row, -1});
        return entries;
    }
    std::vector<ThreadRow> rows;
    rows.reserve(query.rowCount());
    for (query.first(); !query.eof(); query.next()) {
        const QVariant parent = query.value(QStringLiteral("Parent"));
        rows.push_back(
            {query.asInt(QStringLiteral("Code")), parent.isNull() ? std::nullopt : std::optional<int>(parent.toInt())});
    }
    return ThreadBuilder::build(rows);
}

} // namespace FolderOrder
