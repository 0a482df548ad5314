#pragma once
// The lines of LIST and LIST NEWSGROUPS read in place: a list of 100,000
// lines would otherwise cost a copy of every field of every line.

#include <QByteArrayView>
#include <QString>

#include <optional>

// One LIST line: "name high low status", fields separated by runs of blanks.
// Each view points into the line it was read from.
struct ListLine
{
    QByteArrayView name;
    std::optional<quint64> high; // none when the field is no number
    std::optional<quint64> low;
    QByteArrayView rest; // the status field (and whatever follows it)
};

// False for a line that names no group (blank).
bool readListLine(QByteArrayView text, ListLine &line);

// The status of a LIST line as shown: its one field, or the rest simplified.
QString listStatus(QByteArrayView rest);

// One LIST NEWSGROUPS line: the name ends at the first tab or blank (INN and
// leafnode put a tab, sn blanks); the description is the rest, trimmed.
// False for a line that names no group.
bool readDescriptionLine(QByteArrayView text, QByteArrayView &name, QByteArrayView &description);
