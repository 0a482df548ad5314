#pragma once
// Runs a news-client operation and reports which failure kind it threw, so a
// test can compare kinds, texts and numbers in a table. The kinds are tested
// from the most to the least specific, as the callers of the client do.

#include "transport/clienterrors.h"

#include <QString>

struct ClientFailure
{
    QString kind = QStringLiteral("none");
    QString text;
    int number = 0; // the reply code of a ReplyError, the error number of a SocketError

    QString describe() const
    {
        return kind == QLatin1String("none") ? QStringLiteral("no failure")
                                             : QStringLiteral("%1 (%2): %3").arg(kind).arg(number).arg(text);
    }
};

template<typename Operation>
ClientFailure failureOf(Operation &&operation)
{
    try {
        operation();
    } catch (const ConnectionRefused &e) {
        return {QStringLiteral("ConnectionRefused"), e.text(), e.code()};
    } catch (const SocketError &e) {
        return {QStringLiteral("SocketError"), e.text(), e.errorNumber()};
    } catch (const ConnectionClosed &e) {
        return {QStringLiteral("ConnectionClosed"), e.text(), 0};
    } catch (const ReplyError &e) {
        return {QStringLiteral("ReplyError"), e.text(), e.code()};
    } catch (const ClientError &e) {
        return {QStringLiteral("ClientError"), e.text(), 0};
    }
    return {};
}
