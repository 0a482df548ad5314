// The data module: opening without ever creating the file, the one long
// transaction, durability at each checkpoint, and a transaction that SQLite
// ended by itself.

#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "tests/support/scratchstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <unistd.h>

namespace {

void addQuestion(Tdm &dm, const QString &subject, const QString &body = {})
{
    RowSet &edit = dm.qryArticleEdit();
    edit.setParam(QStringLiteral("Code"), 0);
    edit.reopen();
    edit.append();
    edit.setValue(QStringLiteral("Folder"), 2);
    edit.setValue(QStringLiteral("Subject"), subject);
    edit.setValue(QStringLiteral("Body"), body);
    edit.post();
}

// What another process would see of the store right now.
QStringList subjectsSeenOutside(const ScratchStore &store)
{
    return store.rows(QStringLiteral("SELECT Subject FROM Article ORDER BY Code"));
}

} // namespace

class tst_Dmod : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reportsStoresThatCannotOpen_data();
    void reportsStoresThatCannotOpen();
    void waitsOnlyBrieflyForALockedStore();
    void keepsOneTransactionOpen();
    void checkpointMakesWorkDurable();
    void deferredDiskWait_data();
    void deferredDiskWait();
    void rollbackDiscardsOnlySinceLastCommit();
    void closingCommits();
    void survivesAKillAfterACheckpoint();
    void beginsAnewWhenAFullDiskEndsTheTransaction();
    void writesAfterAnotherProcessCommitted();
};

void tst_Dmod::reportsStoresThatCannotOpen_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("error");
    QTest::newRow("missing file") << QByteArray() << "unable to open database file";
    QTest::newRow("a text file named qa.mdb")
        << QByteArray("Dear user,\nthis is no store.\n") << "file is not a database";
}

void tst_Dmod::reportsStoresThatCannotOpen()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qa.mdb"));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    Tdm dm(path);
    try {
        dm.DataModuleCreate();
        QFAIL("the store opened");
    } catch (const StoreError &e) {
        QVERIFY2(e.text().contains(error), qPrintable(e.text()));
    }
    QVERIFY(!dm.StoreOpen());
    QVERIFY(!dm.MainConnection().isOpen());
    // Nothing was made or changed beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), content.isEmpty() ? QStringList() : QStringList{"qa.mdb"});
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

void tst_Dmod::waitsOnlyBrieflyForALockedStore()
{
    ScratchStore store;
    // Another program holds the file exclusively.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(store.path());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")));
        QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Groups (GroupName) VALUES ('x')")));

        Tdm dm(store.path());
        QVERIFY_THROWS_EXCEPTION(StoreError, dm.DataModuleCreate());
        // The engine waits about a second for the lock, then gives up: long
        // enough for another program's commit, short enough not to freeze.
        QElapsedTimer waited;
        waited.start();
        try {
            dm.DataModuleCreate();
            QFAIL("opened a store another program holds exclusively");
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(QLatin1String("database is locked")), qPrintable(e.text()));
        }
        QVERIFY2(waited.elapsed() >= 900, qPrintable(QString::number(waited.elapsed())));
        QVERIFY2(waited.elapsed() < 5000, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        q = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));

    // Another program is writing: this one opens, its own write is refused
    // while the other holds the write lock, and goes through afterwards.
    ScratchStore shared;
    Tdm dm(shared.path());
    dm.DataModuleCreate();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
        other.setDatabaseName(shared.path());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        try {
            addQuestion(dm, QStringLiteral("while locked"));
            QFAIL("wrote into a locked store");
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(QLatin1String("database is locked")), qPrintable(e.text()));
        }
        QVERIFY(q.exec(QStringLiteral("COMMIT")));
        q = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    dm.qryArticleEdit().cancel();
    addQuestion(dm, QStringLiteral("after the lock"));
    dm.checkpoint();
    QCOMPARE(subjectsSeenOutside(shared), QStringList{"after the lock"});
}

