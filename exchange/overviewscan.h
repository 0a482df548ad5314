#pragma once
// One group's overview as the retrieval run walks it, in order, with the
// bodies of likely answers asked for ahead: while one answer is stored, the
// server already sends the next ones.
//
// The lines asked for are those that answer a record, or a line whose body is
// asked for (so answers to answers come too), and are not recorded yet. The
// records can grow only by those lines until the look-ahead's last line, so
// the lines it passes over answer nothing and need no look of the run's. The
// run still decides on the lines asked for; a body asked for in vain (an
// article gone, the same article twice in one overview) is dropped.

#include "exchange/referencematcher.h"

#include <QByteArray>
#include <QList>

#include <deque>

class AnswerStore;
class NewsClient;

class OverviewScan
{
public:
    // records: the run's matcher, which grows with the answers it stores.
    OverviewScan(NewsClient &client, AnswerStore &answers, const ReferenceMatcher &records);

    void start(QList<QByteArray> lines);
    void finish();
    const QList<QByteArray> &lines() const { return m_lines; }

    // Whether the run must look at the line at index; asked in order.
    bool needsLook(qsizetype index);
    // The body of the line at index arrived: more may be asked for.
    void bodyArrived(qsizetype index, const QString &messageId);

private:
    static constexpr std::size_t kBodiesAhead = 4;

    NewsClient &m_client;
    AnswerStore &m_answers;
    const ReferenceMatcher &m_records;
    QList<QByteArray> m_lines;
    qsizetype m_lookedAhead = 0; // the first line the look-ahead has not seen
    std::deque<qsizetype> m_requested; // lines whose bodies are asked for, not looked at yet
    ReferenceMatcher m_expected; // the Message-IDs of lines whose bodies were asked for
};
