#include "exchange/newsaccess.h"

#include "store/columns.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "transport/nntpmessage.h"

NewsAccess &NewsAccess::of(Tdm &dm)
{
    if (NewsAccess *access = dm.findChild<NewsAccess *>(QString(), Qt::FindDirectChildrenOnly))
        return *access;
    return *new NewsAccess(dm);
}

NewsAccess::NewsAccess(Tdm &dm)
    : QObject(&dm)
    , m_client(std::make_unique<NewsClient>())
    , m_msgNNTP(std::make_unique<NntpMessage>())
{
    setObjectName(QStringLiteral("newsAccess"));
}

NewsAccess::~NewsAccess() = default;

void NewsAccess::useServer(const RowSet &server)
{
    m_client->setSettings(serverSettings(server, m_client->settings()));
}

NewsClientSettings serverSettings(const RowSet &server, NewsClientSettings settings)
{
    settings.Host = server.asString(Column::ServerName);
    const int port = server.asInt(Column::Port);
    settings.Port = port != 0 ? port : 119;
    const bool login = server.asBool(Column::RequiresLogin);
    settings.UserId = login ? server.asString(QStringLiteral("Login")) : QString();
    settings.Password = login ? server.asString(QStringLiteral("Password")) : QString();
    SocksSettings &socks = settings.SocksInfo;
    if (!server.asBool(Column::IsProxy)) {
        // The other proxy fields keep what they held; unused without a proxy.
        socks.Authentication = SocksAuthentication::saNoAuthentication;
        socks.Version = SocksVersion::svNoSocks;
    } else {
        socks.Authentication = SocksAuthentication::saUsernamePassword;
        socks.Host = server.asString(QStringLiteral("Host"));
        socks.UserID = server.asString(QStringLiteral("ProxyLogin"));
        socks.Password = server.asString(QStringLiteral("ProxyPassword"));
        socks.Port = server.asInt(QStringLiteral("ProxyPort"));
        socks.Version = SocksVersion::svSocks5;
    }
    return settings;
}
