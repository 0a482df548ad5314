#pragma once
// The one connection to the store file. It never creates the file, keeps the
// engine's lock wait short, runs every statement through one checked path, and
// makes sure that no statement runs outside a transaction while the owner
// keeps one open.

#include <QSqlDatabase>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

class QSqlQuery;

class StoreConnection
{
public:
    StoreConnection();
    ~StoreConnection();
    StoreConnection(const StoreConnection &) = delete;
    StoreConnection &operator=(const StoreConnection &) = delete;

    // Opens an existing store; a missing, unreadable, locked or non-database
    // file throws StoreError with the engine's text and leaves no file behind.
    void open(const QString &fileName);
    void close();
    bool isOpen() const;
    QSqlDatabase database() const { return m_db; }

    void begin();
    void commit();
    void rollback();
    // Whether a commit waits until the disk holds it (the default) or only
    // until the file does: then it survives a crash of the program, and a power
    // loss may take the last commits whole, never part of one. Only a store in
    // WAL mode, which stays sound either way, lets the wait go; the answer says
    // whether it did; the log is then folded into the file less often. Called
    // between transactions.
    bool setCommitsWaitForDisk(bool wait);
    // Waits until the disk holds every commit made so far.
    void flushCommitsToDisk();
    // True while a transaction is open in the engine (not merely believed open).
    bool inTransaction() const;
    // Whether the store has the table (names compare without regard to case).
    // A feature kept in a table added after the first design asks this and is
    // off in a store made before it; the answer is read once per open.
    bool hasTable(const QString &name) const;

    // While set, a statement that finds no open transaction (SQLite ends it by
    // itself after a full disk and some I/O errors) first calls this to begin
    // the next one, and a statement whose failure ended it calls it at once.
    void setTransactionKeeper(std::function<void()> keeper) { m_keeper = std::move(keeper); }

    // Prepares a statement as written in the program (rewritten for SQLite).
    void prepare(QSqlQuery &query, const QString &statement);
    // Runs a prepared statement; throws StoreError with the engine's text.
    void exec(QSqlQuery &query);
    // Prepares and runs a statement without parameters.
    void execDirect(const QString &statement);

private:
    void keepTransaction();
    bool renewStaleReadTransaction();
    [[noreturn]] void fail(const QString &text);

    QSqlDatabase m_db;
    QString m_name;
    std::function<void()> m_keeper;
    mutable std::optional<QSet<QString>> m_tables;
};