void tst_Dmod::keepsOneTransactionOpen()
{
    ScratchStore store;
    Tdm dm(store.path());
    dm.DataModuleCreate();
    QVERIFY(dm.StoreOpen());
    QVERIFY(dm.MainConnection().inTransaction());
    for (RowSet *set : {&dm.tbServer(), &dm.tbGroupServer(), &dm.qryAccount(), &dm.qryArticle(), &dm.qryAccount1(),
                        &dm.qryArticleEdit(), &dm.qryIsGroup()})
        QVERIFY2(set->isOpen(), qPrintable(set->name()));
    dm.commit();
    QVERIFY(dm.MainConnection().inTransaction());
    dm.rollback();
    QVERIFY(dm.MainConnection().inTransaction());
    dm.close();
    QVERIFY(!dm.StoreOpen());
}

void tst_Dmod::checkpointMakesWorkDurable()
{
    ScratchStore store;
    Tdm dm(store.path());
    dm.DataModuleCreate();
    addQuestion(dm, QStringLiteral("kept"));
    QCOMPARE(subjectsSeenOutside(store), QStringList{});
    dm.checkpoint();
    QCOMPARE(subjectsSeenOutside(store), QStringList{"kept"});
    QVERIFY(dm.MainConnection().inTransaction());

    // While the newsgroups dialog holds the transaction, only its own commits count.
    dm.holdCheckpoints(true);
    addQuestion(dm, QStringLiteral("held"));
    dm.checkpoint();
    QCOMPARE(subjectsSeenOutside(store), QStringList{"kept"});
    dm.holdCheckpoints(false);
    dm.checkpoint();
    QCOMPARE(subjectsSeenOutside(store), (QStringList{"kept", "held"}));
}

void tst_Dmod::deferredDiskWait_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<int>("deferred"); // PRAGMA synchronous while deferred
    QTest::newRow("write-ahead log: commits stop waiting") << "wal" << 1;
    // With a rollback journal, commits that do not wait could leave a damaged
    // file after a power loss: they keep waiting.
    QTest::newRow("rollback journal: commits keep waiting") << "delete" << 2;
}

void tst_Dmod::deferredDiskWait()
{
    QFETCH(QString, journal);
    QFETCH(int, deferred);
    ScratchStore store;
    store.exec(QStringLiteral("PRAGMA journal_mode=") + journal);
    Tdm dm(store.path());
    dm.DataModuleCreate();
    const auto pragma = [&dm](const QString &name) {
        QSqlQuery q(dm.MainConnection().database());
        return q.exec(QStringLiteral("PRAGMA ") + name) && q.next() ? q.value(0).toInt() : -1;
    };
    const auto synchronous = [&pragma] { return pragma(QStringLiteral("synchronous")); };
    addQuestion(dm, QStringLiteral("before"));
    dm.deferDiskFlush(true);
    // Deferring commits what was pending, and checkpoints still commit.
    QCOMPARE(subjectsSeenOutside(store), QStringList{QStringLiteral("before")});
    QCOMPARE(synchronous(), deferred);
    QCOMPARE(pragma(QStringLiteral("wal_autocheckpoint")), deferred == 1 ? 8192 : 1000);
    QVERIFY(dm.MainConnection().inTransaction());
    addQuestion(dm, QStringLiteral("while deferred"));
    dm.checkpoint();
    QCOMPARE(subjectsSeenOutside(store), (QStringList{QStringLiteral("before"), QStringLiteral("while deferred")}));
    dm.deferDiskFlush(false);
    QCOMPARE(synchronous(), 2);
    QCOMPARE(pragma(QStringLiteral("wal_autocheckpoint")), 1000);
    QVERIFY(dm.MainConnection().inTransaction());
    QCOMPARE(store.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
}

void tst_Dmod::rollbackDiscardsOnlySinceLastCommit()
{
    ScratchStore store;
    Tdm dm(store.path());
    dm.DataModuleCreate();
    addQuestion(dm, QStringLiteral("before the dialog"));
    dm.commit(); // the newsgroups dialog commits as it opens
    SqlCommand(dm.MainConnection(), QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)"))
        .bind(QStringLiteral("GRPNAME"), QStringLiteral("comp.test"))
        .exec();
    dm.rollback(); // ... and rolls back on Cancel
    QCOMPARE(subjectsSeenOutside(store), QStringList{"before the dialog"});
    QCOMPARE(store.rows(QStringLiteral("SELECT count(*) FROM Groups")), QStringList{"0"});
}

void tst_Dmod::closingCommits()
{
    ScratchStore store;
    {
        Tdm dm(store.path());
        dm.DataModuleCreate();
        addQuestion(dm, QStringLiteral("at exit"));
        dm.close();
        QVERIFY(!dm.MainConnection().isOpen());
    }
    QCOMPARE(subjectsSeenOutside(store), QStringList{"at exit"});
}

void tst_Dmod::survivesAKillAfterACheckpoint()
{
    ScratchStore store;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), store.path()});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(child.canReadLine() || child.state() == QProcess::NotRunning, 20000);
    QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());

    QCOMPARE(subjectsSeenOutside(store), QStringList{"checkpointed"});
    QCOMPARE(store.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
    Tdm dm(store.path());
    dm.DataModuleCreate();
    RowSet all(dm.MainConnection(), QStringLiteral("SELECT * FROM Article"));
    all.open();
    QCOMPARE(all.rowCount(), 1);
}

