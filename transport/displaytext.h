#pragma once
// Text of received articles made readable. The store keeps headers and bodies
// of answers as the bytes that came from the server; they are decoded only
// where they are shown or reused: RFC 2047 encoded-words in headers, and bodies
// in UTF-8 when they are valid UTF-8, else in Windows-1252 (what 8-bit news
// bodies nearly always are).

#include <QByteArray>
#include <QString>

class QVariant;

namespace DisplayText {

// A header value as received: encoded-words (B and Q, any charset the system
// knows) decoded, adjacent ones joined, malformed ones left as they stand;
// the bytes around them read like a body.
QString header(const QByteArray &raw);
// A body as received.
QString body(const QByteArray &raw);

// A column as the store returns it: received bytes are decoded as above; text
// the user typed is returned as it is, a header with its encoded-words decoded.
QString header(const QVariant &stored);
QString body(const QVariant &stored);

} // namespace DisplayText
