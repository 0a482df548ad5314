#pragma once
// Making an empty store. The program itself only opens stores; this is what
// `quorbic-cli init` and the tests use to make one.

#include <QString>

namespace StoreSchema {

// The schema as one script of statements.
QString script();

// Writes a new store with the schema at fileName. Refuses, touching nothing,
// when the file exists; throws StoreError with the reason.
void create(const QString &fileName);

} // namespace StoreSchema
