#include "messagelist/threadbuilder.h"

#include <QHash>
#include <QSet>

std::vector<ThreadBuilder::Entry> ThreadBuilder::build(const std::vector<ThreadRow> &rows)
{
    // The first row of each Parent value; the rows after it with the same value
    // form its run.
    QHash<int, int> firstRow;
    firstRow.reserve(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        if (rows[i].parent && !firstRow.contains(*rows[i].parent))
            firstRow.insert(*rows[i].parent, i);
    }

    std::vector<Entry> entries;
    entries.reserve(rows.size());
    auto addChildren = [&](int parentEntry, int code) {
        const auto found = firstRow.constFind(code);
        if (found == firstRow.constEnd())
            return;
        for (int i = *found; i < int(rows.size()) && rows[i].parent == code; ++i)
            entries.push_back({i, parentEntry});
    };

    struct Frame
    {
        int next;
        int end;
    };
    QSet<int> expanded;
    expanded.reserve(int(rows.size()) + 1);
    expanded.insert(0);
    addChildren(-1, 0);
    std::vector<Frame> stack{{0, int(entries.size())}};
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next == frame.end) {
            stack.pop_back();
            continue;
        }
        const int entry = frame.next++;
        const int code = rows[entries[entry].row].code;
        if (expanded.contains(code))
            continue;
        expanded.insert(code);
        const int begin = int(entries.size());
        addChildren(entry, code);
        if (int(entries.size()) > begin)
            stack.push_back({begin, int(entries.size())});
    }
    return entries;
}
