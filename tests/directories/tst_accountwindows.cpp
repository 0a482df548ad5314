// "Accounts" and "Account Properties" driven as the user drives them, with the
// account row rules: the first account is the default, storing a default
// leaves it the only one, the editors' account list follows every store and
// removal, and a refused row changes nothing, the other accounts' marks
// included.

#include "directories/accountlist.h"
#include "directories/accountrules.h"
#include "directories/accprop.h"
#include "tests/support/modaldriver.h"
#include "windowtesting.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTreeView>

namespace {

const QString kDefaults
    = QStringLiteral("SELECT AccountName FROM Account WHERE DefaultAccount <> 0 ORDER BY AccountName");
const QString kNames = QStringLiteral("SELECT AccountName FROM Account ORDER BY Code");

// Two accounts, Alice the default; a message written under Bob's account.
const QString kTwoAccounts
    = QStringLiteral("INSERT INTO Account (AccountName, UserName, \"E-mail address\", DefaultAccount)"
                     " VALUES ('Alice', 'Alice A.', 'alice@example.org', -1);"
                     "INSERT INTO Account (AccountName, UserName, \"E-mail address\", DefaultAccount)"
                     " VALUES ('Bob', 'Bob B.', 'bob@example.org', 0);"
                     "INSERT INTO Article (Folder, Subject, Account) VALUES (2, 'Draft', 2)");

QStringList names(RowSet &rows)
{
    QStringList result;
    const int current = rows.row();
    for (int i = 0; i < rows.rowCount(); ++i) {
        rows.setRow(i);
        result << rows.asString(QStringLiteral("AccountName"));
    }
    if (current >= 0)
        rows.setRow(current);
    return result;
}

QString currentName(const TfmAccount &window)
{
    return window.list()->currentIndex().data().toString();
}

void selectAccount(TfmAccount &window, const QString &name)
{
    const QAbstractItemModel *model = window.list()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        if (model->index(i, 0).data().toString() == name)
            window.list()->setCurrentIndex(model->index(i, 0));
    }
}

void fillAccount(QWidget *dialog, const QString &name)
{
    fill(dialog, "dbeAccountName", name);
    fill(dialog, "dbeUserName", name + QStringLiteral(" N."));
    fill(dialog, "dbeEmail", name.toLower() + QStringLiteral("@example.org"));
}

} // namespace

class tst_AccountWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionsHintsAndKeys();
    void labelsAndTabOrder();
    void firstAccountStartsAsTheDefault();
    void storingKeepsOneDefaultAtMost_data();
    void storingKeepsOneDefaultAtMost();
    void editorsListFollowsEveryStore();
    void reportsOnlyTheFirstMissingField_data();
    void reportsOnlyTheFirstMissingField();
    void blanksOnlyPass();
    void cancellingLeavesNoRow_data();
    void cancellingLeavesNoRow();
    void removeAsksThenDeletesOnlyTheAccount_data();
    void removeAsksThenDeletesOnlyTheAccount();
    void editAndRemoveNeedAStoredRow();
    void refusedRowChangesNothing_data();
    void refusedRowChangesNothing();
    void newRowForTheFirstUseCheck();
};

