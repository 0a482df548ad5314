// Stores that the program cannot use as it should: a store file that refuses
// writes, a store whose tables lack a column, and a disk that fills up while a
// run writes. Each is met by the data module in this process and by
// quorbic-cli, which runs the same posting and retrieval code, against a real
// INN server: the failure is reported with the engine's text, nothing crashes,
// nothing is posted that could not be recorded, and what was committed before
// stays as it was.

#include "store/dmod.h"
#include "store/rowset.h"
#include "store/storeerror.h"
#include "store/storeschema.h"
#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "tests/support/readonlyfile.h"
#include "tests/support/scratchstore.h"
#include "tests/support/smalldisk.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <memory>

namespace {

const QString kAnswers = QStringLiteral("quorbic.faults.answers");
const QString kPosts = QStringLiteral("quorbic.faults.posts");
const QString kFullAnswers = QStringLiteral("quorbic.full.answers");
constexpr int kFullGroups = 12;
const QString kReadOnly = QStringLiteral("attempt to write a readonly database");
const QString kDiskFull = QStringLiteral("database or disk is full");
const QStringList kTables{QStringLiteral("Article"),     QStringLiteral("SentArticles"), QStringLiteral("Groups"),
                          QStringLiteral("GroupServer"), QStringLiteral("Servers"),      QStringLiteral("Account"),
                          QStringLiteral("Categories"),  QStringLiteral("GroupCategory")};

QString fullGroup(int n)
{
    return QStringLiteral("quorbic.full.g%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

struct CliResult
{
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
    QString describe() const
    {
        return QStringLiteral("exit %1%2\n--- stdout:\n%3--- stderr:\n%4")
            .arg(exitCode)
            .arg(crashed ? QStringLiteral(" (crashed)") : QString(), out, err);
    }
};

// quorbic-cli run to its end in dir, as a user or a schedule runs it there.
CliResult runCli(const QString &dir, const QStringList &args)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(QUORBIC_CLI), args);
    CliResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("(did not finish and was killed)\n");
    }
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err += QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Every row of every table, for comparing a store before and after.
QStringList dump(const QString &path, const QStringList &tables = kTables)
{
    QStringList rows;
    for (const QString &table : tables) {
        for (const QString &row :
             ScratchStore::rowsOf(path, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)))
            rows << table + QLatin1Char(':') + row;
    }
    return rows;
}

QString integrity(const QString &path)
{
    return ScratchStore::rowsOf(path, QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char(' '));
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QString serverAndAccount(const InnServer &inn)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (1, 'INN', '%1', %2);"
                          "INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\") "
                          "VALUES (1, 'Ann', 'Ann Asker', 'ann@test.invalid');")
        .arg(inn.host())
        .arg(inn.port());
}

// A question posted before to the answers group (its copy recorded as
// questionId) and a question waiting in the Outbox for the posts group.
QString everydayStore(const InnServer &inn, const QString &questionId)
{
    return serverAndAccount(inn)
        + QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (1, %1);"
                         "INSERT INTO Groups (Code, GroupName) VALUES (2, %2);"
                         "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);"
                         "INSERT INTO GroupServer (Newsgroup, Server) VALUES (2, 1);"
                         "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'Faults');"
                         "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (2, 1);"
                         "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                         "Account, Source) VALUES (1, 0, 0, -1, -1, 'Asked before', 'Body', 1, 1, %1);"
                         "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                         "VALUES (1, %3, '', 1);"
                         "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                         "Account) VALUES (2, 0, 1, -1, -1, 'Waiting to be posted', 'Body', 1, 1);")
              .arg(quoted(kAnswers), quoted(kPosts), quoted(questionId));
}

} // namespace

class tst_StoreFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void readOnlyStore_data();
    void readOnlyStore();
    void missingColumn_data();
    void missingColumn();
    void diskFillsWhilePosting();
    void diskFillsWhileRetrieving();

private:
    // A Message-ID of this test's own, new for every call.
    QString newId(const char *kind);
    // An answer to questionId in group, by another newsreader, on the server.
    void answerOnServer(const QString &group, const QString &questionId, const QByteArray &body = "Try this.\n");
    int articlesIn(const QString &group);
    bool onServer(const QString &messageId);

    std::unique_ptr<InnServer> m_inn;
    int m_ids = 0;
};

