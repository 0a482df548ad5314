// Positioned row sets: the cursor, the insert / edit / delete cycle with its
// hooks, reading by name with NULL as empty.

#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "tests/support/scratchstore.h"

#include <QTest>
#include <functional>
#include <memory>

class tst_RowSet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void walksRowsLikeACursor();
    void emptySetIsAtBothEnds();
    void appendGivesCodeAndStoreDefaults();
    void editWritesOnlyChangedColumnsAndCancelRestores();
    void removeMovesToTheNextRow();
    void refusedPostKeepsTheRowPending();
    void hooksRunAroundTheStore();
    void readsNullAsEmptyAndBooleansAsMinusOne();
    void locatesCaseBlind();
    void refusesChangesWithoutEditModeOrKey();
    void openSetStaysOpenAndKeepsPosition();
    void forwardOnlyWalksOnceAndCannotBePositioned();
    void folderQueryReadsTheTreeColumnsTheStoreHas();

private:
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<Tdm> m_dm;
    StoreConnection &connection() { return m_dm->MainConnection(); }
};

void tst_RowSet::init()
{
    m_store = std::make_unique<ScratchStore>();
    m_store->exec(
        QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('one', 'a.example', 119);"
                       "INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('two', 'b.example', 563);"
                       "INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('three', 'c.example', NULL)"));
    m_dm = std::make_unique<Tdm>(m_store->path());
    m_dm->DataModuleCreate();
}

void tst_RowSet::cleanup()
{
    m_dm.reset();
    m_store.reset();
}

void tst_RowSet::walksRowsLikeACursor()
{
    RowSet &servers = m_dm->tbServer();
    QVERIFY(servers.isOpen());
    QCOMPARE(servers.rowCount(), 3);
    QStringList seen;
    for (servers.first(); !servers.eof(); servers.next())
        seen << servers.asString(QStringLiteral("ProfileName"));
    QCOMPARE(seen, (QStringList{"one", "two", "three"}));
    QCOMPARE(servers.row(), 2); // next() past the last row stays on it
    servers.prior();
    QCOMPARE(servers.asString(QStringLiteral("profilename")), QStringLiteral("two"));
    servers.first();
    servers.prior();
    QVERIFY(servers.bof());
    QCOMPARE(servers.row(), 0);
    servers.last();
    QVERIFY(servers.eof());
    QCOMPARE(servers.asInt(QStringLiteral("Port")), 0);
    servers.setRow(1);
    QCOMPARE(servers.asInt(QStringLiteral("Port")), 563);
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.setRow(3));
}

void tst_RowSet::emptySetIsAtBothEnds()
{
    RowSet &edit = m_dm->qryArticleEdit(); // opened with a NULL parameter
    QVERIFY(edit.isOpen());
    QVERIFY(edit.isEmpty());
    QVERIFY(edit.eof());
    QVERIFY(edit.bof());
    QVERIFY(edit.value(QStringLiteral("Subject")).isNull());
    QVERIFY_THROWS_EXCEPTION(StoreError, edit.edit());
    QVERIFY_THROWS_EXCEPTION(StoreError, edit.remove());
}

void tst_RowSet::appendGivesCodeAndStoreDefaults()
{
    RowSet &edit = m_dm->qryArticleEdit();
    edit.setParam(QStringLiteral("Code"), 0);
    edit.reopen();
    edit.append();
    QCOMPARE(edit.state(), RowSet::State::Insert);
    edit.setValue(QStringLiteral("Folder"), 2);
    edit.setValue(QStringLiteral("ArticleType"), true);
    edit.setValue(QStringLiteral("IsRead"), true);
    edit.setValue(QStringLiteral("Subject"), QStringLiteral("First"));
    edit.post();
    const int first = edit.asInt(QStringLiteral("Code"));
    QVERIFY(first > 0);
    QCOMPARE(edit.asInt(QStringLiteral("Parent")), 0); // store default
    QCOMPARE(edit.asBool(QStringLiteral("Expire")), false);
    QCOMPARE(edit.value(QStringLiteral("ArticleType")), QVariant(-1));

    // Keys increase and are never reused, even after the newest row is deleted.
    edit.remove();
    edit.append();
    edit.post();
    QVERIFY(edit.asInt(QStringLiteral("Code")) > first);
    m_dm->checkpoint();
    QCOMPARE(m_store->rows(QStringLiteral("SELECT count(*) FROM Article")), QStringList{"1"});
}