void tst_AccountWindows::captionsHintsAndKeys()
{
    StoreFixture f;
    TfmAccount window(f.dm);
    QCOMPARE(window.objectName(), QStringLiteral("fmAccount"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Accounts"));
    QCOMPARE(window.list()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Account"));
    QCOMPARE(window.accountProperty().objectName(), QStringLiteral("fmAccountProperty"));
    QCOMPARE(window.accountProperty().windowTitle(), QStringLiteral("Account Properties"));
    const struct
    {
        QAction *action;
        QString caption, hint;
        QKeySequence key;
    } commands[] = {
        {window.acAdd(), "Add", "Add a new aacount", QKeySequence(Qt::Key_Insert)},
        {window.acEdit(), "Properties", "Edit account properties", QKeySequence()},
        {window.acDelete(), "Remove", "Remove the account", QKeySequence(Qt::Key_Delete)},
    };
    for (const auto &c : commands) {
        QVERIFY2(c.action->text().startsWith(c.caption + QLatin1Char(' ')), qPrintable(c.action->text()));
        QCOMPARE(c.action->text().trimmed(), c.caption);
        QCOMPARE(c.action->toolTip(), c.hint);
        QCOMPARE(c.action->shortcut(), c.key);
    }
    QCOMPARE(child<QPushButton>(&window, "btnClose")->text(), QStringLiteral("&Close"));
}

void tst_AccountWindows::labelsAndTabOrder()
{
    StoreFixture f;
    TfmAccountProperty dialog(f.dm);
    QCOMPARE(tabOrder(child(&dialog, "dbeAccountName"), 8),
             (QStringList{"dbeAccountName", "dbeUserName", "dbeOrganization", "dbeEmail", "dbeReplyAddress",
                          "dbcDefault", "btnOk", "btnCancel"}));
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        QVERIFY2(label->buddy(), qPrintable(label->text()));
        labels << label->text() + QLatin1Char('=') + label->buddy()->objectName();
    }
    labels.sort();
    QCOMPARE(labels,
             (QStringList{"&Account Name:=dbeAccountName", "&Name:=dbeUserName", "&Organization:=dbeOrganization",
                          "&Reply address:=dbeReplyAddress", "E-&mail address:=dbeEmail"}));
    QCOMPARE(child<QCheckBox>(&dialog, "dbcDefault")->text(), QStringLiteral("Default"));
    QCOMPARE(child<QGroupBox>(&dialog, "gbUserInfo")->title(), QStringLiteral("User Information"));
    QCOMPARE(child<QLineEdit>(&dialog, "dbeAccountName")->maxLength(), 50);
    QCOMPARE(child<QLineEdit>(&dialog, "dbeEmail")->maxLength(), 100);
    QVERIFY(child<QPushButton>(&dialog, "btnOk")->isDefault());
}

void tst_AccountWindows::firstAccountStartsAsTheDefault()
{
    StoreFixture f;
    TfmAccount window(f.dm);
    QVERIFY(activate(&window));

    ModalDriver driver;
    QList<bool> ticked;
    QString focus;
    for (const QString &name : {QStringLiteral("Zed"), QStringLiteral("Amy")}) {
        driver.onWindow("fmAccountProperty", [&, name](QWidget *dialog) {
            ticked << child<QCheckBox>(dialog, "dbcDefault")->isChecked();
            focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            fillAccount(dialog, name);
            click(dialog, "btnOk");
        });
        QVERIFY(activate(&window));
        QTest::keyClick(window.list(), Qt::Key_Insert);
    }

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(ticked, (QList<bool>{true, false}));
    QCOMPARE(focus, QStringLiteral("dbeAccountName"));
    QCOMPARE(f.committed(kDefaults), QStringList{"Zed"});
    QCOMPARE(f.committed("SELECT AccountName, UserName, \"E-mail address\", Organization FROM Account"
                         " ORDER BY Code"),
             (QStringList{"Zed|Zed N.|zed@example.org|NULL", "Amy|Amy N.|amy@example.org|NULL"}));
    QCOMPARE(currentName(window), QStringLiteral("Amy"));
}

void tst_AccountWindows::storingKeepsOneDefaultAtMost_data()
{
    QTest::addColumn<QString>("account"); // edited; empty: a new account "Carol"
    QTest::addColumn<bool>("toggleDefault");
    QTest::addColumn<QStringList>("defaults");
    QTest::newRow("ticking a second account moves the mark") << "Bob" << true << QStringList{"Bob"};
    QTest::newRow("OK on the default unchanged keeps it") << "Alice" << false << QStringList{"Alice"};
    QTest::newRow("unticking the only default leaves none") << "Alice" << true << QStringList{};
    QTest::newRow("storing a plain account touches no mark") << "Bob" << false << QStringList{"Alice"};
    QTest::newRow("a new account ticked takes the mark") << "" << true << QStringList{"Carol"};
    QTest::newRow("a new account starts unticked") << "" << false << QStringList{"Alice"};
}

void tst_AccountWindows::storingKeepsOneDefaultAtMost()
{
    QFETCH(QString, account);
    QFETCH(bool, toggleDefault);
    QFETCH(QStringList, defaults);
    StoreFixture f(kTwoAccounts);
    TfmAccount window(f.dm);
    window.show();

    ModalDriver driver;
    int result = -1;
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        if (account.isEmpty())
            fillAccount(dialog, QStringLiteral("Carol"));
        if (toggleDefault)
            child<QCheckBox>(dialog, "dbcDefault")->click();
        click(dialog, "btnOk");
        result = static_cast<QDialog *>(dialog)->result();
    });
    if (account.isEmpty()) {
        window.acAdd()->trigger();
    } else {
        selectAccount(window, account);
        window.acEdit()->trigger();
    }
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(f.committed(kDefaults), defaults);

    // Every account shows its mark as stored: storing each again unchanged
    // (the previous default included) leaves the marks where they are.
    for (const QString &name : {QStringLiteral("Alice"), QStringLiteral("Bob")}) {
        driver.onWindow("fmAccountProperty", [&](QWidget *dialog) { click(dialog, "btnOk"); });
        selectAccount(window, name);
        window.acEdit()->trigger();
    }
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(f.committed(kDefaults), defaults);
}

