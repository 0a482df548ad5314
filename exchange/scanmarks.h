#pragma once
// Where the last complete scan of a group on a server ended (table ScanMarks):
// the highest article number it examined. Retrieval starts the next scan right
// after it, so each run reads only what is new. A store without the table has
// no marks, and every scan starts at the oldest record of the group.

#include <QtGlobal>

#include <memory>

class SqlCommand;
class StoreConnection;

class ScanMarks
{
public:
    explicit ScanMarks(StoreConnection &connection);
    ~ScanMarks();
    ScanMarks(const ScanMarks &) = delete;
    ScanMarks &operator=(const ScanMarks &) = delete;

    bool available() const { return m_read != nullptr; }
    // 0 when there is no mark (or no table).
    quint64 mark(int groupCode, int serverCode);
    // Records the end of a complete scan; nothing without the table.
    void setMark(int groupCode, int serverCode, quint64 lastArticle);
    void drop(int groupCode, int serverCode);

private:
    std::unique_ptr<SqlCommand> m_read;
    std::unique_ptr<SqlCommand> m_write;
    std::unique_ptr<SqlCommand> m_drop;
};