void tst_RowSet::editWritesOnlyChangedColumnsAndCancelRestores()
{
    RowSet &servers = m_dm->tbServer();
    servers.setRow(1);
    servers.edit();
    servers.setValue(QStringLiteral("Login"), QStringLiteral("me"));
    QCOMPARE(servers.asString(QStringLiteral("Login")), QStringLiteral("me"));
    servers.cancel();
    QCOMPARE(servers.asString(QStringLiteral("Login")), QString());

    // Another writer changes a column this set does not touch: the update keeps it.
    SqlCommand(connection(), QStringLiteral("UPDATE Servers SET Password='secret' WHERE Port=563")).exec();
    servers.edit();
    servers.setValue(QStringLiteral("Login"), QStringLiteral("me"));
    servers.post();
    m_dm->checkpoint();
    QCOMPARE(m_store->rows(QStringLiteral("SELECT Login, Password FROM Servers WHERE Port=563")),
             QStringList{"me|secret"});
}

void tst_RowSet::removeMovesToTheNextRow()
{
    RowSet &servers = m_dm->tbServer();
    servers.setRow(1);
    servers.remove();
    QCOMPARE(servers.rowCount(), 2);
    QCOMPARE(servers.asString(QStringLiteral("ProfileName")), QStringLiteral("three"));
    servers.remove();
    QCOMPARE(servers.asString(QStringLiteral("ProfileName")), QStringLiteral("one"));
    servers.remove();
    QVERIFY(servers.eof() && servers.bof());
    m_dm->checkpoint();
    QCOMPARE(m_store->rows(QStringLiteral("SELECT count(*) FROM Servers")), QStringList{"0"});
}

void tst_RowSet::refusedPostKeepsTheRowPending()
{
    RowSet &servers = m_dm->tbServer();
    servers.beforePost = [](RowSet &row) {
        if (row.asString(QStringLiteral("ServerName")).isEmpty())
            throw StoreError(QStringLiteral("Please, enter Host"));
    };
    servers.append();
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.post());
    QCOMPARE(servers.state(), RowSet::State::Insert);
    servers.setValue(QStringLiteral("ServerName"), QStringLiteral("d.example"));
    servers.post();
    QCOMPARE(servers.state(), RowSet::State::Browse);
    QCOMPARE(servers.rowCount(), 4);
    QCOMPARE(servers.asString(QStringLiteral("ServerName")), QStringLiteral("d.example"));
}

void tst_RowSet::hooksRunAroundTheStore()
{
    RowSet &accounts = m_dm->qryAccount();
    QStringList calls;
    accounts.afterInsert = [&](RowSet &row) {
        calls << QStringLiteral("afterInsert");
        row.setValue(QStringLiteral("DefaultAccount"), row.isEmpty());
    };
    accounts.beforePost = [&](RowSet &) { calls << QStringLiteral("beforePost"); };
    accounts.afterPost
        = [&](RowSet &row) { calls << QStringLiteral("afterPost:%1").arg(row.asInt(QStringLiteral("Code")) > 0); };
    accounts.append();
    accounts.setValue(QStringLiteral("AccountName"), QStringLiteral("Work"));
    accounts.post();
    QCOMPARE(calls, (QStringList{"afterInsert", "beforePost", "afterPost:1"}));
    QCOMPARE(accounts.asBool(QStringLiteral("DefaultAccount")), true);
}

void tst_RowSet::readsNullAsEmptyAndBooleansAsMinusOne()
{
    m_store->exec(QStringLiteral("INSERT INTO Article (Code, Folder, Parent, IsRead, SentDate) "
                                 "VALUES (7, 0, NULL, NULL, '2026-12-10 13:04:05')"));
    m_dm->commit(); // the row came from another connection: look at the store afresh
    RowSet &edit = m_dm->qryArticleEdit();
    edit.setParam(QStringLiteral("code"), 7);
    edit.reopen();
    QCOMPARE(edit.asInt(QStringLiteral("Parent")), 0);
    QCOMPARE(edit.asString(QStringLiteral("Subject")), QString());
    QCOMPARE(edit.asBool(QStringLiteral("IsRead")), false);
    QCOMPARE(edit.asDateTime(QStringLiteral("SentDate")), QDateTime(QDate(2026, 12, 10), QTime(13, 4, 5)));
    edit.edit();
    edit.setValue(QStringLiteral("IsRead"), true);
    edit.post();
    m_dm->checkpoint();
    QCOMPARE(m_store->rows(QStringLiteral("SELECT IsRead FROM Article WHERE Code=7")), QStringList{"-1"});
}

void tst_RowSet::locatesCaseBlind()
{
    RowSet &servers = m_dm->tbServer();
    QVERIFY(servers.locate(QStringLiteral("ServerName"), QStringLiteral("C.EXAMPLE")));
    QCOMPARE(servers.row(), 2);
    QVERIFY(!servers.locate(QStringLiteral("ServerName"), QStringLiteral("z.example")));
    QCOMPARE(servers.row(), 2);
    QVERIFY(servers.locate(QStringLiteral("Port"), 563));
    QCOMPARE(servers.row(), 1);
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.locate(QStringLiteral("NoSuchColumn"), 1));
}

