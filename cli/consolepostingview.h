#pragma once
// The posting window as lines on standard output: the subject of each message,
// then a line per newsgroup with its mark ("ok", "failed", "-" for untried)
// and its result text, separated by tabs. A newsgroup's line is written once
// its result is known; rows the run never finished (after an Abort or a
// failure that ended it) are written by finish().

#include "exchange/postingview.h"

#include <vector>

class QTextStream;

class ConsolePostingView : public PostingView
{
public:
    explicit ConsolePostingView(QTextStream &out)
        : m_out(out)
    {}

    void clearRows() override;
    int addMessageRow(const QString &subject) override;
    int addGroupRow(int messageRow, const QString &group) override;
    void setRowMark(int row, Mark mark) override;
    void setRowResult(int row, const QString &text) override;
    void runStarted() override {}
    void messageFinished() override {}
    void runEnded(Ending) override {}

    // Writes the rows still unwritten; call once the run has returned.
    void finish();

    int messageCount() const { return m_messages; }
    // Newsgroup rows that did not end with a success mark.
    int failedGroups() const;

private:
    struct Row
    {
        bool message = false;
        QString text;
        Mark mark = Mark::None;
        bool written = false;
    };

    void write(Row &row, const QString &result);
    void flushUnwritten();

    QTextStream &m_out;
    std::vector<Row> m_rows;
    int m_messages = 0;
};
