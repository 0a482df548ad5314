#include "store/storeschema.h"

#include "store/storeerror.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace StoreSchema {

QString script()
{
    QFile file(QStringLiteral(":/store/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("The store schema is missing from the program"));
    return QString::fromUtf8(file.readAll());
}

void create(const QString &fileName)
{
    if (QFileInfo::exists(fileName))
        throw StoreError(QStringLiteral("%1 already exists; it was left as it is").arg(fileName));

    // Built under a temporary name and then moved in place, so that a failure
    // leaves no half-made store behind and an existing file is never replaced.
    const QString partial = fileName + QStringLiteral(".partial");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    char *message = nullptr;
    if (rc == SQLITE_OK) {
        const QByteArray sql = "PRAGMA journal_mode=WAL;\nBEGIN;\n" + script().toUtf8() + "\nCOMMIT;";
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
