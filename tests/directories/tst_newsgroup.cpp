// The Newsgroups dialog fmNewsgroup offscreen: the filter, the virtual list,
// Update List against real INN servers, and what OK, Cancel, Esc, Enter and the
// close box leave in the store for another process to see.

#include "directories/categoryimages.h"
#include "directories/newsgroup.h"
#include "directories/newsgrouplistmodel.h"
#include "exchange/certificatequestions.h"
#include "exchange/newsaccess.h"
#include "exchange/listloader.h"
#include "store/dmod.h"
#include "tests/support/modaldriver.h"
#include "tests/directories/windowtesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/innserver.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

namespace {

QString serverRow(const QString &host, quint16 port)
{
    return QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('%1', '%1', %2);")
        .arg(host)
        .arg(port);
}

QString groupRows(const QStringList &names)
{
    QString sql;
    for (const QString &name : names)
        sql += QStringLiteral("INSERT INTO Groups (GroupName) VALUES ('%1');").arg(name);
    return sql;
}

QStringList listed(TfmNewsgroup &dialog)
{
    QStringList names;
    NewsgroupListModel &model = dialog.listModel();
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row, 0).data().toString();
    return names;
}

QString statusText(const QWidget *dialog)
{
    return child<QLabel>(dialog, "lbStatus")->text();
}

QTimer *filterTimer(const QWidget *dialog)
{
    return child<QTimer>(dialog, "tmrFilter");
}

const QString Opening = QStringLiteral("S: 200 hi\nC: mode reader\nS: 200 ok\n");

} // namespace

class TestNewsgroup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstOpeningOnEmptyStoreRunsUpdateList_data();
    void firstOpeningOnEmptyStoreRunsUpdateList();
    void filterMatchesAnywhereWithoutCase_data();
    void filterMatchesAnywhereWithoutCase();
    void typingRestartsTheFilterTimer();
    void openingStartsWithEmptyFilterAndMarksSubscribed();
    void waysOfClosingAfterUpdateList_data();
    void waysOfClosingAfterUpdateList();
    void knownNamesReadOncePerOpening();
    void commandsWaitWhileNamesAreRead();
    void failedListKeepsDialogUsable();
    void descriptionsShownAndFiltered_data();
    void descriptionsShownAndFiltered();
    void storeWithoutDescriptions();
    void plainLoginQuestion_data();
    void plainLoginQuestion();

private:
    std::unique_ptr<InnServer> m_innA;
    std::unique_ptr<InnServer> m_innB;
    std::unique_ptr<InnServer> m_innLogin; // Debian's default: STARTTLS listed, answered 580
};

void TestNewsgroup::initTestCase()
{
    InnServer::Options a;
    a.groups = {QStringLiteral("comp.lang.a"), QStringLiteral("shared.one")};
    m_innA = std::make_unique<InnServer>(a);
    QVERIFY2(m_innA->start(), qPrintable(m_innA->errorString()));
    InnServer::Options b;
    b.groups = {QStringLiteral("shared.one"), QStringLiteral("misc.b")};
    m_innB = std::make_unique<InnServer>(b);
    QVERIFY2(m_innB->start(), qPrintable(m_innB->errorString()));
    InnServer::Options login;
    login.groups = {QStringLiteral("comp.os.linux.networking"), QStringLiteral("sci.crypt")};
    login.descriptions = {{QStringLiteral("sci.crypt"), QStringLiteral("Different methods of data en/decryption.")}};
    login.user = QStringLiteral("ann");
    login.password = QStringLiteral("s3cret");
    m_innLogin = std::make_unique<InnServer>(login);
    QVERIFY2(m_innLogin->start(), qPrintable(m_innLogin->errorString()));
}

void TestNewsgroup::firstOpeningOnEmptyStoreRunsUpdateList_data()
{
    QTest::addColumn<bool>("withServer");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("no server: only the message") << false << QStringList();
    QTest::newRow("a server: its list is loaded") << true << QStringList({"comp.lang.a", "shared.one"});
}

