#pragma once
// Making an empty store. The program itself only opens stores; this is what
// `quorbic-cli init` and the tests use to make one.

#include <QString>
#include <QStringList>

namespace StoreSchema {

// The eight tables of the store's first design, as one script of statements.
QString script();
// The tables added since, each made only when missing (CREATE ... IF NOT EXISTS).
QString addedTablesScript();
// The names of the tables the added-tables script makes, in its order.
QStringList addedTableNames();

enum class Tables { All, FirstDesignOnly };

// Writes a new store at fileName: the first design's tables and, unless told
// otherwise (tests of older stores), the added ones. Refuses, touching nothing,
// when the file exists; throws StoreError with the reason.
void create(const QString &fileName, Tables tables = Tables::All);

// Adds the missing added tables to the store at fileName, after copying it as
// it was to backupName (replacing an older copy there). Returns the names of
// the tables it added; with none missing it copies nothing and returns none.
// Throws StoreError, leaving the store as it was, on any failure.
QStringList upgrade(const QString &fileName, const QString &backupName);

} // namespace StoreSchema
