#include "exchange/overviewscan.h"

#include "exchange/answerstore.h"
#include "transport/newsclient.h"
#include "transport/overview.h"

#include <algorithm>

OverviewScan::OverviewScan(NewsClient &client, AnswerStore &answers, const ReferenceMatcher &records)
    : m_client(client)
    , m_answers(answers)
    , m_records(records)
{}

void OverviewScan::start(QList<QByteArray> lines)
{
    m_lines = std::move(lines);
    m_lookedAhead = 0;
    m_requested.clear();
    m_expected.clear();
}

void OverviewScan::finish()
{
    m_lines.clear();
}

bool OverviewScan::needsLook(qsizetype index)
{
    const bool requested = !m_requested.empty() && m_requested.front() == index;
    if (requested)
        m_requested.pop_front();
    return requested || index >= m_lookedAhead;
}

void OverviewScan::bodyArrived(qsizetype index, const QString &messageId)
{
    m_expected.add(messageId, {});
    m_lookedAhead = std::max(m_lookedAhead, index + 1);
    for (; m_requested.size() < kBodiesAhead && m_lookedAhead < m_lines.size(); ++m_lookedAhead) {
        const QByteArray &next = m_lines.at(m_lookedAhead);
        const QString references = overviewField(next, OverviewField::References);
        if (!m_records.newestIn(references) && !m_expected.newestIn(references))
            continue;
        const QString nextId = overviewField(next, OverviewField::MessageId);
        if (m_answers.isRecorded(nextId))
            continue;
        const quint64 number = overviewNumber(next);
        if (number == 0)
            continue; // the run reports it when it gets there
        if (m_answers.keepsHeaders())
            m_client.requestArticle(number);
        else
            m_client.requestBody(number);
        m_requested.push_back(m_lookedAhead);
        m_expected.add(nextId, {});
    }
}
