#include "exchange/referencematcher.h"

namespace {

bool isRegular(const QString &id)
{
    if (id.size() < 2 || id.front() != QLatin1Char('<') || id.back() != QLatin1Char('>'))
        return false;
    const QStringView inner = QStringView(id).mid(1, id.size() - 2);
    return !inner.contains(QLatin1Char('<')) && !inner.contains(QLatin1Char('>'));
}

void keepNewer(std::optional<ReferenceMatcher::Record> &best, const ReferenceMatcher::Record &candidate)
{
    if (!best || candidate.code > best->code)
        best = candidate;
}

} // namespace

void ReferenceMatcher::clear()
{
    m_regular.clear();
    m_irregular.clear();
}

void ReferenceMatcher::add(const QString &messageId, const Record &record)
{
    if (messageId.isEmpty())
        return;
    if (!isRegular(messageId)) {
        m_irregular.emplace_back(messageId, record);
        return;
    }
    auto it = m_regular.find(messageId);
    if (it == m_regular.end())
        m_regular.insert(messageId, record);
    else if (record.code > it->code)
        *it = record;
}

std::optional<ReferenceMatcher::Record> ReferenceMatcher::newestIn(const QString &references) const
{
    std::optional<Record> best;
    if (!m_regular.isEmpty()) {
        // Looked up in place: every line of a busy group's overview passes here.
        QString key;
        forEachRegularIn(references, [&](QStringView id) {
            key.setRawData(id.data(), id.size());
            const auto it = m_regular.constFind(key);
            if (it != m_regular.cend())
                keepNewer(best, *it);
        });
    }
    for (const auto &[id, record] : m_irregular) {
        if (references.contains(id, Qt::CaseSensitive))
            keepNewer(best, record);
    }
    return best;
}
