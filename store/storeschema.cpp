#include "store/storeschema.h"

#include "store/storeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace StoreSchema {

namespace {

QString resource(const QString &name)
{
    QFile file(QStringLiteral(":/store/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("The store schema is missing from the program"));
    return QString::fromUtf8(file.readAll());
}

// A connection to an existing store, closed on every way out.
class Handle
{
public:
    explicit Handle(const QString &fileName)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK)
            throw StoreError(QStringLiteral("%1: %2").arg(fileName, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    ~Handle() { sqlite3_close(m_db); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    void exec(const QByteArray &sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return;
        const QString error = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_free(message);
        throw StoreError(error);
    }

    // Table names, lower-cased: the store compares names without regard to case.
    QSet<QString> tableNames()
    {
        QSet<QString> names;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &statement, nullptr)
            != SQLITE_OK)
            throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        while (sqlite3_step(statement) == SQLITE_ROW)
            names.insert(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))).toLower());
        sqlite3_finalize(statement);
        return names;
    }

    // A consistent copy of the whole store, whatever its write-ahead log holds.
    void copyTo(const QString &fileName)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, "VACUUM INTO ?", -1, &statement, nullptr) != SQLITE_OK)
            throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        const QByteArray name = QFile::encodeName(fileName);
        sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            throw StoreError(QStringLiteral("Cannot copy the store to %1: %2")
                                 .arg(fileName, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }

private:
    sqlite3 *m_db = nullptr;
};

// Makes the empty file a new store is written into, readable and writable by
// its owner alone whatever the umask: the store keeps passwords, and SQLite
// gives its -wal and -shm files the mode of the store.
bool createPrivateFile(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool privateMode = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return privateMode;
}

} // namespace

QString script()
{
    return resource(QStringLiteral("schema.sql"));
}

QString addedTablesScript()
{
    return resource(QStringLiteral("addedtables.sql"));
}

QStringList addedTableNames()
{
    static const QRegularExpression table(QStringLiteral(R"(CREATE\s+TABLE\s+IF\s+NOT\s+EXISTS\s+(\w+))"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression comment(QStringLiteral("--[^\n]*"));
    const QString statements = addedTablesScript().remove(comment);
    QStringList names;
    for (const QRegularExpressionMatch &match : table.globalMatch(statements))
        names << match.captured(1);
    return names;
}

QStringList upgrade(const QString &fileName, const QString &backupName)
{
    if (!QFileInfo::exists(fileName))
        throw StoreError(QStringLiteral("%1 does not exist").arg(fileName));
    Handle store(fileName);
    const QSet<QString> present = store.tableNames();
    QStringList missing;
    for (const QString &name : addedTableNames()) {
        if (!present.contains(name.toLower()))
            missing << name;
    }
    if (missing.isEmpty())
        return {};

    QFile::remove(backupName);
    store.copyTo(backupName);
    // The copy holds what the store holds, passwords included.
    QFile::setPermissions(backupName, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    store.exec("BEGIN IMMEDIATE;");
    try {
        store.exec(addedTablesScript().toUtf8());
        store.exec("COMMIT;");
    } catch (const StoreError &) {
        store.exec("ROLLBACK;");
        throw;
    }
    return missing;
}

void create(const QString &fileName, Tables tables)
{
    if (QFileInfo::exists(fileName))
        throw StoreError(QStringLiteral("%1 already exists; it was left as it is").arg(fileName));

    // Built under a temporary name and then moved in place, so that a failure
    // leaves no half-made store behind and an existing file is never replaced.
    const QString partial = fileName + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!createPrivateFile(partial)) {
        QFile::remove(partial);
        throw StoreError(QStringLiteral("Cannot create %1").arg(fileName));
    }
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    char *message = nullptr;
    if (rc == SQLITE_OK) {
        QByteArray sql = "PRAGMA journal_mode=WAL;\nBEGIN;\n" + script().toUtf8();
        if (tables == Tables::All)
            sql += "\n" + addedTablesScript().toUtf8();
        sql += "\nCOMMIT;";
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
    }
    const QString error = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(partial);
        throw StoreError(error);
    }
    // rename() does not replace an existing file, should one have appeared meanwhile.
    if (!QFile::rename(partial, fileName)) {
        QFile::remove(partial);
        throw StoreError(QStringLiteral("Cannot create %1").arg(fileName));
    }
}

} // namespace StoreSchema
