#pragma once
// RFC 2047 encoded-words for header text (Subject, Organization, a From name).

#include <QByteArray>

class QString;
struct ArticleCharsets;

namespace HeaderEncoding {

enum class Context {
    Text, // unstructured text: Subject, Organization
    Phrase, // a display name; RFC 822 specials may not stand in it unquoted
};

// Words that need no encoding stay as they are; each run of words that do
// (non-ASCII or control characters, more characters than a header line may
// hold, and in a phrase also RFC 822 specials) is replaced by
// encoded-words in the charset and letter of the given set. A run the set's
// charset cannot hold is written in UTF-8 instead, so that no character turns
// into "?". Text with no such word comes back unchanged.
QByteArray encode(const QString &text, const ArticleCharsets &charsets, Context context = Context::Text);

// A header value with each CR and LF replaced by a blank, so that no value
// can end its header line and start a header of its own.
QString singleLine(const QString &value);

// True when the text holds a character below 32 or from 127 up.
bool needsEncoding(const QString &text);

} // namespace HeaderEncoding
