// The program's statements, as written, give the rows the program expects of
// them: Yes/No as -1/0, NULL matching nothing, names and text compared without
// regard to case, LIKE with "%" and "_".

#include "store/dmod.h"
#include "store/rowset.h"
#include "store/sqlcommand.h"
#include "store/storeerror.h"
#include "tests/support/scratchstore.h"

#include <QTest>

class tst_Statements : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void givesExpectedRows_data();
    void givesExpectedRows();
    void clearsEveryDefaultAccount();
    void keepsOneRowPerGroupServerPair();

private:
    ScratchStore m_store;
};

void tst_Statements::initTestCase()
{
    m_store.exec(QStringLiteral(
        "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Expire, Subject, Body)"
        "  VALUES (1, 0, 0, -1, -1, 0, 'Q1', 'question');"
        "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Expire, Subject)"
        "  VALUES (2, 1, 0, 0, 0, NULL, 'A1');"
        "INSERT INTO Article (Code, Parent, Folder, Expire, Subject) VALUES (3, NULL, 0, -1, 'Q2');"
        "INSERT INTO Article (Code, Folder, Subject) VALUES (4, 1, 'out');"
        "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'Zeta');"
        "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (2, 0, 0, 'beta folder');"
        "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (3, 0, -1, 'alpha');"
        "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (4, 2, -1, 'inner');"
        "INSERT INTO Groups (Code, GroupName) VALUES (1, 'comp.lang.c');"
        "INSERT INTO Groups (Code, GroupName) VALUES (2, 'comp.lang.c++');"
        "INSERT INTO Groups (Code, GroupName) VALUES (3, 'alt.test');"
        "INSERT INTO Groups (Code, GroupName) VALUES (4, 'Comp_X');"
        "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (3, 1);"
        "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (1, 1);"
        "INSERT INTO Account (Code, AccountName, \"E-mail address\", DefaultAccount) VALUES (1, 'Work', 'w@example.org', -1);"
        "INSERT INTO Account (Code, AccountName, DefaultAccount) VALUES (2, 'home', -1);"
        "INSERT INTO Servers (Code, ProfileName, ServerName) VALUES (1, 'Main', 'news.example.org');"
        "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);"
        "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) VALUES (1, '<m1>', '', 1);"
        "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) VALUES (2, '<m2>', '<m1>', 1);"
        "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) VALUES (3, '<m3>', '', 1)"));
}

