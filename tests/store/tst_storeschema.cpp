// Making a store and bringing an older one up to date: `init` makes the first
// design's tables and the added ones; `upgrade` adds only the missing added
// tables, after a private copy of the store as it was, and keeps every row;
// the connection tells a feature whether its table is there.

#include "store/storeconnection.h"
#include "store/storeerror.h"
#include "store/storeschema.h"
#include "tests/support/scratchstore.h"

#include <QtTest>

namespace {

QStringList tablesOf(const QString &file)
{
    QStringList names = ScratchStore::rowsOf(file,
                                             QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                                            "AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    return names;
}

const QStringList kFirstDesign
    = {QStringLiteral("Account"),       QStringLiteral("Article"),     QStringLiteral("Categories"),
       QStringLiteral("GroupCategory"), QStringLiteral("GroupServer"), QStringLiteral("Groups"),
       QStringLiteral("SentArticles"),  QStringLiteral("Servers")};

} // namespace

class tst_StoreSchema : public QObject
{
    Q_OBJECT
private slots:
    void firstDesignOnlyHasTheEightTables();
    void addedTablesAreNamedOnce();
    void upgradeOfACompleteStoreChangesNothing();
    void upgradeAddsTheMissingTablesAfterACopy();
    void upgradeOfAMissingFileFails();
    void hasTableIgnoresCase();
};

void tst_StoreSchema::firstDesignOnlyHasTheEightTables()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path, StoreSchema::Tables::FirstDesignOnly);
    QCOMPARE(tablesOf(path), kFirstDesign);
}

void tst_StoreSchema::addedTablesAreNamedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    QStringList expected = kFirstDesign + StoreSchema::addedTableNames();
    expected.sort(Qt::CaseSensitive);
    QCOMPARE(tablesOf(path), expected);
    QCOMPARE(QSet<QString>(expected.begin(), expected.end()).size(), expected.size());
}

void tst_StoreSchema::upgradeOfACompleteStoreChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    const QString backup = path + QStringLiteral(".bak");
    QCOMPARE(StoreSchema::upgrade(path, backup), QStringList());
    QVERIFY(!QFile::exists(backup));
}

void tst_StoreSchema::upgradeAddsTheMissingTablesAfterACopy()
{
    const QStringList added = StoreSchema::addedTableNames();
    if (added.isEmpty())
        QSKIP("no table has been added to the first design yet");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    const QString backup = path + QStringLiteral(".bak");
    StoreSchema::create(path, StoreSchema::Tables::FirstDesignOnly);
    ScratchStore::execOn(path, QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (7, 'sci.physics');"));
    // A stale copy from an earlier upgrade is replaced, not kept.
    QFile stale(backup);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();

    QCOMPARE(StoreSchema::upgrade(path, backup), added);

    QStringList expected = kFirstDesign + added;
    expected.sort(Qt::CaseSensitive);
    QCOMPARE(tablesOf(path), expected);
    QCOMPARE(ScratchStore::rowsOf(path, QStringLiteral("SELECT GroupName FROM Groups")),
             QStringList{QStringLiteral("sci.physics")});
    QCOMPARE(tablesOf(backup), kFirstDesign);
    QCOMPARE(ScratchStore::rowsOf(backup, QStringLiteral("SELECT GroupName FROM Groups")),
             QStringList{QStringLiteral("sci.physics")});
    QCOMPARE(QFile::permissions(backup) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    // Once up to date, a second upgrade leaves both files alone.
    QCOMPARE(StoreSchema::upgrade(path, backup), QStringList());
}

void tst_StoreSchema::upgradeOfAMissingFileFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    QVERIFY_THROWS_EXCEPTION(StoreError, StoreSchema::upgrade(path, path + QStringLiteral(".bak")));
    QVERIFY(!QFile::exists(path));
}

void tst_StoreSchema::hasTableIgnoresCase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path, StoreSchema::Tables::FirstDesignOnly);
    StoreConnection connection;
    connection.open(path);
    QVERIFY(connection.hasTable(QStringLiteral("SentArticles")));
    QVERIFY(connection.hasTable(QStringLiteral("sentarticles")));
    QVERIFY(!connection.hasTable(QStringLiteral("NoSuchTable")));
    for (const QString &name : StoreSchema::addedTableNames())
        QVERIFY2(!connection.hasTable(name), qPrintable(name));
}

QTEST_GUILESS_MAIN(tst_StoreSchema)
#include "tst_storeschema.moc"