void TestNewsgroup::firstOpeningOnEmptyStoreRunsUpdateList()
{
    QFETCH(bool, withServer);
    QFETCH(QStringList, groups);
    StoreFixture fx(withServer ? serverRow(m_innA->host(), m_innA->port()) : QString());
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    if (!withServer)
        driver.answerBox(QMessageBox::Ok);
    QStringList shown;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        shown = listed(dialog);
        QVERIFY(!QApplication::overrideCursor());
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    if (!withServer) {
        QCOMPARE(driver.boxes().size(), 1);
        QCOMPARE(driver.boxes()[0].title, QStringLiteral("Server list is empty"));
        QCOMPARE(driver.boxes()[0].text, QStringLiteral("Please, select menu Tools>News Server and add a server"));
        QCOMPARE(driver.boxes()[0].icon, QMessageBox::Critical);
    }
    QCOMPARE(shown, groups);
    QCOMPARE(fx.committed("SELECT GroupName FROM Groups ORDER BY GroupName"), groups);
}

void TestNewsgroup::filterMatchesAnywhereWithoutCase_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("groups");
    const QStringList all{"a_b.c", "alt.comp.x", "axb.d", "comp.lang.c", "COMP.os", "misc.test"};
    QTest::newRow("comp anywhere, any case, name order")
        << "comp" << QStringList({"alt.comp.x", "comp.lang.c", "COMP.os"});
    QTest::newRow("upper case typed") << "OS" << QStringList({"COMP.os"});
    QTest::newRow("% alone matches every group") << "%" << all;
    QTest::newRow("_ alone matches every group") << "_" << all;
    QTest::newRow("_ stands for any one character") << "a_b" << QStringList({"a_b.c", "axb.d"});
    QTest::newRow("no match empties the list") << "zzz" << QStringList();
}

void TestNewsgroup::filterMatchesAnywhereWithoutCase()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, groups);
    StoreFixture fx(groupRows({"comp.lang.c", "alt.comp.x", "COMP.os", "misc.test", "a_b.c", "axb.d"}));
    TfmNewsgroup dialog(fx.dm);
    // The delay is the timer's business, tested below; here only what it shows.
    filterTimer(&dialog)->setInterval(10);
    ModalDriver driver;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QCOMPARE(listed(dialog).size(), 6);
        QTest::keyClicks(child<QLineEdit>(&dialog, "edFilter"), typed);
        QTRY_VERIFY(!filterTimer(&dialog)->isActive());
        QCOMPARE(listed(dialog), groups);
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
}

void TestNewsgroup::typingRestartsTheFilterTimer()
{
    StoreFixture fx(groupRows({"comp.lang.c", "misc.test"}));
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QTimer *timer = filterTimer(&dialog);
        QLineEdit *filter = child<QLineEdit>(&dialog, "edFilter");
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QTest::keyClicks(filter, "co");
        QVERIFY(timer->isActive());
        timer->stop();
        // Each change starts the timer again from the beginning.
        QTest::keyClicks(filter, "mp");
        QVERIFY(timer->isActive());
        QCOMPARE(listed(dialog).size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(listed(dialog), QStringList({"comp.lang.c"}), 5000);
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
}

void TestNewsgroup::openingStartsWithEmptyFilterAndMarksSubscribed()
{
    StoreFixture fx(groupRows({"comp.lang.c", "misc.test"})
                    + "UPDATE Groups SET Subscribed = -1 WHERE GroupName = 'misc.test';");
    TfmNewsgroup dialog(fx.dm);
    filterTimer(&dialog)->setInterval(10);
    ModalDriver driver;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QTest::keyClicks(child<QLineEdit>(&dialog, "edFilter"), "misc");
        QTRY_COMPARE(listed(dialog), QStringList({"misc.test"}));
        click(&dialog, "btnOk");
    });
    dialog.exec();
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QCOMPARE(child<QLineEdit>(&dialog, "edFilter")->text(), QString());
        QCOMPARE(listed(dialog), QStringList({"comp.lang.c", "misc.test"}));
        NewsgroupListModel &model = dialog.listModel();
        const QIcon plain = model.index(0, 0).data(Qt::DecorationRole).value<QIcon>();
        const QIcon marked = model.index(1, 0).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(marked.cacheKey(), CategoryImages::pencil().cacheKey());
        QVERIFY(plain.cacheKey() != CategoryImages::pencil().cacheKey());
        auto *list = child<QTreeView>(&dialog, "allList");
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Newsgroup"));
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        click(&dialog, "btnCancel");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
}

