#pragma once
// The data module `dm`: owner of the store connection, the shared row sets and
// the one long transaction the program works in.
//
// While the store is open exactly one transaction is open. A commit or rollback
// begins the next at once and reopens any closed row set; closing commits.
// Besides the commits of the newsgroups dialog, every command that changed the
// store calls checkpoint() when it ends, so that a crash loses nothing it did.

#include "store/rowset.h"
#include "store/storeconnection.h"

#include <QObject>
#include <QString>
#include <array>

class Tdm : public QObject
{
    Q_OBJECT
public:
    explicit Tdm(QString fileName = QStringLiteral("qa.mdb"), QObject *parent = nullptr);
    ~Tdm() override;

    // Opens the store and begins the first transaction; throws StoreError when
    // the file cannot be opened or a row set cannot be read.
    void DataModuleCreate();
    // Commits the open transaction and closes the store (orderly program end).
    void close();

    StoreConnection &MainConnection() { return m_connection; }
    bool StoreOpen() const { return m_storeOpen; }

    RowSet &tbServer() { return m_tbServer; }
    RowSet &tbGroupServer() { return m_tbGroupServer; }
    RowSet &qryAccount() { return m_qryAccount; }
    RowSet &qryArticle() { return m_qryArticle; }
    RowSet &qryAccount1() { return m_qryAccount1; }
    RowSet &qryArticleEdit() { return m_qryArticleEdit; }
    RowSet &qryIsGroup() { return m_qryIsGroup; }

    void commit();
    void rollback();

    // Makes everything changed so far durable, unless the newsgroups dialog holds
    // the transaction (it commits and rolls back by itself while it is open).
    void checkpoint();
    void holdCheckpoints(bool held) { m_checkpointsHeld = held; }
    bool checkpointsHeld() const { return m_checkpointsHeld; }
    // While deferred, a checkpoint makes the changes safe from a crash of the
    // program but does not wait for the disk: a power loss may take the last
    // ones, each whole. Only for work that the next run does again when its
    // result is missing. Ending the deferral flushes everything to the disk.
    void deferDiskFlush(bool deferred);

    void StartTransaction();

private:
    // The row sets in creation order, which is also the order they open in.
    std::array<RowSet *, 7> datasets();
    void MainConnectionAfterConnect();
    void MainConnectionCommitTransComplete();
    void MainConnectionRollbackTransComplete();
    void MainConnectionBeforeDisconnect();

    QString m_fileName;
    StoreConnection m_connection;
    bool m_storeOpen = false;
    bool m_checkpointsHeld = false;
    bool m_diskFlushDeferred = false;

    RowSet m_tbServer;
    RowSet m_tbGroupServer;
    RowSet m_qryAccount;
    RowSet m_qryArticle;
    RowSet m_qryAccount1;
    RowSet m_qryArticleEdit;
    RowSet m_qryIsGroup;
};
