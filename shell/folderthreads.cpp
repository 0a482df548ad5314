#include "shell/folderthreads.h"

#include <algorithm>

FolderThreads::FolderThreads(const std::vector<ThreadBuilder::Entry> &entries, const std::vector<ThreadRow> &rows,
                             const std::vector<bool> &read)
    : m_messages(entries.size())
{
    for (size_t i = 0; i < entries.size(); ++i) {
        Message &message = m_messages[i];
        message.code = rows[size_t(entries[i].row)].code;
        message.isRead = read[size_t(entries[i].row)];
        message.parent = entries[i].parent;
        message.unreadBelow = message.isRead ? 0 : 1;
        if (message.parent >= 0) {
            Message &parent = m_messages[size_t(message.parent)];
            if (parent.firstChild < 0)
                parent.firstChild = int(i);
            ++parent.childCount;
        }
    }
    // A parent's entry always comes before its answers', so one pass from the
    // end adds each count to its parent after everything below it was added.
    for (size_t i = m_messages.size(); i-- > 0;) {
        const Message &message = m_messages[i];
        if (message.parent >= 0)
            m_messages[size_t(message.parent)].unreadBelow += message.unreadBelow;
    }
}

int FolderThreads::find(int code)
{
    if (m_byCode.isEmpty() && !m_messages.empty()) {
        m_byCode.reserve(size());
        for (int entry = 0; entry < size(); ++entry)
            m_byCode.insert(at(entry).code, entry);
    }
    return m_byCode.value(code, -1);
}

bool FolderThreads::pathTo(int entry, std::vector<int> &path) const
{
    path.clear();
    while (entry >= 0 && !at(entry).node && !at(entry).gone) {
        path.push_back(entry);
        entry = at(entry).parent;
    }
    if (entry < 0 || at(entry).gone)
        return false;
    std::reverse(path.begin(), path.end());
    return true;
}
