#pragma once
// Which recorded copy or stored answer an article answers: the newest record
// (highest SentArticles Code) whose Message-ID occurs, as an exact
// case-sensitive substring, in the article's References.
//
// The work per article does not grow with the number of records. A Message-ID
// of the usual form "<...>" (no "<" or ">" inside) can only occur in the
// References as the text from a "<" to the first ">" after it, so each such
// text is looked up in a hash. The few records of another form are searched
// as substrings. An empty Message-ID occurs in every text and would make every
// article an answer: it matches nothing.

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class ReferenceMatcher
{
public:
    struct Record
    {
        int code = 0; // SentArticles.Code: the higher, the newer
        int articleId = 0; // the message the record belongs to
    };

    void clear();
    void add(const QString &messageId, const Record &record);
    std::optional<Record> newestIn(const QString &references) const;
    qsizetype size() const { return m_regular.size() + qsizetype(m_irregular.size()); }

    // Calls take(text) for each text of references that a Message-ID of the
    // usual form can be: from a "<" to the first ">" after it.
    template<typename Take>
    static void forEachRegularIn(const QString &references, Take take);

private:
    QHash<QString, Record> m_regular;
    std::vector<std::pair<QString, Record>> m_irregular;
};

template<typename Take>
void ReferenceMatcher::forEachRegularIn(const QString &references, Take take)
{
    // The first ">" after a "<" serves every "<" before it: one pass.
    qsizetype close = -1;
    for (qsizetype open = references.indexOf(QLatin1Char('<')); open >= 0;
         open = references.indexOf(QLatin1Char('<'), open + 1)) {
        if (close <= open) {
            close = references.indexOf(QLatin1Char('>'), open + 1);
            if (close < 0)
                return;
        }
        take(QStringView(references).mid(open, close - open + 1));
    }
}
