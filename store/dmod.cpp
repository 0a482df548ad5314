#include "store/dmod.h"

#include "store/log.h"
#include "store/storeerror.h"

Tdm::Tdm(QString fileName, QObject *parent)
    : QObject(parent)
    , m_fileName(std::move(fileName))
    , m_tbServer(
          RowSet::table(m_connection, QStringLiteral("servers"), QStringLiteral("Code"), QStringLiteral("tbServer")))
    , m_tbGroupServer(RowSet::table(m_connection, QStringLiteral("GroupServer"), QStringLiteral("Server, Newsgroup"),
                                    QStringLiteral("tbGroupServer")))
    , m_qryAccount(m_connection, QStringLiteral("SELECT * from Account ORDER BY AccountName"),
                   QStringLiteral("qryAccount"))
    , m_qryArticle(m_connection, QStringLiteral("Select * from article where folder=:fld Order by Parent"),
                   QStringLiteral("qryArticle"))
    , m_qryAccount1(m_connection, QStringLiteral("SELECT * from Account ORDER BY AccountName"),
                    QStringLiteral("qryAccount1"))
    , m_qryArticleEdit(m_connection, QStringLiteral("Select * from article where Code=:Code"),
                       QStringLiteral("qryArticleEdit"))
    , m_qryIsGroup(m_connection, QStringLiteral("SELECT Code FROM GROUPS Where GroupName=:GN"),
                   QStringLiteral("qryIsGroup"))
{
    setObjectName(QStringLiteral("dm"));
}

Tdm::~Tdm()
{
    try {
        close();
    } catch (const StoreError &) {
        // Nothing is left to report to at destruction; what was not committed is lost.
    }
}

void Tdm::DataModuleCreate()
{
    if (m_connection.isOpen())
        return;
    m_connection.open(m_fileName);
    m_connection.setTransactionKeeper([this] { StartTransaction(); });
    MainConnectionAfterConnect();
}

void Tdm::close()
{
    if (!m_connection.isOpen())
        return;
    try {
        MainConnectionBeforeDisconnect();
    } catch (...) {
        for (RowSet *set : datasets())
            set->close();
        m_connection.close();
        throw;
    }
    for (RowSet *set : datasets())
        set->close();
    m_connection.close();
}

std::array<RowSet *, 7> Tdm::datasets()
{
    return {&m_tbServer,    &m_tbGroupServer,  &m_qryAccount, &m_qryArticle,
            &m_qryAccount1, &m_qryArticleEdit, &m_qryIsGroup};
}

void Tdm::MainConnectionAfterConnect()
{
    m_storeOpen = true;
    StartTransaction();
}

void Tdm::MainConnectionCommitTransComplete()
{
    StartTransaction();
}

void Tdm::MainConnectionRollbackTransComplete()
{
    StartTransaction();
}

void Tdm::MainConnectionBeforeDisconnect()
{
    m_storeOpen = false;
    m_connection.setTransactionKeeper(nullptr);
    if (m_connection.inTransaction())
        m_connection.commit();
}

void Tdm::StartTransaction()
{
    if (!m_storeOpen)
        return;
    if (!m_connection.inTransaction())
        m_connection.begin();
    // A row set that is already open stays open and keeps its position.
    for (RowSet *set : datasets())
        set->open();
}

void Tdm::commit()
{
    if (!m_connection.isOpen())
        throw StoreError(QStringLiteral("The store is not open"));
    m_connection.commit();
    qCDebug(lcStore) << "committed" << m_fileName;
    MainConnectionCommitTransComplete();
}

void Tdm::rollback()
{
    if (!m_connection.isOpen())
        throw StoreError(QStringLiteral("The store is not open"));
    m_connection.rollback();
    qCDebug(lcStore) << "rolled back" << m_fileName;
    MainConnectionRollbackTransComplete();
}

void Tdm::checkpoint()
{
    if (!m_storeOpen || m_checkpointsHeld)
        return;
    commit();
}

void Tdm::deferDiskFlush(bool deferred)
{
    if (!m_storeOpen || m_checkpointsHeld || deferred == m_diskFlushDeferred)
        return;
    // The engine takes the setting only between transactions.
    m_connection.commit();
    try {
        m_diskFlushDeferred = m_connection.setCommitsWaitForDisk(!deferred) && deferred;
        if (!deferred)
            m_connection.flushCommitsToDisk();
    } catch (...) {
        MainConnectionCommitTransComplete();
        throw;
    }
    MainConnectionCommitTransComplete();
}
