#include "tests/support/scratchstore.h"

#include "store/storeschema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTest>
#include <QUuid>

namespace {

// Runs fn on a short-lived connection of its own to the file.
template<typename Fn>
void withConnection(const QString &path, Fn fn)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            qFatal("scratch store: %s", qPrintable(db.lastError().text()));
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

ScratchStore::ScratchStore(StoreSchema::Tables tables)
{
    if (!m_dir.isValid())
        qFatal("scratch store: no temporary directory");
    StoreSchema::create(path(), tables);
}

void ScratchStore::execOn(const QString &file, const QString &statements)
{
    withConnection(file, [&](QSqlDatabase &db) {
        for (const QString &statement : statements.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (statement.trimmed().isEmpty())
                continue;
            QSqlQuery q(db);
            if (!q.exec(statement))
                qFatal("scratch store: %s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        }
    });
}

void ScratchStore::execWhole(const QString &statement, const QVariantList &values) const
{
    withConnection(path(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.prepare(statement))
            qFatal("scratch store: %s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        for (const QVariant &value : values)
            q.addBindValue(value);
        if (!q.exec())
            qFatal("scratch store: %s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
    });
}

QVariant ScratchStore::value(const QString &query) const
{
    QVariant result;
    withConnection(path(), [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(query))
            qFatal("scratch store: %s: %s", qPrintable(query), qPrintable(q.lastError().text()));
        if (q.next())
            result = q.value(0);
    });
    return result;
}

QStringList ScratchStore::rowsOf(const QString &file, const QString &query)
{
    QStringList result;
    withConnection(file, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(query))
            qFatal("scratch store: %s: %s", qPrintable(query), qPrintable(q.lastError().text()));
        while (q.next()) {
            QStringList columns;
            for (int i = 0; i < q.record().count(); ++i)
                columns << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            result << columns.join(QLatin1Char('|'));
        }
    });
    return result;
}