void TestNewsgroup::waysOfClosingAfterUpdateList_data()
{
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<bool>("kept");
    QTest::newRow("OK keeps the new rows") << "ok" << true;
    QTest::newRow("Enter in the filter keeps them") << "enter" << true;
    QTest::newRow("close box keeps them") << "close" << true;
    QTest::newRow("Cancel undoes them") << "cancel" << false;
    QTest::newRow("Esc undoes them") << "esc" << false;
}

void TestNewsgroup::waysOfClosingAfterUpdateList()
{
    QFETCH(QString, closeWith);
    QFETCH(bool, kept);
    StoreFixture fx(groupRows({"old.group"}) + serverRow(m_innA->host(), m_innA->port())
                    + serverRow(m_innB->host(), m_innB->port()));
    // Written before the dialog opens and not yet committed: the opening keeps it.
    fx.dm.MainConnection().execDirect("INSERT INTO Account (AccountName) VALUES ('before')");
    QVERIFY(fx.committed("SELECT AccountName FROM Account").isEmpty());

    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    QStringList shownAfterUpdate;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QCOMPARE(fx.committed("SELECT AccountName FROM Account"), QStringList({"before"}));
        QVERIFY(fx.dm.checkpointsHeld());
        QVERIFY(dialog.loader());
        // The loading windows close by themselves; nothing is expected of them.
        click(&dialog, "btnUpdate");
        shownAfterUpdate = listed(dialog);
        // Another process sees nothing of the refresh before the dialog decides.
        QCOMPARE(fx.committed("SELECT GroupName FROM Groups"), QStringList({"old.group"}));
        if (closeWith == QLatin1String("ok"))
            click(&dialog, "btnOk");
        else if (closeWith == QLatin1String("enter"))
            QTest::keyClick(child<QLineEdit>(&dialog, "edFilter"), Qt::Key_Return);
        else if (closeWith == QLatin1String("close"))
            dialog.close();
        else if (closeWith == QLatin1String("cancel"))
            click(&dialog, "btnCancel");
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    const int result = dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(driver.boxes().size(), 0);
    QCOMPARE(result,
             closeWith == QLatin1String("ok") || closeWith == QLatin1String("enter") ? int(QDialog::Accepted)
                                                                                     : int(QDialog::Rejected));

    const QStringList loaded{"comp.lang.a", "misc.b", "old.group", "shared.one"};
    QCOMPARE(shownAfterUpdate, loaded);
    QCOMPARE(fx.committed("SELECT AccountName FROM Account"), QStringList({"before"}));
    QVERIFY(!dialog.loader());
    QVERIFY(!fx.dm.checkpointsHeld());
    if (kept) {
        QCOMPARE(fx.committed("SELECT GroupName FROM Groups ORDER BY GroupName"), loaded);
        QCOMPARE(fx.committed("SELECT g.GroupName, gs.Server FROM GroupServer gs JOIN Groups g "
                              "ON g.Code = gs.Newsgroup ORDER BY g.GroupName, gs.Server"),
                 QStringList({"comp.lang.a|1", "misc.b|2", "shared.one|1", "shared.one|2"}));
    } else {
        QCOMPARE(fx.committed("SELECT Code, GroupName FROM Groups"), QStringList({"1|old.group"}));
        QCOMPARE(fx.committed("SELECT count(*) FROM GroupServer"), QStringList({"0"}));
    }
}

