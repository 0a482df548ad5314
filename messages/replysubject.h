#pragma once
// The subject of a reply: the answered message's subject with "Re:" in front,
// unless it already begins with exactly "Re:" (compared with case, so "RE:"
// and "re:" get another one). No blank is added after "Re:".

#include <QString>

namespace ReplySubject {

inline constexpr char kPrefix[] = "Re:";

QString of(const QString &subject);

} // namespace ReplySubject