void tst_StoreFaults::initTestCase()
{
    InnServer::Options options;
    options.groups = QStringList{kAnswers, kPosts, kFullAnswers};
    for (int n = 1; n <= kFullGroups; ++n)
        options.groups << fullGroup(n);
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
}

QString tst_StoreFaults::newId(const char *kind)
{
    return QStringLiteral("<%1.%2@faults.invalid>").arg(QLatin1String(kind)).arg(++m_ids);
}

void tst_StoreFaults::answerOnServer(const QString &group, const QString &questionId, const QByteArray &body)
{
    const QByteArray article = "From: Expert <expert@test.invalid>\nNewsgroups: " + group.toUtf8()
        + "\nSubject: Re: Asked before\nMessage-ID: " + newId("answer").toUtf8()
        + "\nReferences: " + questionId.toUtf8() + "\n\n" + body;
    const QByteArray reply = m_inn->post(article);
    QVERIFY2(reply.startsWith("240"), qPrintable(QString::fromUtf8(reply) + m_inn->errorString()));
}

int tst_StoreFaults::articlesIn(const QString &group)
{
    NntpProbe probe;
    if (!probe.open(m_inn->host(), m_inn->port()))
        return -1;
    // "211 count low high name"
    const QList<QByteArray> reply = probe.command("GROUP " + group.toUtf8()).split(' ');
    probe.command("QUIT");
    return reply.value(0) == "211" ? reply.value(1).toInt() : -1;
}

bool tst_StoreFaults::onServer(const QString &messageId)
{
    return !m_inn->fetch("HEAD " + messageId.toUtf8()).isNull();
}

void tst_StoreFaults::readOnlyStore_data()
{
    QTest::addColumn<bool>("readOnlyMedium");
    QTest::addColumn<QString>("openError"); // empty: the store opens for reading
    QTest::newRow("read-only file in a writable directory") << false << QString();
    // Without its shared-memory file beside it, which it cannot make there,
    // the engine cannot read a store kept in WAL mode.
    QTest::newRow("store on a read-only file system") << true << QStringLiteral("unable to open database file");
}

void tst_StoreFaults::readOnlyStore()
{
    QFETCH(bool, readOnlyMedium);
    QFETCH(QString, openError);

    QTemporaryDir plainDir;
    std::unique_ptr<SmallDisk> disk;
    if (readOnlyMedium) {
        disk = std::make_unique<SmallDisk>(QStringLiteral("2m"));
        if (!disk->isMounted())
            QSKIP(qPrintable(disk->errorString()));
    }
    const QString dir = disk ? disk->path() : plainDir.path();
    const QString path = dir + QStringLiteral("/qa.mdb");
    const QString questionId = newId("question");
    StoreSchema::create(path);
    ScratchStore::execOn(path, everydayStore(*m_inn, questionId));
    answerOnServer(kAnswers, questionId);
    const QByteArray bytesBefore = digest(path);
    const QStringList rowsBefore = dump(path);
    const int postsBefore = articlesIn(kPosts);

    std::unique_ptr<ReadOnlyFile> readOnly;
    if (readOnlyMedium) {
        QVERIFY2(disk->makeReadOnly(), qPrintable(disk->errorString()));
    } else {
        readOnly = std::make_unique<ReadOnlyFile>(path);
        if (!readOnly->refusesWrites())
            QSKIP(qPrintable(readOnly->how()));
    }

    // Opening, reading, and an editor's save of the queued message.
    {
        Tdm dm(path);
        if (!openError.isEmpty()) {
            try {
                dm.DataModuleCreate();
                QFAIL("the store opened");
            } catch (const StoreError &e) {
                QVERIFY2(e.text().contains(openError), qPrintable(e.text()));
            }
            QVERIFY(!dm.StoreOpen());
        } else {
            dm.DataModuleCreate();
            RowSet &inbox = dm.qryArticle();
            inbox.close();
            inbox.setParam(QStringLiteral("fld"), 0);
            inbox.open();
            QCOMPARE(inbox.rowCount(), 1);
            QCOMPARE(inbox.asString(QStringLiteral("Subject")), QStringLiteral("Asked before"));
            RowSet &edit = dm.qryArticleEdit();
            edit.setParam(QStringLiteral("Code"), 2);
            edit.reopen();
            edit.edit();
            edit.setValue(QStringLiteral("Subject"), QStringLiteral("Edited"));
            try {
                edit.post();
                QFAIL("the edit was stored");
            } catch (const StoreError &e) {
                QVERIFY2(e.text().startsWith(kReadOnly), qPrintable(e.text()));
            }
            // The editor still holds what was typed; the store goes on.
            QCOMPARE(edit.state(), RowSet::State::Edit);
            QCOMPARE(edit.asString(QStringLiteral("Subject")), QStringLiteral("Edited"));
            edit.cancel();
            QVERIFY(dm.MainConnection().inTransaction());
            dm.close();
        }
    }

    // The tool: a read goes through or reports the open failure; the runs
    // report the first write refused, and posting refuses before it posts.
    const QString failedOpen = QStringLiteral(": ") + openError;
    CliResult r = runCli(dir, {QStringLiteral("show"), QStringLiteral("inbox")});
    if (openError.isEmpty())
        QVERIFY2(!r.crashed && r.exitCode == 0 && r.out.contains(QStringLiteral("Asked before")),
                 qPrintable(r.describe()));
    else
        QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.startsWith(QStringLiteral("quorbic-cli show") + failedOpen),
                 qPrintable(r.describe()));
    for (const QString &command : {QStringLiteral("post"), QStringLiteral("retrieve")}) {
        r = runCli(dir, {command});
        const QString report = openError.isEmpty() ? QStringLiteral("Quorbic: ") + kReadOnly
                                                   : QStringLiteral("quorbic-cli ") + command + failedOpen;
        QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.contains(report), qPrintable(r.describe()));
    }
    QCOMPARE(articlesIn(kPosts), postsBefore);

    QCOMPARE(digest(path), bytesBefore);
    if (readOnly) {
        readOnly->restore();
        QCOMPARE(dump(path), rowsBefore);
        QCOMPARE(integrity(path), QStringLiteral("ok"));
    } else {
        // Read where the engine can make its shared-memory file.
        const QString copy = plainDir.filePath(QStringLiteral("copy.mdb"));
        QVERIFY(QFile::copy(path, copy));
        QCOMPARE(dump(copy), rowsBefore);
        QCOMPARE(integrity(copy), QStringLiteral("ok"));
    }
}

