// Copying a server row into the news client's settings before each connection.

#include "exchange/newsaccess.h"
#include "store/dmod.h"
#include "tests/support/scratchstore.h"
#include "transport/newsclient.h"

#include <QTest>

class tst_ServerSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void copiesServerRows();
};

void tst_ServerSettings::copiesServerRows()
{
    ScratchStore store;
    store.exec(QStringLiteral(
        // 1: port 0, a login filled in but not required
        "INSERT INTO Servers (ServerName, Port, RequiresLogin, Login, Password) VALUES ('plain.example', 0, 0, 'me', 'pw');"
        // 2: login required, proxy with an empty login and port 0
        "INSERT INTO Servers (ServerName, Port, RequiresLogin, Login, Password, IsProxy, Host, ProxyPort, ProxyLogin, ProxyPassword)"
        "  VALUES ('via.example', 1119, -1, 'me', 'pw', -1, 'proxy.example', 0, NULL, 'ppw');"
        // 3: NULL port and NULL IsProxy after a proxy row
        "INSERT INTO Servers (ServerName) VALUES ('null.example')"));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    RowSet &servers = dm.tbServer();
    const NewsClientSettings &s = NewsAccess::of(dm).client().settings();

    QCOMPARE(s.NewsAgent, QStringLiteral("Quorbic 1.0"));
    QVERIFY(s.SocksInfo.Version == SocksVersion::svSocks5); // until a row is copied

    servers.setRow(0);
    NewsAccess::of(dm).useServer(servers);
    QCOMPARE(s.Host, QStringLiteral("plain.example"));
    QCOMPARE(s.Port, 119);
    QCOMPARE(s.UserId, QString());
    QCOMPARE(s.Password, QString());
    QVERIFY(s.SocksInfo.Version == SocksVersion::svNoSocks);
    QVERIFY(s.SocksInfo.Authentication == SocksAuthentication::saNoAuthentication);

    servers.setRow(1);
    NewsAccess::of(dm).useServer(servers);
    QCOMPARE(s.Port, 1119);
    QCOMPARE(s.UserId, QStringLiteral("me"));
    QCOMPARE(s.Password, QStringLiteral("pw"));
    QVERIFY(s.SocksInfo.Version == SocksVersion::svSocks5);
    QVERIFY(s.SocksInfo.Authentication == SocksAuthentication::saUsernamePassword);
    QCOMPARE(s.SocksInfo.Host, QStringLiteral("proxy.example"));
    QCOMPARE(s.SocksInfo.Port, 0); // no default for the proxy's port
    QCOMPARE(s.SocksInfo.UserID, QString());
    QCOMPARE(s.SocksInfo.Password, QStringLiteral("ppw"));

    servers.setRow(2);
    NewsAccess::of(dm).useServer(servers);
    QCOMPARE(s.Host, QStringLiteral("null.example"));
    QCOMPARE(s.Port, 119);
    QVERIFY(s.SocksInfo.Version == SocksVersion::svNoSocks);
    // The previous proxy settings stay, unused.
    QCOMPARE(s.SocksInfo.Host, QStringLiteral("proxy.example"));
    QCOMPARE(s.SocksInfo.Password, QStringLiteral("ppw"));
}

QTEST_GUILESS_MAIN(tst_ServerSettings)
#include "tst_serversettings.moc"
