// The one place where statements and values are mapped onto SQLite.

#include "store/jetsql.h"

#include <QScopeGuard>
#include <QTest>

#include <ctime>

class tst_JetSql : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rewritesBooleanLiterals_data();
    void rewritesBooleanLiterals();
    void findsParametersAndTable_data();
    void findsParametersAndTable();
    void readsNullAsEmpty();
    void storesBooleansAndDates();
    void storesLoneSurrogatesAsReplacement();
    void readsATimeTheLocalClockSkipped();
};

void tst_JetSql::rewritesBooleanLiterals_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("false in a condition") << "SELECT * FROM Article WHERE Folder=0 and Expire=false"
                                          << "SELECT * FROM Article WHERE Folder=0 and Expire=0";
    QTest::newRow("upper-case TRUE and mixed case") << "update x set a=TRUE, b=True, c=FALSE"
                                                    << "update x set a=-1, b=-1, c=0";
    QTest::newRow("false in a string literal stays") << "select 'false', \"true\", [true] where x=false"
                                                     << "select 'false', \"true\", [true] where x=0";
    QTest::newRow("words containing the literals stay") << "select IsTrue, falsehood, true_x from t"
                                                        << "select IsTrue, falsehood, true_x from t";
    QTest::newRow("not is left to the engine")
        << "SELECT SNT.Code From SentArticles SNT, Article Artl Where GroupId=:Id and (not Expire)"
        << "SELECT SNT.Code From SentArticles SNT, Article Artl Where GroupId=:Id and (not Expire)";
    QTest::newRow("a parameter named like a literal stays") << "where a=:false"
                                                            << "where a=:false";
}

void tst_JetSql::rewritesBooleanLiterals()
{
    QFETCH(QString, statement);
    QFETCH(QString, rewritten);
    QCOMPARE(JetSql::toSqlite(statement), rewritten);
}

void tst_JetSql::findsParametersAndTable_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("table");
    QTest::newRow("edit row") << "Select * from article where Code=:Code" << QStringList{"Code"} << "article";
    QTest::newRow("blank inside the values")
        << "INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )" << QStringList{"NWS", "SRV"} << "";
    QTest::newRow("join, parameter used twice keeps one")
        << "SELECT * FROM SENTARTICLES snt, groups grp where grp.Code= snt.GroupId and ArticleId=:Id and groupname=:news or x=:ID"
        << QStringList{"Id", "news"} << "SENTARTICLES";
    QTest::newRow("no blank after SELECT")
        << "SELECT* FROM SentArticles Where MessageId=:MSGID" << QStringList{"MSGID"} << "SentArticles";
    QTest::newRow("colon inside a literal is no parameter")
        << "select * from Groups where GroupName = 'a:b'" << QStringList{} << "Groups";
}

void tst_JetSql::findsParametersAndTable()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, parameters);
    QFETCH(QString, table);
    QCOMPARE(JetSql::parameterNames(statement), parameters);
    if (!table.isEmpty())
        QCOMPARE(JetSql::baseTable(statement), table);
}

void tst_JetSql::readsNullAsEmpty()
{
    QCOMPARE(JetSql::toInt(QVariant()), 0);
    QCOMPARE(JetSql::toText(QVariant()), QString());
    QCOMPARE(JetSql::toBool(QVariant()), false);
    QVERIFY(!JetSql::toDateTime(QVariant()).isValid());
    QCOMPARE(JetSql::toBool(QVariant(-1)), true);
    QCOMPARE(JetSql::toBool(QVariant(0)), false);
}

void tst_JetSql::storesBooleansAndDates()
{
    QCOMPARE(JetSql::toStored(true), QVariant(-1));
    QCOMPARE(JetSql::toStored(false), QVariant(0));
    const QDateTime when(QDate(2026, 3, 28), QTime(2, 30, 5));
    QCOMPARE(JetSql::toStored(when), QVariant(QStringLiteral("2026-03-28 02:30:05")));
    QCOMPARE(JetSql::toDateTime(JetSql::toStored(when)), when);
    QVERIFY(JetSql::toStored(QDateTime()).isNull());
}

void tst_JetSql::storesLoneSurrogatesAsReplacement()
{
    // Paired, the UTF-8 conversion would join the half with the next character.
    const QString half(QChar(0xD83D));
    QCOMPARE(JetSql::toStored(QStringLiteral("a") + half + QStringLiteral(" b")).toString(),
             QStringLiteral("a\uFFFD b"));
    QCOMPARE(JetSql::toStored(QString(QChar(0xDC20)) + half).toString(), QStringLiteral("\uFFFD\uFFFD"));
    QCOMPARE(JetSql::toStored(QStringLiteral("fish \U0001F420")).toString(), QStringLiteral("fish \U0001F420"));
    QVERIFY(JetSql::toStored(QString()).toString().isNull());
}

void tst_JetSql::readsATimeTheLocalClockSkipped()
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    auto restore = qScopeGuard([] {
        qunsetenv("TZ");
        tzset();
    });
    const QDateTime when = JetSql::toDateTime(QStringLiteral("2026-03-29 02:30:05"));
    QVERIFY(when.isValid());
    QCOMPARE(when.date(), QDate(2026, 3, 29));
    QCOMPARE(when.time(), QTime(2, 30, 5));
}

QTEST_GUILESS_MAIN(tst_JetSql)
#include "tst_jetsql.moc"
