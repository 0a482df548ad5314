#include "store/storeconnection.h"

#include "store/jetsql.h"
#include "store/storeerror.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("MainConnection-%1").arg(counter.fetchAndAddRelaxed(1));
}

// The engine's handle behind Qt's connection, for what Qt does not tell: whether
// a transaction is still open.
sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

} // namespace

StoreConnection::StoreConnection() = default;

StoreConnection::~StoreConnection()
{
    close();
}

void StoreConnection::open(const QString &fileName)
{
    close();
    m_name = nextConnectionName();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // A URI in mode "rw" refuses to create a missing file; the busy timeout keeps
    // a store locked by another process from freezing the program for long.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
    const QByteArray path = QUrl::toPercentEncoding(fileName, "/");
    m_db.setDatabaseName(QStringLiteral("file:%1?mode=rw").arg(QString::fromLatin1(path)));
    if (!m_db.open()) {
        const QString text = m_db.lastError().text();
        close();
        throw StoreError(text);
    }
    // Opening a file that is not a database succeeds; the first statement fails.
    QSqlQuery probe(m_db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QString text = probe.lastError().text();
        probe = QSqlQuery();
        close();
        throw StoreError(text);
    }
}

void StoreConnection::close()
{
    if (m_name.isEmpty())
        return;
    m_keeper = nullptr;
    m_tables.reset();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool StoreConnection::isOpen() const
{
    return m_db.isOpen();
}

bool StoreConnection::hasTable(const QString &name) const
{
    if (!m_tables) {
        QSet<QString> tables;
        QSqlQuery query(m_db);
        if (query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
            while (query.next())
                tables.insert(query.value(0).toString().toLower());
        }
        m_tables = std::move(tables);
    }
    return m_tables->contains(name.toLower());
}

bool StoreConnection::inTransaction() const
{
    sqlite3 *handle = handleOf(m_db);
    return handle && !sqlite3_get_autocommit(handle);
}

bool StoreConnection::setCommitsWaitForDisk(bool wait)
{
    QSqlQuery q(m_db);
    if (!wait) {
        if (!q.exec(QStringLiteral("PRAGMA journal_mode")))
            throw StoreError(q.lastError().text());
        if (!q.next() || q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            return false;
    }
    if (!q.exec(wait ? QStringLiteral("PRAGMA synchronous=FULL") : QStringLiteral("PRAGMA synchronous=NORMAL")))
        throw StoreError(q.lastError().text());
    // Folding the log into the file waits for the disk twice. A long run of
    // small commits folds it in bigger steps (32 MB of log at most) and leaves
    // the rest to the next commit that waits.
    if (!q.exec(wait ? QStringLiteral("PRAGMA wal_autocheckpoint=1000")
                     : QStringLiteral("PRAGMA wal_autocheckpoint=8192")))
        throw StoreError(q.lastError().text());
    return true;
}

void StoreConnection::flushCommitsToDisk()
{
    // Commits that did not wait sit in the write-ahead log; syncing it is what
    // a waiting commit does.
    sqlite3 *handle = handleOf(m_db);
    sqlite3_file *log = nullptr;
    if (!handle || sqlite3_file_control(handle, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK || !log
        || !log->pMethods)
        return;
    const int rc = log->pMethods->xSync(log, SQLITE_SYNC_FULL);
    if (rc != SQLITE_OK)
        throw StoreError(QString::fromUtf8(sqlite3_errstr(rc)));
}

void StoreConnection::begin()
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("BEGIN")))
        throw StoreError(q.lastError().text());
}

void StoreConnection::commit()
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("COMMIT")))
        fail(q.lastError().text());
}

void StoreConnection::rollback()
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("ROLLBACK")))
        fail(q.lastError().text());
}

void StoreConnection::prepare(QSqlQuery &query, const QString &statement)
{
    if (!isOpen())
        throw StoreError(QStringLiteral("The store is not open"));
    query = QSqlQuery(m_db);
    if (!query.prepare(JetSql::toSqlite(statement)))
        fail(query.lastError().text());
}

void StoreConnection::exec(QSqlQuery &query)
{
    keepTransaction();
    if (query.exec())
        return;
    if (renewStaleReadTransaction() && query.exec())
        return;
    fail(query.lastError().text());
}

bool StoreConnection::renewStaleReadTransaction()
{
    // Another process (quorbic-cli run by a schedule, say) committed since this
    // transaction first read the store, so it may not write on that old view.
    // When it has written nothing yet, nothing is lost by starting afresh.
    sqlite3 *handle = handleOf(m_db);
    if (!handle || !m_keeper || sqlite3_extended_errcode(handle) != SQLITE_BUSY_SNAPSHOT
        || sqlite3_txn_state(handle, "main") != SQLITE_TXN_READ)
        return false;
    QSqlQuery end(m_db);
    if (!end.exec(QStringLiteral("COMMIT")))
        return false;
    m_keeper();
    return true;
}

void StoreConnection::execDirect(const QString &statement)
{
    QSqlQuery query;
    prepare(query, statement);
    exec(query);
}

void StoreConnection::keepTransaction()
{
    if (m_keeper && isOpen() && !inTransaction())
        m_keeper();
}

void StoreConnection::fail(const QString &text)
{
    // SQLite rolls the whole transaction back by itself after some failures
    // (SQLITE_FULL, certain I/O errors); begin the next one before reporting,
    // so that later statements never run one by one in autocommit.
    try {
        keepTransaction();
    } catch (const StoreError &) {
        // The original failure is the one to report; the next statement retries.
    }
    throw StoreError(text);
}