void tst_AccountWindows::editorsListFollowsEveryStore()
{
    StoreFixture f(kTwoAccounts);
    TfmAccount window(f.dm);
    window.show();
    ModalDriver driver;

    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        fillAccount(dialog, QStringLiteral("Aaron"));
        click(dialog, "btnOk");
    });
    window.acAdd()->trigger();
    QCOMPARE(names(f.dm.qryAccount1()), (QStringList{"Aaron", "Alice", "Bob"}));

    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        fill(dialog, "dbeAccountName", "Abe");
        click(dialog, "btnOk");
    });
    selectAccount(window, "Bob");
    window.acEdit()->trigger();
    QCOMPARE(names(f.dm.qryAccount1()), (QStringList{"Aaron", "Abe", "Alice"}));
    QCOMPARE(currentName(window), QStringLiteral("Abe"));

    driver.answerBox(QMessageBox::Yes);
    selectAccount(window, "Aaron");
    window.acDelete()->trigger();
    QCOMPARE(names(f.dm.qryAccount1()), (QStringList{"Abe", "Alice"}));
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
}

void tst_AccountWindows::reportsOnlyTheFirstMissingField_data()
{
    QTest::addColumn<QString>("accountName");
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("all three empty") << ""
                                     << ""
                                     << "The Account Name field is empty"
                                     << "Please, enter Account Name"
                                     << "dbeAccountName";
    QTest::newRow("user name and address empty") << "Home"
                                                 << ""
                                                 << "The User Name field is empty"
                                                 << "Please, enter User Name"
                                                 << "dbeUserName";
    QTest::newRow("address empty") << "Home"
                                   << "Me"
                                   << "The E-mail field is empty"
                                   << "Please, enter E-mail"
                                   << "dbeEmail";
}

void tst_AccountWindows::reportsOnlyTheFirstMissingField()
{
    QFETCH(QString, accountName);
    QFETCH(QString, userName);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    StoreFixture f;
    TfmAccount window(f.dm);
    window.show();

    ModalDriver driver;
    QString focusAfter, userAfter;
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        fill(dialog, "dbeAccountName", accountName);
        fill(dialog, "dbeUserName", userName);
        click(dialog, "btnOk");
    });
    driver.answerBox(QMessageBox::Ok);
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        focusAfter = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        userAfter = textOf(dialog, "dbeUserName");
        // Filling the rest lets the same dialog store the row.
        fillAccount(dialog, QStringLiteral("Home"));
        click(dialog, "btnOk");
    });
    window.acAdd()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(driver.boxes().size(), 1);
    QCOMPARE(driver.boxes().first().title, title);
    QCOMPARE(driver.boxes().first().text, text);
    QCOMPARE(driver.boxes().first().icon, QMessageBox::Warning);
    QCOMPARE(focusAfter, focus);
    QCOMPARE(userAfter, userName);
    QCOMPARE(window.accountProperty().result(), int(QDialog::Accepted));
    QCOMPARE(f.committed(kNames), QStringList{"Home"});
}