void tst_RowSet::refusesChangesWithoutEditModeOrKey()
{
    RowSet &servers = m_dm->tbServer();
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.setValue(QStringLiteral("Login"), QStringLiteral("x")));
    servers.edit();
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.append());
    servers.cancel();
    QVERIFY_THROWS_EXCEPTION(StoreError, m_dm->tbGroupServer().append());
    RowSet closed(connection(), QStringLiteral("SELECT * FROM Servers"));
    QVERIFY_THROWS_EXCEPTION(StoreError, closed.value(QStringLiteral("Code")));
}

void tst_RowSet::openSetStaysOpenAndKeepsPosition()
{
    RowSet &servers = m_dm->tbServer();
    servers.setRow(2);
    m_dm->commit(); // the next transaction reopens only what was closed
    QCOMPARE(servers.row(), 2);
    m_dm->qryAccount().close();
    m_dm->rollback();
    QVERIFY(m_dm->qryAccount().isOpen());
    QCOMPARE(servers.row(), 2);
}

void tst_RowSet::forwardOnlyWalksOnceAndCannotBePositioned()
{
    RowSet servers(connection(), QStringLiteral("SELECT * FROM Servers WHERE Port IS NOT NULL ORDER BY Code"),
                   QStringLiteral("qryServers"));
    servers.setForwardOnly(true);
    for (int round = 0; round < 2; ++round) { // a reopen walks it again
        servers.close();
        servers.open();
        QStringList seen;
        for (servers.first(); !servers.eof(); servers.next())
            seen << servers.asString(QStringLiteral("ProfileName")) + QLatin1Char('/')
                    + QString::number(servers.asInt(QStringLiteral("Port")));
        QCOMPARE(seen, (QStringList{"one/119", "two/563"}));
        QCOMPARE(servers.rowCount(), 2);
        QVERIFY(servers.value(QStringLiteral("ProfileName")).isNull()); // past the end
        servers.next(); // stays there
        QVERIFY(servers.eof());
    }
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.first());

    servers.reopen();
    const int name = servers.columnIndex(QStringLiteral("profilename"));
    QCOMPARE(servers.value(name).toString(), QStringLiteral("one"));
    for (const auto &refused :
         std::initializer_list<std::function<void()>>{[&] { servers.setRow(1); }, [&] { servers.prior(); },
                                                      [&] { servers.last(); },
                                                      [&] { servers.locate(QStringLiteral("Port"), 563); },
                                                      [&] { servers.edit(); }, [&] { servers.append(); },
                                                      [&] { servers.remove(); }}) {
        QVERIFY_THROWS_EXCEPTION(StoreError, refused());
    }
    QCOMPARE(servers.value(name).toString(), QStringLiteral("one")); // still where it was
    RowSet all(connection(), QStringLiteral("SELECT * FROM Servers"));
    all.open();
    QCOMPARE(all.rowCount(), 3);
    QVERIFY_THROWS_EXCEPTION(StoreError, servers.columnIndex(QStringLiteral("Body")));

    RowSet none(connection(), QStringLiteral("SELECT * FROM Servers WHERE Code < 0"));
    none.setForwardOnly(true);
    none.open();
    none.first();
    QVERIFY(none.eof());
    QCOMPARE(none.rowCount(), 0);
}

void tst_RowSet::folderQueryReadsTheTreeColumnsTheStoreHas()
{
    connection().execDirect(QStringLiteral("INSERT INTO Article (Parent, Folder, IsRead, Subject, Body) "
                                           "VALUES (0, 2, -1, 'Draft', 'A long text')"));
    const QStringList shown{"Code", "Parent", "IsRead", "Subject", "From", "SentDate", "Source"};
    for (const bool withSource : {true, false}) {
        if (!withSource) {
            m_dm.reset(); // commits the draft
            m_store->exec(QStringLiteral("ALTER TABLE Article DROP COLUMN Source"));
            m_dm = std::make_unique<Tdm>(m_store->path());
            m_dm->DataModuleCreate(); // the store opens without the column
        }
        RowSet &folder = m_dm->qryArticle();
        QVERIFY(folder.forwardOnly());
        folder.close();
        folder.setParam(QStringLiteral("fld"), 2);
        folder.open();
        for (const QString &column : shown)
            QCOMPARE(folder.hasColumn(column), withSource || column != QLatin1String("Source"));
        QVERIFY(!folder.hasColumn(QStringLiteral("Body")));
        QCOMPARE(folder.asString(QStringLiteral("Subject")), QStringLiteral("Draft"));
        if (!withSource) {
            try {
                folder.value(QStringLiteral("Source"));
                QFAIL("a missing column was read");
            } catch (const StoreError &e) {
                QCOMPARE(e.text(), QStringLiteral("qryArticle: Field 'Source' not found"));
            }
        }
    }
}

QTEST_GUILESS_MAIN(tst_RowSet)
#include "tst_rowset.moc"
