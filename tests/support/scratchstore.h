#pragma once
// A new empty store in a temporary directory, removed with the fixture.

#include "store/storeschema.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class ScratchStore
{
public:
    // FirstDesignOnly: a store made before the added tables.
    explicit ScratchStore(StoreSchema::Tables tables = StoreSchema::Tables::All);
    QString path() const { return m_dir.filePath(QStringLiteral("qa.mdb")); }
    QString dir() const { return m_dir.path(); }
    // Runs statements straight on the file, outside the program's connection.
    void exec(const QString &statements) const { execOn(path(), statements); }
    // Runs one statement whole, semicolons inside and all (a trigger's body),
    // with values bound to its "?" in order.
    void execWhole(const QString &statement, const QVariantList &values = {}) const;
    // The first column of the first row of a query as stored (invalid when none).
    QVariant value(const QString &query) const;
    // The rows of a query, each row's columns joined with "|", NULL shown as "NULL".
    QStringList rows(const QString &query) const { return rowsOf(path(), query); }

    // The same on any store file, e.g. one a program under test made.
    static void execOn(const QString &file, const QString &statements);
    static QStringList rowsOf(const QString &file, const QString &query);

private:
    QTemporaryDir m_dir;
};