void tst_AccountWindows::blanksOnlyPass()
{
    StoreFixture f;
    TfmAccountProperty dialog(f.dm);
    ModalDriver driver;
    driver.onWindow("fmAccountProperty", [&](QWidget *d) {
        fill(d, "dbeAccountName", " ");
        fill(d, "dbeUserName", "  ");
        // The address must look like one (tst_inputchecks); the names may be blanks.
        fill(d, "dbeEmail", "ann@example.org");
        click(d, "btnOk");
    });
    QVERIFY(dialog.runOnNewAccount());
    QCOMPARE(driver.boxes().size(), 0);
    QCOMPARE(f.committed("SELECT AccountName, UserName, \"E-mail address\" FROM Account"),
             QStringList{" |  |ann@example.org"});
}

void tst_AccountWindows::cancellingLeavesNoRow_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
}

void tst_AccountWindows::cancellingLeavesNoRow()
{
    QFETCH(bool, closeBox);
    StoreFixture f(kTwoAccounts);
    TfmAccount window(f.dm);
    window.show();
    selectAccount(window, "Bob");

    ModalDriver driver;
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        fillAccount(dialog, QStringLiteral("Carol"));
        child<QCheckBox>(dialog, "dbcDefault")->click();
        if (closeBox)
            dialog->close();
        else
            click(dialog, "btnCancel");
    });
    window.acAdd()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(window.accountProperty().result(), int(QDialog::Rejected));
    QCOMPARE(f.dm.qryAccount().state(), RowSet::State::Browse);
    QCOMPARE(names(f.dm.qryAccount()), (QStringList{"Alice", "Bob"}));
    QCOMPARE(currentName(window), QStringLiteral("Bob"));
    f.dm.checkpoint();
    QCOMPARE(f.committed(kNames), (QStringList{"Alice", "Bob"}));
    QCOMPARE(f.committed(kDefaults), QStringList{"Alice"});
}

void tst_AccountWindows::removeAsksThenDeletesOnlyTheAccount_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("defaults");
    QTest::newRow("No keeps it") << "Alice" << int(QMessageBox::No) << QStringList{"Alice", "Bob"}
                                 << QStringList{"Alice"};
    QTest::newRow("removing the default leaves none")
        << "Alice" << int(QMessageBox::Yes) << QStringList{"Bob"} << QStringList{};
    QTest::newRow("removing an account its messages name")
        << "Bob" << int(QMessageBox::Yes) << QStringList{"Alice"} << QStringList{"Alice"};
}

void tst_AccountWindows::removeAsksThenDeletesOnlyTheAccount()
{
    QFETCH(QString, account);
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    QFETCH(QStringList, defaults);
    StoreFixture f(kTwoAccounts);
    TfmAccount window(f.dm);
    QVERIFY(activate(&window));
    selectAccount(window, account);

    ModalDriver driver;
    driver.answerBox(QMessageBox::StandardButton(answer));
    QTest::keyClick(window.list(), Qt::Key_Delete);

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    const ModalDriver::Box box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Delete Tree Item"));
    QCOMPARE(box.text, QStringLiteral("Would you like to delete this record?"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.committed(kNames), left);
    QCOMPARE(f.committed(kDefaults), defaults);
    QCOMPARE(names(f.dm.qryAccount1()), left);
    // Messages keep the code of the account they were written under.
    QCOMPARE(f.committed("SELECT Account FROM Article"), QStringList{"2"});
}

void tst_AccountWindows::editAndRemoveNeedAStoredRow()
{
    StoreFixture f;
    TfmAccount window(f.dm);
    QVERIFY(activate(&window));
    QVERIFY(!window.acEdit()->isEnabled());
    QVERIFY(!window.acDelete()->isEnabled());

    ModalDriver driver;
    QTest::keyClick(window.list(), Qt::Key_Return);
    QTest::keyClick(window.list(), Qt::Key_Delete);
    window.acEdit()->trigger();
    QCOMPARE(driver.boxes().size(), 0);
    QCOMPARE(driver.unexpected(), QStringList());

    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        fillAccount(dialog, QStringLiteral("Home"));
        click(dialog, "btnOk");
    });
    window.acAdd()->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QVERIFY(window.acEdit()->isEnabled());
    QVERIFY(window.acDelete()->isEnabled());
}