void tst_StoreFaults::missingColumn_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("openError"); // empty: the store opens
    QTest::addColumn<QString>("showError"); // empty: show lists the Inbox
    QTest::addColumn<QString>("postError");
    QTest::addColumn<int>("copiesPosted"); // each one recorded
    QTest::addColumn<QString>("retrieveError");

    QTest::newRow("Article.Source") << "ALTER TABLE Article DROP COLUMN Source" << QString()
                                    << "quorbic-cli show: qryArticle: Field 'Source' not found."
                                    // Posted and recorded; the move to the Inbox is what fails.
                                    << "Quorbic: qrySendMsg: Field 'Source' not found." << 1
                                    << "Quorbic: table Article has no column named Source";
    QTest::newRow("SentArticles.ReferencesId")
        << "ALTER TABLE SentArticles DROP COLUMN ReferencesId" << QString() << QString()
        << "Quorbic: table SENTARTICLES has no column named ReferencesId" << 0
        << "Quorbic: table SENTARTICLES has no column named ReferencesId";
    QTest::newRow("Groups.GroupName") << "DROP INDEX GroupName; ALTER TABLE Groups DROP COLUMN GroupName"
                                      << "no such column: GroupName"
                                      << "quorbic-cli show: no such column: GroupName"
                                      << "quorbic-cli post: no such column: GroupName" << 0
                                      << "quorbic-cli retrieve: no such column: GroupName";
    QTest::newRow("Servers.ServerName") << "ALTER TABLE Servers DROP COLUMN ServerName" << QString() << QString()
                                        << "Quorbic: qryServer: Field 'ServerName' not found." << 0
                                        << "Quorbic: qryServer: Field 'ServerName' not found.";
}