void TestNewsgroup::knownNamesReadOncePerOpening()
{
    QString seed = QStringLiteral("INSERT INTO Groups (GroupName) WITH RECURSIVE n(i) AS "
                                  "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1300) "
                                  "SELECT 'g.' || i FROM n");
    StoreFixture fx(seed);
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        QCOMPARE(statusText(&dialog), QString());
        driver.answerBox(QMessageBox::Ok);
        click(&dialog, "btnUpdate");
        QCOMPARE(statusText(&dialog), QStringLiteral("Loaded 1024"));
        QCOMPARE(dialog.loader()->groupNames().size(), 1300);
        child<QLabel>(&dialog, "lbStatus")->clear();
        driver.answerBox(QMessageBox::Ok);
        click(&dialog, "btnUpdate");
        QCOMPARE(statusText(&dialog), QString());
        QCOMPARE(listed(dialog).size(), 1300);
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.boxes().size(), 2);
    QCOMPARE(driver.boxes()[1].title, QStringLiteral("Server list is empty"));
}

void TestNewsgroup::commandsWaitWhileNamesAreRead()
{
    StoreFixture fx(QStringLiteral("INSERT INTO Groups (GroupName) WITH RECURSIVE n(i) AS "
                                   "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1300) "
                                   "SELECT 'g.' || i FROM n"));
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    bool clicked = false;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        driver.answerBox(QMessageBox::Ok);
        // Runs while Update List reads the known names and lets events run:
        // Cancel would free them under the reader, a second Update List would
        // read them twice.
        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(statusText(&dialog), QStringLiteral("Loaded 512"));
            click(&dialog, "btnCancel");
            click(&dialog, "btnUpdate");
            dialog.close();
            clicked = true;
        });
        click(&dialog, "btnUpdate");
        QVERIFY(clicked);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.loader()->groupNames().size(), 1300);
        QCOMPARE(statusText(&dialog), QStringLiteral("Loaded 1024"));
        click(&dialog, "btnOk");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.boxes().size(), 1);
}

void TestNewsgroup::failedListKeepsDialogUsable()
{
    FakeNewsServer fake;
    fake.addScript(Opening
                   + "C: List\nS: 215 list\nS: a.one 2 1 y\nS: a.bad 2 1 y\nS: a.two 2 1 y\nS: .\n"
                     "C: Quit\n* closed");
    StoreFixture fx(groupRows({"old.group"}) + serverRow(fake.host(), fake.port()),
                    "CREATE TRIGGER refuse BEFORE INSERT ON Groups WHEN NEW.GroupName = 'a.bad' "
                    "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        // The loading window shows the failure, then waits for the user. (It is
        // not expected before the box: the box may cover it before it is seen.)
        driver.answerBox(QMessageBox::Ok);
        driver.onWindow("fmRecNewsgroup", [](QWidget *window) { click(window, "BitBtn1"); });
        click(&dialog, "btnUpdate");
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(child<QTreeView>(&dialog, "allList")->updatesEnabled());
        QCOMPARE(listed(dialog), QStringList({"a.one", "old.group"}));
        click(&dialog, "btnCancel");
    });
    dialog.exec();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QVERIFY2(fake.waitForScripts(), qPrintable(fake.failure()));
    QCOMPARE(driver.boxes().size(), 1);
    QCOMPARE(driver.boxes()[0].title, QStringLiteral("Quorbic"));
    QVERIFY2(driver.boxes()[0].text.startsWith(QLatin1String("refused by test")), qPrintable(driver.boxes()[0].text));
    QCOMPARE(fx.committed("SELECT GroupName FROM Groups"), QStringList({"old.group"}));
}

void TestNewsgroup::descriptionsShownAndFiltered_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("part of a name") << "lang" << QStringList{"comp.lang.c|Discussion about C."};
    QTest::newRow("part of a description only, in another case")
        << "MICROSCOP" << QStringList{"sci.optics|Discussion relating to the science of optics and microscopes."};
    QTest::newRow("in a name or a description")
        << "sci" << QStringList{"sci.optics|Discussion relating to the science of optics and microscopes.", "sci.raw|"};
    QTest::newRow("empty: every group") << ""
                                        << QStringList{"comp.lang.c|Discussion about C.",
                                                       "sci.optics|Discussion relating to the science of optics and "
                                                       "microscopes.",
                                                       "sci.raw|"};
}