void tst_AccountWindows::refusedRowChangesNothing_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("account"); // edited; empty: a new default account "Refused"
    QTest::addColumn<QString>("message");
    QTest::newRow("new default refused after the marks were cleared")
        << "CREATE TRIGGER refuse BEFORE INSERT ON Account WHEN NEW.AccountName = 'Refused'"
           " BEGIN SELECT RAISE(ABORT, 'no room for this account'); END"
        << ""
        << "no room for this account";
    QTest::newRow("clearing statement refused") << "CREATE TRIGGER refuse BEFORE UPDATE OF DefaultAccount ON Account"
                                                   " BEGIN SELECT RAISE(ABORT, 'marks are read-only'); END"
                                                << "Bob"
                                                << "marks are read-only";
}

void tst_AccountWindows::refusedRowChangesNothing()
{
    QFETCH(QString, trigger);
    QFETCH(QString, account);
    QFETCH(QString, message);
    StoreFixture f(kTwoAccounts, trigger);
    TfmAccount window(f.dm);
    window.show();

    ModalDriver driver;
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        if (account.isEmpty())
            fillAccount(dialog, QStringLiteral("Refused"));
        else
            fill(dialog, "dbeUserName", "Robert");
        child<QCheckBox>(dialog, "dbcDefault")->click();
        click(dialog, "btnOk");
    });
    driver.answerBox(QMessageBox::Ok);
    if (account.isEmpty()) {
        window.acAdd()->trigger();
    } else {
        selectAccount(window, account);
        window.acEdit()->trigger();
    }

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    const ModalDriver::Box box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Quorbic"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
    QCOMPARE(window.accountProperty().result(), int(QDialog::Rejected));
    QCOMPARE(f.dm.qryAccount().state(), RowSet::State::Browse);
    f.dm.checkpoint();
    QCOMPARE(f.committed(kNames), (QStringList{"Alice", "Bob"}));
    QCOMPARE(f.committed("SELECT UserName FROM Account ORDER BY Code"), (QStringList{"Alice A.", "Bob B."}));
    // Alice keeps her mark although the clearing statement had run.
    QCOMPARE(f.committed(kDefaults), QStringList{"Alice"});
}

void tst_AccountWindows::newRowForTheFirstUseCheck()
{
    StoreFixture f;
    TfmAccount window(f.dm); // hidden, as at start-up
    ModalDriver driver;
    bool ticked = false;
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) { click(dialog, "btnCancel"); });
    QVERIFY(!window.accountProperty().runOnNewAccount());
    driver.onWindow("fmAccountProperty", [&](QWidget *dialog) {
        ticked = child<QCheckBox>(dialog, "dbcDefault")->isChecked();
        fillAccount(dialog, QStringLiteral("Home"));
        click(dialog, "btnOk");
    });
    QVERIFY(window.accountProperty().runOnNewAccount());
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QVERIFY(ticked);
    QCOMPARE(f.committed(kDefaults), QStringList{"Home"});
    QCOMPARE(names(f.dm.qryAccount1()), QStringList{"Home"});
}

QTEST_MAIN(tst_AccountWindows)
#include "tst_accountwindows.moc"