void tst_StoreFaults::missingColumn()
{
    QFETCH(QString, change);
    QFETCH(QString, openError);
    QFETCH(QString, showError);
    QFETCH(QString, postError);
    QFETCH(int, copiesPosted);
    QFETCH(QString, retrieveError);

    ScratchStore store;
    const QString questionId = newId("question");
    store.exec(everydayStore(*m_inn, questionId));
    store.exec(change);
    answerOnServer(kAnswers, questionId);
    const QStringList articlesBefore = dump(store.path(), {QStringLiteral("Article")});
    const QStringList recordsBefore = dump(store.path(), {QStringLiteral("SentArticles")});
    const int postsBefore = articlesIn(kPosts);

    {
        Tdm dm(store.path());
        if (openError.isEmpty()) {
            dm.DataModuleCreate();
            QVERIFY(dm.StoreOpen());
        } else {
            // The error of the shared query that needs the column.
            try {
                dm.DataModuleCreate();
                QFAIL("every shared query opened");
            } catch (const StoreError &e) {
                QVERIFY2(e.text().contains(openError), qPrintable(e.text()));
            }
        }
    }

    CliResult r = runCli(store.dir(), {QStringLiteral("show"), QStringLiteral("inbox")});
    if (showError.isEmpty())
        QVERIFY2(!r.crashed && r.exitCode == 0 && r.out.contains(QStringLiteral("Asked before")),
                 qPrintable(r.describe()));
    else
        QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.startsWith(showError), qPrintable(r.describe()));

    r = runCli(store.dir(), {QStringLiteral("post")});
    QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.contains(postError), qPrintable(r.describe()));
    QCOMPARE(articlesIn(kPosts), postsBefore + copiesPosted);
    // The message stays in the Outbox; every copy on the server is recorded.
    QCOMPARE(dump(store.path(), {QStringLiteral("Article")}), articlesBefore);
    const QStringList records = store.rows(QStringLiteral("SELECT MessageId FROM SentArticles WHERE ArticleId=2"));
    QCOMPARE(records.size(), copiesPosted);
    for (const QString &messageId : records)
        QVERIFY2(onServer(messageId), qPrintable(messageId));

    r = runCli(store.dir(), {QStringLiteral("retrieve")});
    QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.contains(retrieveError), qPrintable(r.describe()));
    // No answer was kept without its record, which a later run would store again.
    QCOMPARE(dump(store.path(), {QStringLiteral("Article")}), articlesBefore);
    QCOMPARE(store.rows(QStringLiteral("SELECT count(*) FROM SentArticles")),
             QStringList{QString::number(recordsBefore.size() + copiesPosted)});
    QCOMPARE(integrity(store.path()), QStringLiteral("ok"));
}

