// The store keeps the passwords: a new store and its -wal and -shm files are
// readable by their owner alone whatever the umask, and an older store that
// others can read is recognised when it holds a password, its mode left alone
// until the user asks for it to be made private.

#include "store/dmod.h"
#include "store/storeprivacy.h"
#include "store/storeschema.h"
#include "tests/support/scratchstore.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

// The permission bits of a file as stat() gives them.
int modeOf(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 0777);
}

QString modes(const QString &store)
{
    return QStringLiteral("%1 %2 %3")
        .arg(modeOf(store), 0, 8)
        .arg(modeOf(store + QStringLiteral("-wal")), 0, 8)
        .arg(modeOf(store + QStringLiteral("-shm")), 0, 8);
}

// Restores the process's umask when the test ends, however it ends.
class UmaskScope
{
public:
    explicit UmaskScope(mode_t mask)
        : m_old(::umask(mask))
    {}
    ~UmaskScope() { ::umask(m_old); }

private:
    mode_t m_old;
};

} // namespace

class tst_StorePrivacy : public QObject
{
    Q_OBJECT
private slots:
    void newStoreIsPrivate_data();
    void newStoreIsPrivate();
    void exposedStore_data();
    void exposedStore();
};

void tst_StorePrivacy::newStoreIsPrivate_data()
{
    QTest::addColumn<int>("umask");
    QTest::newRow("umask 022") << 022;
    QTest::newRow("umask 077") << 077;
    QTest::newRow("umask 000") << 0;
}

void tst_StorePrivacy::newStoreIsPrivate()
{
    QFETCH(int, umask);
    UmaskScope scope(mode_t(umask));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    QCOMPARE(modeOf(path), 0600);

    // The write-ahead log and the shared memory exist while the store is open
    // and written to; SQLite makes them with the store's mode.
    Tdm dm(path);
    dm.DataModuleCreate();
    dm.MainConnection().execDirect(
        QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Password) VALUES (1, 'p', 'h', 's')"));
    dm.commit();
    QCOMPARE(modes(path), QStringLiteral("600 600 600"));
    QVERIFY(!StorePrivacy::exposed(path, dm.MainConnection()));
}

void tst_StorePrivacy::exposedStore_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("exposed");
    const QString none = QStringLiteral("INSERT INTO Servers (Code, ServerName, Password, ProxyPassword) "
                                        "VALUES (1, 'news.example.org', '', NULL)");
    const QString password = QStringLiteral("INSERT INTO Servers (Code, ServerName, RequiresLogin, Login, Password) "
                                            "VALUES (1, 'news.example.org', -1, 'ann', 'secret')");
    const QString proxy = QStringLiteral("INSERT INTO Servers (Code, ServerName, IsProxy, Host, ProxyLogin, "
                                         "ProxyPassword) VALUES (1, 'news.example.org', -1, 'proxy', 'ann', 'pw')");
    QTest::newRow("0644 with a news server password") << 0644 << password << true;
    QTest::newRow("0644 with a proxy password") << 0644 << proxy << true;
    QTest::newRow("0640 with a password") << 0640 << password << true;
    QTest::newRow("0604 with a password") << 0604 << password << true;
    QTest::newRow("0644 without a password") << 0644 << none << false;
    QTest::newRow("0600 with a password") << 0600 << password << false;
    QTest::newRow("0620 (others may write, not read)") << 0620 << password << false;
}

void tst_StorePrivacy::exposedStore()
{
    QFETCH(int, mode);
    QFETCH(QString, server);
    QFETCH(bool, exposed);
    ScratchStore store;
    store.exec(server);
    QVERIFY(::chmod(QFile::encodeName(store.path()).constData(), mode_t(mode)) == 0);

    Tdm dm(store.path());
    dm.DataModuleCreate();
    dm.MainConnection().execDirect(QStringLiteral("UPDATE Servers SET Port = 119"));
    dm.commit();
    QCOMPARE(StorePrivacy::exposed(store.path(), dm.MainConnection()), exposed);
    // Finding out changes nothing: the mode is the user's to change.
    const QString octal = QString::number(mode, 8);
    QCOMPARE(modes(store.path()), QStringLiteral("%1 %1 %1").arg(octal));

    QVERIFY(StorePrivacy::makePrivate(store.path()));
    QCOMPARE(modes(store.path()), QStringLiteral("600 600 600"));
    QVERIFY(!StorePrivacy::exposed(store.path(), dm.MainConnection()));
}

QTEST_GUILESS_MAIN(tst_StorePrivacy)
#include "tst_storeprivacy.moc"