void TestNewsgroup::descriptionsShownAndFiltered()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    StoreFixture fx(groupRows({"sci.optics", "comp.lang.c", "sci.raw"})
                    + "INSERT INTO GroupDescriptions VALUES (1, 'Discussion relating to the science of optics and "
                      "microscopes.'); INSERT INTO GroupDescriptions VALUES (2, 'Discussion about C.');");
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    QStringList rows;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        NewsgroupListModel &model = dialog.listModel();
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Description"));
        child<QLineEdit>(&dialog, "edFilter")->setText(typed);
        dialog.tmrFilterTimer();
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row, 0).data().toString() + QLatin1Char('|') + model.index(row, 1).data().toString();
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.finished(), qPrintable(driver.problems()));
    QCOMPARE(rows, shown);
}

void TestNewsgroup::storeWithoutDescriptions()
{
    StoreFixture fx(groupRows({"sci.optics", "comp.lang.c"}) + "DROP TABLE GroupDescriptions;");
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    int columns = 0;
    QStringList shown;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        columns = dialog.listModel().columnCount();
        child<QLineEdit>(&dialog, "edFilter")->setText("optics");
        dialog.tmrFilterTimer();
        shown = listed(dialog);
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.finished(), qPrintable(driver.problems()));
    QCOMPARE(columns, 1);
    QCOMPARE(shown, QStringList{"sci.optics"});
}

void TestNewsgroup::plainLoginQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: the list comes, and a second Update List asks no more") << true;
    QTest::newRow("No: nothing sent, a Connection Error box") << false;
}

// Debian's INN lists STARTTLS and answers it 580 without a certificate; the
// server wants a login.
void TestNewsgroup::plainLoginQuestion()
{
    QFETCH(bool, yes);
    StoreFixture fx(
        QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port, RequiresLogin, Login, Password) "
                       "VALUES ('%1', '%1', %2, -1, 'ann', 's3cret');")
            .arg(m_innLogin->host())
            .arg(m_innLogin->port()));
    preferEncryption(NewsAccess::of(fx.dm).client());
    TfmNewsgroup dialog(fx.dm);
    ModalDriver driver;
    driver.answerBox(yes ? QMessageBox::Yes : QMessageBox::No);
    if (!yes)
        driver.answerBox(QMessageBox::Ok);
    QStringList shown;
    driver.onWindow("fmNewsgroup", [&](QWidget *) {
        if (yes)
            click(&dialog, "btnUpdate"); // the host's Yes holds: no second question
        shown = listed(dialog);
        click(&dialog, "btnOk");
    });
    dialog.exec();
    QVERIFY2(driver.finished(), qPrintable(driver.problems()));
    const ModalDriver::Box question = driver.boxes().value(0);
    QCOMPARE(question.title, QStringLiteral("Warning"));
    QVERIFY2(question.text.startsWith(QStringLiteral("The news server %1 offered encryption but then refused it (580 ")
                                          .arg(m_innLogin->host()))
                 && question.text.endsWith(QStringLiteral("). Send your user name and password unencrypted?")),
             qPrintable(question.text));
    QCOMPARE(question.icon, QMessageBox::Warning);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    if (yes) {
        QCOMPARE(driver.boxes().size(), 1);
        QCOMPARE(shown, QStringList({"comp.os.linux.networking", "sci.crypt"}));
        QCOMPARE(fx.committed("SELECT Description FROM GroupDescriptions JOIN Groups ON Code = Newsgroup "
                              "WHERE GroupName = 'sci.crypt'"),
                 QStringList{"Different methods of data en/decryption."});
    } else {
        QCOMPARE(driver.boxes().size(), 2);
        QCOMPARE(driver.boxes()[1].title, QStringLiteral("Connection Error"));
        const QString text = driver.boxes()[1].text;
        QVERIFY2(text.startsWith(QStringLiteral("News Server %1:%2: ").arg(m_innLogin->host()).arg(m_innLogin->port()))
                     && text.endsWith(QStringLiteral("; the user name and password were not sent.")),
                 qPrintable(text));
        QCOMPARE(shown, QStringList());
    }
}

QTEST_MAIN(TestNewsgroup)
#include "tst_newsgroup.moc"