void tst_StoreFaults::diskFillsWhilePosting()
{
    SmallDisk disk(QStringLiteral("2m"));
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.errorString()));
    const QString path = disk.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    QString sql = serverAndAccount(*m_inn)
        + QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, -1, 'Wide');"
                         "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, "
                         "Category, Account) VALUES (2, 0, 1, -1, -1, 'Filling the disk', 'Body', 1, 1);");
    QStringList groups;
    for (int n = 1; n <= kFullGroups; ++n) {
        groups << fullGroup(n);
        sql += QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (%1, %2);"
                              "INSERT INTO GroupServer (Newsgroup, Server) VALUES (%1, 1);"
                              "INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, 1);")
                   .arg(n)
                   .arg(quoted(fullGroup(n)));
    }
    ScratchStore::execOn(path, sql);
    const auto copiesOnServer = [&] {
        int copies = 0;
        for (const QString &group : groups)
            copies += articlesIn(group);
        return copies;
    };
    const int copiesBefore = copiesOnServer();
    // Room for the engine's shared-memory file and a few commits.
    QVERIFY2(disk.fill(96 * 1024), qPrintable(disk.errorString()));

    CliResult r = runCli(disk.path(), {QStringLiteral("post")});
    QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.contains(QStringLiteral("Quorbic: ") + kDiskFull),
             qPrintable(r.describe()));
    const QStringList recorded
        = ScratchStore::rowsOf(path, QStringLiteral("SELECT MessageId FROM SentArticles WHERE GroupId > 0"));
    QVERIFY2(!recorded.isEmpty() && recorded.size() < kFullGroups, qPrintable(recorded.join(QLatin1Char(' '))));
    for (const QString &messageId : recorded)
        QVERIFY2(onServer(messageId), qPrintable(messageId));
    // Each copy is recorded as pending before it is sent: the full disk met
    // either that record (the copy was not sent) or the confirmation (the copy
    // is on the server and its pending record names it). Every copy on the
    // server is recorded.
    const QStringList pending
        = ScratchStore::rowsOf(path, QStringLiteral("SELECT MessageId FROM SentArticles WHERE GroupId < 0"));
    QVERIFY2(pending.size() <= 1, qPrintable(pending.join(QLatin1Char(' '))));
    const int pendingOnServer
        = int(std::count_if(pending.begin(), pending.end(), [this](const QString &id) { return onServer(id); }));
    QCOMPARE(copiesOnServer() - copiesBefore, recorded.size() + pendingOnServer);
    QCOMPARE(ScratchStore::rowsOf(path, QStringLiteral("SELECT Folder FROM Article WHERE Code=2")), QStringList{"1"});
    QCOMPARE(integrity(path), QStringLiteral("ok"));

    // With room again the next run posts the rest; a pending copy goes with its
    // Message-ID, which the server refuses when it has it: one copy a group.
    disk.release();
    r = runCli(disk.path(), {QStringLiteral("post")});
    QVERIFY2(!r.crashed && r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(ScratchStore::rowsOf(path, QStringLiteral("SELECT Folder, Source FROM Article WHERE Code=2")),
             QStringList{QStringLiteral("0|") + groups.join(QLatin1Char(','))});
    QCOMPARE(ScratchStore::rowsOf(path, QStringLiteral("SELECT count(DISTINCT GroupId), count(*) FROM SentArticles")),
             QStringList{QStringLiteral("%1|%1").arg(kFullGroups)});
    QCOMPARE(copiesOnServer() - copiesBefore, kFullGroups);
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

void tst_StoreFaults::diskFillsWhileRetrieving()
{
    SmallDisk disk(QStringLiteral("2m"));
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.errorString()));
    const QString path = disk.filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    const QString questionId = newId("question");
    ScratchStore::execOn(path,
                         serverAndAccount(*m_inn)
                             + QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (1, %1);"
                                              "INSERT INTO GroupServer (Newsgroup, Server) VALUES (1, 1);"
                                              "INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, "
                                              "Subject, Body, Account, Source) VALUES (1, 0, 0, -1, -1, "
                                              "'Asked before', 'Body', 1, %1);"
                                              "INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, "
                                              "GroupId) VALUES (1, %2, '', 1);")
                                   .arg(quoted(kFullAnswers), quoted(questionId)));
    constexpr int kAnswerCount = 12;
    QByteArray body;
    for (int line = 0; line < 250; ++line)
        body += "A long answer, line " + QByteArray::number(line) + ", to fill the pages of the store.\n";
    for (int n = 0; n < kAnswerCount; ++n)
        answerOnServer(kFullAnswers, questionId, body);
    QVERIFY2(disk.fill(160 * 1024), qPrintable(disk.errorString()));

    const QString answers = QStringLiteral("SELECT count(*) FROM Article WHERE Parent=1");
    // Every answer stored with its record, and no record without its answer.
    const QString paired = QStringLiteral("SELECT count(*) FROM Article a, SentArticles s "
                                          "WHERE a.Parent=1 AND s.ArticleId=a.Code");
    CliResult r = runCli(disk.path(), {QStringLiteral("retrieve")});
    QVERIFY2(!r.crashed && r.exitCode == 1 && r.err.contains(QStringLiteral("Quorbic: ") + kDiskFull),
             qPrintable(r.describe()));
    const int kept = ScratchStore::rowsOf(path, answers).value(0).toInt();
    QVERIFY2(kept >= 1 && kept < kAnswerCount, qPrintable(QString::number(kept)));
    QCOMPARE(ScratchStore::rowsOf(path, paired), QStringList{QString::number(kept)});
    QCOMPARE(ScratchStore::rowsOf(path, QStringLiteral("SELECT count(*) FROM SentArticles")),
             QStringList{QString::number(kept + 1)});
    QCOMPARE(integrity(path), QStringLiteral("ok"));

    disk.release();
    r = runCli(disk.path(), {QStringLiteral("retrieve")});
    QVERIFY2(!r.crashed && r.exitCode == 0, qPrintable(r.describe()));
    QCOMPARE(r.out.trimmed(),
             kAnswerCount - kept == 1 ? QStringLiteral("1 new message")
                                      : QStringLiteral("%1 new messages").arg(kAnswerCount - kept));
    QCOMPARE(ScratchStore::rowsOf(path, answers), QStringList{QString::number(kAnswerCount)});
    QCOMPARE(ScratchStore::rowsOf(path, paired), QStringList{QString::number(kAnswerCount)});
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(tst_StoreFaults)
#include "tst_storefaults.moc"
