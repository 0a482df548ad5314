#include "messages/postchecks.h"

namespace PostChecks {

namespace {

Failure fail(Field field, const char *reason)
{
    return {field, QLatin1String(reason)};
}

bool hasAccount(const Message &message)
{
    return message.account != 0 && message.accountListed;
}

} // namespace

Failure question(const Message &message)
{
    if (message.category == 0)
        return fail(Field::Category, kNoCategory);
    if (!hasAccount(message))
        return fail(Field::Account, kNoAccount);
    if (message.subject.isEmpty())
        return fail(Field::Subject, kNoSubject);
    if (message.body.isEmpty())
        return fail(Field::Body, kNoBody);
    return {};
}

Failure reply(const Message &message)
{
    if (message.subject.isEmpty())
        return fail(Field::Subject, kNoSubject);
    if (message.body.isEmpty())
        return fail(Field::Body, kNoBody);
    if (!hasAccount(message))
        return fail(Field::Account, kNoAccount);
    return {};
}

QString boxText(const QString &reason)
{
    return QLatin1String(kNotSent) + QLatin1String("\r\r") + reason;
}

} // namespace PostChecks
