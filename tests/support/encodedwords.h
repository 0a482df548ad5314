#pragma once
// Decodes RFC 2047 encoded-words in an unfolded header value, independently of
// the composer's encoder, so tests can check that what a server stored reads
// back as the text that was posted.

#include <QByteArray>
#include <QString>

// Encoded-words ("=?charset?Q|B?text?=") become their text; blanks between two
// adjacent encoded-words are dropped; everything else is read as Latin-1.
// Sets *ok to false for an unknown charset or a malformed word.
QString decodeEncodedWords(const QByteArray &value, bool *ok = nullptr);
