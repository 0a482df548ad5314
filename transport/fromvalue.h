#pragma once
// The value of the From header of a posted article.

#include <QByteArray>

class QString;
struct ArticleCharsets;

// The address alone when the display name is empty. Otherwise the name, then
// a blank and the address in angle brackets: a name of plain ASCII is written
// between double quotes (with "\" and the double quote escaped by "\"), a name
// with characters below 32 or from 127 up as RFC 2047 encoded-words.
// CR and LF in name or address become blanks.
QByteArray fromHeaderValue(const QString &name, const QString &address, const ArticleCharsets &charsets);