void tst_Dmod::beginsAnewWhenAFullDiskEndsTheTransaction()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    QTemporaryDir mountPoint;
    if (::mount("tmpfs", qPrintable(mountPoint.path()), "tmpfs", 0, "size=400k") != 0)
        QSKIP("this machine refuses to mount a tmpfs");
    auto unmount = qScopeGuard([&] { ::umount2(qPrintable(mountPoint.path()), MNT_DETACH); });

    const QString path = mountPoint.filePath(QStringLiteral("qa.mdb"));
    {
        ScratchStore seed; // made elsewhere, then copied onto the small disk
        QVERIFY(QFile::copy(seed.path(), path));
    }
    Tdm dm(path);
    dm.DataModuleCreate();
    const QString bulk(20000, QLatin1Char('x'));
    bool full = false;
    for (int i = 0; i < 1000 && !full; ++i) {
        try {
            addQuestion(dm, QStringLiteral("filler %1").arg(i), bulk);
        } catch (const StoreError &e) {
            QVERIFY2(e.text().contains(QLatin1String("full")), qPrintable(e.text()));
            full = true;
        }
    }
    QVERIFY(full);
    // SQLite rolled the transaction back; the store has begun the next one
    // instead of letting later statements commit one by one.
    QVERIFY(dm.MainConnection().inTransaction());
    dm.qryArticleEdit().cancel();
    addQuestion(dm, QStringLiteral("after the failure"));
    dm.rollback();
    RowSet all(dm.MainConnection(), QStringLiteral("SELECT * FROM Article"));
    all.open();
    QCOMPARE(all.rowCount(), 0);
    dm.close();
}

void tst_Dmod::writesAfterAnotherProcessCommitted()
{
    ScratchStore store;
    Tdm gui(store.path());
    gui.DataModuleCreate(); // has read the store: its view dates from now
    {
        Tdm cli(store.path());
        cli.DataModuleCreate();
        addQuestion(cli, QStringLiteral("from the scheduled run"));
        cli.close();
    }
    addQuestion(gui, QStringLiteral("typed in the window"));
    gui.checkpoint();
    QCOMPARE(subjectsSeenOutside(store), (QStringList{"from the scheduled run", "typed in the window"}));
}

// The child of survivesAKillAfterACheckpoint: one change made durable, one
// left pending, then it waits to be killed.
static int runChild(const QString &path)
{
    Tdm dm(path);
    dm.DataModuleCreate();
    addQuestion(dm, QStringLiteral("checkpointed"));
    dm.checkpoint();
    addQuestion(dm, QStringLiteral("pending"));
    QTextStream(stdout) << "ready" << Qt::endl;
    for (;;)
        ::pause();
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    tst_Dmod test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dmod.moc"