void tst_Statements::givesExpectedRows_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QVariantMap>("params");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Expire=false excludes true and NULL")
        << "SELECT * FROM Article WHERE Folder=0 and Expire=false" << QVariantMap{} << "Code"
        << "1";
    QTest::newRow("folder query by integer parameter")
        << "SELECT * FROM Article WHERE Folder=:fld" << QVariantMap{{"fld", 0}} << "Code"
        << "1,2,3";
    QTest::newRow("a NULL parameter matches nothing")
        << "Select * from article where folder=:fld Order by Parent" << QVariantMap{} << "Code"
        << "";
    QTest::newRow("folders before categories, names case-blind")
        << "SELECT * FROM categories ORDER BY Parent, Kind desc, Name" << QVariantMap{} << "Code"
        << "2,3,1,4";
    QTest::newRow("ascending Kind puts true first")
        << "SELECT * FROM Categories ORDER BY Parent, Kind" << QVariantMap{} << "Kind"
        << "-1,-1,0,-1";
    QTest::newRow("not Expire drops true and NULL")
        << "SELECT SNT.Code, SNT.MessageId, ArticleId From SentArticles SNT, Article Artl Where "
           "GroupId=:Id and Artl.Code=ArticleId and (not Expire) Order By SNT.Code desc"
        << QVariantMap{{"Id", 1}} << "MessageId"
        << "<m1>";
    QTest::newRow("LIKE is case-blind") << "SELECT * FROM groups WHERE GroupName Like :Filter ORDER BY GROUPNAME"
                                        << QVariantMap{{"filter", "%COMP%"}} << "GroupName"
                                        << "comp.lang.c,comp.lang.c++,Comp_X";
    QTest::newRow("LIKE underscore stands for one character")
        << "SELECT * FROM groups WHERE GroupName Like :subs ORDER BY GROUPNAME" << QVariantMap{{"subs", "%p_x"}}
        << "GroupName"
        << "Comp_X";
    QTest::newRow("group names compare case-blind")
        << "SELECT Code FROM GROUPS Where GroupName=:GN" << QVariantMap{{"GN", "ALT.Test"}} << "Code"
        << "3";
    QTest::newRow("no blank after SELECT")
        << "SELECT* FROM SentArticles Where MessageId=:MSGID" << QVariantMap{{"msgid", "<m2>"}} << "ReferencesId"
        << "<m1>";
    QTest::newRow("column with blank and hyphen, any case")
        << "SELECT * FROM ACCOUNT WHERE Code= :Id" << QVariantMap{{"Id", 1}} << "E-Mail Address"
        << "w@example.org";
    QTest::newRow("accounts by name, case-blind")
        << "SELECT * from Account ORDER BY AccountName" << QVariantMap{} << "AccountName"
        << "home,Work";
    QTest::newRow("servers of a group")
        << "SELECT srv.* FROM GROUPSERVER grpsrv, GROUPS grp, SERVERS srv WHERE "
           "grpsrv.NewsGroup=grp.code and grp.groupname=:gname and srv.code=grpsrv.server"
        << QVariantMap{{"gname", "comp.lang.c"}} << "ServerName"
        << "news.example.org";
    QTest::newRow("groups of a category, ordered by name")
        << "SELECT CTG.*, groupname FROM GroupCategory CTG, groups GRP WHERE Category=:Cat and "
           "CTG.newsgroup=GRP.Code ORDER By groupname"
        << QVariantMap{{"Cat", 1}} << "groupname"
        << "alt.test,comp.lang.c";
    QTest::newRow("copies of a message in a group")
        << "SELECT * FROM SENTARTICLES snt, groups grp where grp.Code= snt.GroupId and "
           "ArticleId=:Id and groupname=:news"
        << QVariantMap{{"Id", 2}, {"news", "COMP.LANG.C"}} << "MessageId"
        << "<m2>";
    QTest::newRow("names of the groups of a category")
        << "SELECT groupname FROM groupcategory cat , groups gr WHERE Category=:Id and gr.code=cat.newsgroup"
        << QVariantMap{{"Id", 1}} << "GROUPNAME"
        << "alt.test,comp.lang.c";
    QTest::newRow("upper-case table, lower-case column")
        << "SELECT * FROM ARTICLE WHERE Code=:Id" << QVariantMap{{"Id", 1}} << "body"
        << "question";
}

void tst_Statements::givesExpectedRows()
{
    QFETCH(QString, statement);
    QFETCH(QVariantMap, params);
    QFETCH(QString, column);
    QFETCH(QString, expected);

    Tdm dm(m_store.path());
    dm.DataModuleCreate();
    RowSet rows(dm.MainConnection(), statement);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        rows.setParam(it.key(), it.value());
    rows.open();
    QStringList got;
    for (rows.first(); !rows.eof(); rows.next())
        got << rows.asString(column);
    // Without ORDER BY the engine's order is its own business.
    if (!statement.contains(QLatin1String("order by"), Qt::CaseInsensitive))
        got.sort();
    QCOMPARE(got.join(QLatin1Char(',')), expected);
}

void tst_Statements::clearsEveryDefaultAccount()
{
    Tdm dm(m_store.path());
    dm.DataModuleCreate();
    SqlCommand(dm.MainConnection(), QStringLiteral("UPDATE account SET DefaultAccount=false")).exec();
    RowSet defaults(dm.MainConnection(), QStringLiteral("SELECT * FROM Account WHERE DefaultAccount=TRUE"));
    defaults.open();
    QCOMPARE(defaults.rowCount(), 0);
    dm.rollback();
}

void tst_Statements::keepsOneRowPerGroupServerPair()
{
    Tdm dm(m_store.path());
    dm.DataModuleCreate();
    SqlCommand insert(dm.MainConnection(),
                      QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )"));
    insert.bind(QStringLiteral("NWS"), 2).bind(QStringLiteral("SRV"), 1).exec();
    QVERIFY_THROWS_EXCEPTION(StoreError, insert.exec());
    // The refused repeat leaves the transaction and the first insert in place.
    QVERIFY(dm.MainConnection().inTransaction());
    RowSet pairs(dm.MainConnection(), QStringLiteral("SELECT * FROM GroupServer WHERE Newsgroup=2"));
    pairs.open();
    QCOMPARE(pairs.rowCount(), 1);
    dm.rollback();
}

QTEST_GUILESS_MAIN(tst_Statements)
#include "tst_statements.moc"
