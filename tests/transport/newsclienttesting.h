#pragma once
// Shared by the news client tests: a client pointed at a fake server, script
// pieces, and failures turned into text for comparison in data tables.

#include "tests/support/fakenewsserver.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"

#include <QString>

namespace NewsClientTesting {

// The greeting and "mode reader" of an ordinary session, and its orderly end.
inline const QString Opening = QStringLiteral("S: 200 fake news ready\nC: mode reader\nS: 200 reader mode\n");
inline const QString Closing = QStringLiteral("C: Quit\n* closed");

// Generous limits, so a loaded machine does not fail a test; tests of the
// limits themselves set short ones.
inline void pointAt(NewsClient &client, const FakeNewsServer &server, const QString &user = {},
                    const QString &password = {})
{
    NewsClientSettings settings = client.settings();
    settings.Host = server.host();
    settings.Port = server.port();
    settings.UserId = user;
    settings.Password = password;
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    client.setSettings(settings);
    NewsClientLimits limits;
    limits.connectTimeoutMs = 10000;
    limits.idleTimeoutMs = 10000;
    client.setLimits(limits);
}

// The failure thrown by f as "Kind: text" (with the code or number where the
// kind carries one); empty when f succeeds.
template<typename F>
QString failureOf(F &&f)
{
    try {
        f();
        return QString();
    } catch (const ConnectionRefused &e) {
        return QStringLiteral("ConnectionRefused %1: %2").arg(e.code()).arg(e.text());
    } catch (const SocketError &e) {
        return QStringLiteral("SocketError %1: %2").arg(e.errorNumber()).arg(e.text());
    } catch (const ConnectionClosed &e) {
        return QStringLiteral("ConnectionClosed: ") + e.text();
    } catch (const ReplyError &e) {
        return QStringLiteral("ReplyError %1: %2").arg(e.code()).arg(e.text());
    } catch (const ClientError &e) {
        return QStringLiteral("ClientError: ") + e.text();
    }
}

} // namespace NewsClientTesting
