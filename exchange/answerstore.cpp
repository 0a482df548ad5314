#include "exchange/answerstore.h"

#include "store/dmod.h"
#include "store/folders.h"
#include "store/storeerror.h"
#include "transport/nntpmessage.h"

AnswerStore::AnswerStore(Tdm &dm, SendQueries &queries)
    : m_dm(dm)
    , qryMsgIdVerify(dm.MainConnection(), QStringLiteral("SELECT* FROM SentArticles Where MessageId=:MSGID"))
    , qryReadArticle(dm.MainConnection(),
                     QStringLiteral("INSERT INTO Article (Parent, Subject, \"From\", SentDate, Source, Folder, IsRead, "
                                    "ArticleType, Body) VALUES (:Parent, :Subject, :From, :SentDate, :Source, :Folder, "
                                    ":IsRead, :ArticleType, :Body)"))
    , m_queries(queries)
    , m_headers(dm.MainConnection())
{}

void AnswerStore::prepare()
{
    qryReadArticle.prepare();
    m_queries.qrySent.prepare();
    m_headers.prepare();
}

bool AnswerStore::isRecorded(const QString &messageId)
{
    qryMsgIdVerify.bind(QStringLiteral("MSGID"), messageId);
    qryMsgIdVerify.exec();
    const bool recorded = qryMsgIdVerify.next();
    qryMsgIdVerify.finish();
    return recorded;
}

AnswerStore::Stored AnswerStore::store(const FoundAnswer &answer, const NntpMessage &fetched)
{
    // The store keeps what came from the server byte for byte; it is decoded
    // where it is shown. The fields of the overview line go back to the bytes
    // they were read from.
    const auto received
        = [&answer](const QString &field) { return answer.lineIsUtf8 ? field.toUtf8() : field.toLatin1(); };
    const OverviewLine &line = answer.line;
    qryReadArticle.bind(QStringLiteral("Parent"), answer.parent)
        .bind(QStringLiteral("Subject"), received(line.subject))
        .bind(QStringLiteral("From"), received(line.from))
        .bind(QStringLiteral("SentDate"), line.date)
        .bind(QStringLiteral("Source"), answer.group)
        .bind(QStringLiteral("Folder"), folderCode(Folder::Inbox))
        .bind(QStringLiteral("IsRead"), false)
        .bind(QStringLiteral("ArticleType"), false)
        .bind(QStringLiteral("Body"), fetched.fetchedText());
    Stored stored;
    try {
        qryReadArticle.exec();
        stored.articleCode = qryReadArticle.lastInsertId().toInt();
        m_headers.keep(stored.articleCode, fetched.fetchedHeader());
        stored.recordCode = m_queries.recordCopy(stored.articleCode, line.messageId, line.references, answer.groupCode);
    } catch (const StoreError &) {
        // An answer kept without its record would be stored again by the next
        // run. Each answer is committed as it is stored, so the transaction
        // holds this answer's rows alone (the engine may have ended it itself
        // already, on a full disk).
        try {
            m_dm.rollback();
        } catch (const StoreError &) {}
        throw;
    }
    m_dm.checkpoint();
    return stored;
}
