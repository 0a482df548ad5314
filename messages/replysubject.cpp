#include "messages/replysubject.h"

namespace ReplySubject {

QString of(const QString &subject)
{
    const QString prefix = QLatin1String(kPrefix);
    if (subject.startsWith(prefix, Qt::CaseSensitive))
        return subject;
    return prefix + subject;
}

} // namespace ReplySubject
