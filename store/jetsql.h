#pragma once
// The store keeps the conventions the program's statements and readers were
// written for: Yes/No held as -1 and 0, the literals true/false in statements,
// NULL read as 0, empty text or false, dates as local times. This is the one
// place that maps them onto SQLite.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace JetSql {

// Rewrites a statement for SQLite: the literals true and false (any case)
// outside quotes become -1 and 0. Everything else SQLite already reads alike.
QString toSqlite(const QString &statement);

// The named parameters of a statement (":Name"), as written, in order of first use.
QStringList parameterNames(const QString &statement);

// The table a single-table statement reads ("... FROM table ..."); empty when none.
QString baseTable(const QString &statement);

// A value as the store holds it: true -1, false 0, dates as text, a lone
// UTF-16 surrogate in a text as U+FFFD.
QVariant toStored(const QVariant &value);

// Reading a column: NULL gives 0, empty text, false or an invalid date.
int toInt(const QVariant &value);
QString toText(const QVariant &value);
bool toBool(const QVariant &value);
QDateTime toDateTime(const QVariant &value);

inline constexpr char kDateFormat[] = "yyyy-MM-dd HH:mm:ss";

} // namespace JetSql
