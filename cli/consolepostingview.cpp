#include "cli/consolepostingview.h"

#include "cli/commandline.h"

#include <QTextStream>

namespace {

const char *markWord(PostingView::Mark mark)
{
    switch (mark) {
    case PostingView::Mark::Success:
        return "ok";
    case PostingView::Mark::Failure:
        return "failed";
    case PostingView::Mark::None:
        break;
    }
    return "-";
}

} // namespace

void ConsolePostingView::clearRows()
{
    flushUnwritten();
    m_rows.clear();
}

int ConsolePostingView::addMessageRow(const QString &subject)
{
    // The rows of the message before are complete or will never be.
    flushUnwritten();
    ++m_messages;
    m_rows.push_back({true, subject, Mark::None, false});
    write(m_rows.back(), QString());
    return int(m_rows.size()) - 1;
}

int ConsolePostingView::addGroupRow(int, const QString &group)
{
    m_rows.push_back({false, group, Mark::None, false});
    return int(m_rows.size()) - 1;
}

void ConsolePostingView::setRowMark(int row, Mark mark)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows[row].mark = mark;
}

void ConsolePostingView::setRowResult(int row, const QString &text)
{
    if (row >= 0 && row < int(m_rows.size()) && !m_rows[row].written)
        write(m_rows[row], text);
}

void ConsolePostingView::finish()
{
    flushUnwritten();
}

int ConsolePostingView::failedGroups() const
{
    int failed = 0;
    for (const Row &row : m_rows) {
        if (!row.message && row.mark != Mark::Success)
            ++failed;
    }
    return failed;
}

void ConsolePostingView::write(Row &row, const QString &result)
{
    row.written = true;
    if (row.message)
        m_out << Cli::oneLine(row.text) << "\n";
    else
        m_out << "  " << Cli::oneLine(row.text) << "\t" << markWord(row.mark) << "\t" << Cli::oneLine(result) << "\n";
    m_out.flush();
}

void ConsolePostingView::flushUnwritten()
{
    for (Row &row : m_rows) {
        if (!row.written)
            write(row, QString());
    }
}
