#include "exchange/grouprecords.h"

#include "exchange/referencematcher.h"
#include "store/columns.h"
#include "transport/overview.h"

#include <QSet>

namespace {

// Message-IDs looked up per statement.
constexpr int kBatch = 100;

const QString kColumns = QStringLiteral("SELECT SNT.Code, SNT.MessageId, ArticleId From SentArticles SNT, Article Artl "
                                        "Where GroupId=:Id and Artl.Code=ArticleId and (not Expire)");

QString namedStatement()
{
    QStringList placeholders;
    for (int i = 0; i < kBatch; ++i)
        placeholders << QStringLiteral(":M%1").arg(i);
    // "+GroupId": looked up by Message-ID, not by walking the group's index.
    QString statement
        = kColumns + QStringLiteral(" and SNT.MessageId IN (") + placeholders.join(QLatin1Char(',')) + u')';
    return statement.replace(QStringLiteral("Where GroupId="), QStringLiteral("Where +GroupId="));
}

// The records the look-ups cannot find: a Message-ID that does not start with
// "<", or whose first ">" is not its last character. One that does, with
// another "<" inside, is the text from its "<" to the first ">" after it, a
// candidate of its own: the look-ups find it, and the matcher searches it as
// text.
const QString kUnusual = QStringLiteral(" and not (SNT.MessageId >= '<' and SNT.MessageId < '='"
                                        " and instr(SNT.MessageId, '>') = length(SNT.MessageId))");

} // namespace

GroupRecords::GroupRecords(StoreConnection &connection)
    : qrySentB(connection, kColumns + QStringLiteral(" Order By SNT.Code desc"), QStringLiteral("qrySentB"))
    , m_named(connection, namedStatement())
    , m_unusual(connection, kColumns + kUnusual)
{}

std::optional<QString> GroupRecords::loadAll(int groupCode, ReferenceMatcher &matcher)
{
    matcher.clear();
    std::optional<QString> oldest; // the last row, newest first
    qrySentB.bind(QStringLiteral("Id"), groupCode);
    loadRows(qrySentB, matcher, &oldest);
    return oldest;
}

void GroupRecords::loadUnusual(int groupCode, ReferenceMatcher &matcher)
{
    matcher.clear();
    m_unusual.bind(QStringLiteral("Id"), groupCode);
    loadRows(m_unusual, matcher);
    // Its hundred placeholders take longer to compile than a batch to run.
    m_named.prepare();
}

void GroupRecords::addNamedBy(int groupCode, const QList<QByteArray> &overview, ReferenceMatcher &matcher)
{
    QSet<QString> named;
    for (const QByteArray &line : overview) {
        ReferenceMatcher::forEachRegularIn(overviewField(line, OverviewField::References),
                                           [&named](QStringView id) { named.insert(id.toString()); });
        if (named.size() > kMostLookups) {
            loadAll(groupCode, matcher);
            return;
        }
    }
    const QStringList ids(named.cbegin(), named.cend());
    for (qsizetype first = 0; first < ids.size(); first += kBatch) {
        m_named.bind(QStringLiteral("Id"), groupCode);
        for (int i = 0; i < kBatch; ++i) // the slots past the end stay NULL, which equals nothing
            m_named.bindAt(i + 1, first + i < ids.size() ? QVariant(ids.at(first + i)) : QVariant());
        loadRows(m_named, matcher);
    }
}

void GroupRecords::loadRows(SqlCommand &query, ReferenceMatcher &matcher, std::optional<QString> *oldest)
{
    query.exec();
    const int codeAt = query.indexOf(Column::Code);
    const int messageIdAt = query.indexOf(Column::MessageId);
    const int articleIdAt = query.indexOf(Column::ArticleId);
    while (query.next()) {
        const QString messageId = query.value(messageIdAt).toString();
        matcher.add(messageId, {query.value(codeAt).toInt(), query.value(articleIdAt).toInt()});
        if (oldest)
            *oldest = messageId;
    }
    query.finish();
}
