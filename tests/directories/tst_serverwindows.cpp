// "News Servers" and "Server Properties" driven as the user drives them: the
// presets of Add, the required fields, storing and cancelling, the question
// before deleting, the enable rules, the groups that follow their boxes, the
// password echo, and a row the store refuses.

#include "directories/serverlist.h"
#include "directories/srvedit.h"
#include "tests/support/modaldriver.h"
#include "windowtesting.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTreeView>

namespace {

const QString kServers
    = QStringLiteral("SELECT ProfileName, ServerName, Port, RequiresLogin, IsProxy FROM Servers ORDER BY Code");
const QString kTwoServers
    = QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('Alpha', 'news.alpha.example', 119);"
                     "INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('Beta', 'news.beta.example', 120);"
                     "INSERT INTO GroupServer (Newsgroup, Server) VALUES (7, 2)");

// The profile names the list shows, and the one it shows as current.
QStringList listed(const TfmServer &window)
{
    QStringList names;
    const QAbstractItemModel *model = window.list()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        names << model->index(i, 0).data().toString();
    return names;
}

QString current(const TfmServer &window)
{
    return window.list()->currentIndex().data().toString();
}

void selectRow(TfmServer &window, int row)
{
    window.list()->setCurrentIndex(window.list()->model()->index(row, 0));
}

} // namespace

class tst_ServerWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionsHintsAndKeys();
    void addPresetsTheNewRow();
    void storesTheRowOnOk_data();
    void storesTheRowOnOk();
    void reportsOnlyTheFirstMissingField_data();
    void reportsOnlyTheFirstMissingField();
    void cancellingLeavesTheStoreAsItWas_data();
    void cancellingLeavesTheStoreAsItWas();
    void deleteAsksAboutTheHost_data();
    void deleteAsksAboutTheHost();
    void editAndDeleteNeedAStoredRow();
    void enterAndDoubleClickEditTheCurrentRow_data();
    void enterAndDoubleClickEditTheCurrentRow();
    void groupsFollowTheirBoxesAndKeepTheirValues_data();
    void groupsFollowTheirBoxesAndKeepTheirValues();
    void passwordsAreEchoedAsSpecified();
    void labelsAndTabOrder();
    void refusedRowEndsWithCancelAndTheErrorBox();
    void newRowForTheFirstUseCheck();
};

void tst_ServerWindows::captionsHintsAndKeys()
{
    StoreFixture f;
    TfmServer window(f.dm);
    QCOMPARE(window.objectName(), QStringLiteral("fmServer"));
    QCOMPARE(window.windowTitle(), QStringLiteral("News Servers"));
    QCOMPARE(window.list()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Server Name"));
    QCOMPARE(window.editServer().objectName(), QStringLiteral("fmEditServer"));
    QCOMPARE(window.editServer().windowTitle(), QStringLiteral("Server Properties"));

    const struct
    {
        QAction *action;
        const char *button;
        QString caption, hint;
        QKeySequence key;
    } commands[] = {
        {window.acAdd(), "btnAdd", "Add", "Add a new server", QKeySequence(Qt::Key_Insert)},
        {window.acEdit(), "btnEdit", "Edit", "Edit the server properties", QKeySequence()},
        {window.acDelete(), "btnDelete", "Delete", "Delete the server", QKeySequence(Qt::Key_Delete)},
    };
    for (const auto &c : commands) {
        // Padded with blanks so the caption sits beside the glyph.
        QVERIFY2(c.action->text().startsWith(c.caption + QLatin1Char(' ')), qPrintable(c.action->text()));
        QCOMPARE(c.action->text().trimmed(), c.caption);
        QCOMPARE(c.action->toolTip(), c.hint);
        QCOMPARE(c.action->shortcut(), c.key);
        QVERIFY(!c.action->icon().isNull());
        auto *button = child<QPushButton>(&window, c.button);
        QCOMPARE(button->text(), c.action->text());
        QCOMPARE(button->accessibleName(), c.caption);
    }
    QVERIFY(child<QPushButton>(&window, "btnEdit")->isDefault());
    QCOMPARE(child<QPushButton>(&window, "btnClose")->text(), QStringLiteral("&Close"));
    QCOMPARE(window.list()->actions(), (QList<QAction *>{window.acAdd(), window.acEdit(), window.acDelete()}));
    QCOMPARE(window.list()->contextMenuPolicy(), Qt::ActionsContextMenu);

    // "&Close" and Esc end the window.
    for (bool byEscape : {false, true}) {
        QVERIFY(activate(&window));
        if (byEscape)
            QTest::keyClick(window.list(), Qt::Key_Escape);
        else
            click(&window, "btnClose");
        QVERIFY(!window.isVisible());
    }
}

void tst_ServerWindows::addPresetsTheNewRow()
{
    StoreFixture f(kTwoServers);
    TfmServer window(f.dm);
    QVERIFY(activate(&window));

    ModalDriver driver;
    QString port, focus;
    bool login = true, proxy = true, loginGroup = true, proxyGroup = true;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        port = textOf(dialog, "dbePort");
        login = child<QCheckBox>(dialog, "dbeLoginRequire")->isChecked();
        proxy = child<QCheckBox>(dialog, "dbProxy")->isChecked();
        loginGroup = child<QGroupBox>(dialog, "gbLogin")->isEnabled();
        proxyGroup = child<QGroupBox>(dialog, "gbProxy")->isEnabled();
        focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        fill(dialog, "dbeProfileName", "Gamma");
        fill(dialog, "dbeServerName", "news.gamma.example");
        click(dialog, "btnOk");
    });
    QTest::keyClick(window.list(), Qt::Key_Insert);

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(port, QStringLiteral("119"));
    QVERIFY(!login);
    QVERIFY(!proxy);
    QVERIFY(!loginGroup);
    QVERIFY(!proxyGroup);
    QCOMPARE(focus, QStringLiteral("dbeProfileName"));
    QCOMPARE(f.committed(kServers).last(), QStringLiteral("Gamma|news.gamma.example|119|0|0"));
    QCOMPARE(listed(window), (QStringList{"Alpha", "Beta", "Gamma"}));
    QCOMPARE(current(window), QStringLiteral("Gamma"));
}

void tst_ServerWindows::storesTheRowOnOk_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("stored");
    QTest::newRow("host stored without surrounding blanks") << "Home"
                                                            << "  news.example.org \t"
                                                            << "Home|news.example.org|119|0|0";
    QTest::newRow("profile name of blanks passes untrimmed") << "   "
                                                             << "news.example.org"
                                                             << "   |news.example.org|119|0|0";
}

void tst_ServerWindows::storesTheRowOnOk()
{
    QFETCH(QString, profile);
    QFETCH(QString, host);
    QFETCH(QString, stored);
    StoreFixture f;
    TfmServer window(f.dm);
    window.show();

    ModalDriver driver;
    int result = -1;
    QString hostShown;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", profile);
        fill(dialog, "dbeServerName", host);
        click(dialog, "btnOk");
        result = static_cast<QDialog *>(dialog)->result();
        hostShown = textOf(dialog, "dbeServerName");
    });
    window.acAdd()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(hostShown, host.trimmed());
    // Durable at once: another process sees the row.
    QCOMPARE(f.committed(kServers), QStringList{stored});
    QCOMPARE(f.dm.tbServer().state(), RowSet::State::Browse);
    QVERIFY(window.acEdit()->isEnabled());
}

void tst_ServerWindows::reportsOnlyTheFirstMissingField_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("both names empty") << ""
                                      << ""
                                      << "Please, enter Server Name"
                                      << "dbeProfileName";
    QTest::newRow("profile name empty") << ""
                                        << "news.example.org"
                                        << "Please, enter Server Name"
                                        << "dbeProfileName";
    QTest::newRow("host empty") << "Home"
                                << ""
                                << "Please, enter Server Host"
                                << "dbeServerName";
    QTest::newRow("host of blanks") << "Home"
                                    << "   "
                                    << "Please, enter Server Host"
                                    << "dbeServerName";
}

void tst_ServerWindows::reportsOnlyTheFirstMissingField()
{
    QFETCH(QString, profile);
    QFETCH(QString, host);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    StoreFixture f;
    TfmServer window(f.dm);
    window.show();

    ModalDriver driver;
    QString focusAfter, profileAfter;
    bool openAfter = false;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", profile);
        fill(dialog, "dbeServerName", host);
        click(dialog, "btnOk");
    });
    driver.answerBox(QMessageBox::Ok);
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        openAfter = dialog->isVisible();
        focusAfter = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        profileAfter = textOf(dialog, "dbeProfileName");
        // The refused close does not block the next one.
        dialog->close();
    });
    window.acAdd()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(driver.boxes().size(), 1);
    const ModalDriver::Box box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("The Server Name field is empty"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(openAfter);
    QCOMPARE(focusAfter, focus);
    QCOMPARE(profileAfter, profile);
    QVERIFY(!window.editServer().isVisible());
    QCOMPARE(window.editServer().result(), int(QDialog::Rejected));
    QCOMPARE(f.committed(kServers), QStringList());
    QCOMPARE(f.dm.tbServer().rowCount(), 0);
    QCOMPARE(f.dm.tbServer().state(), RowSet::State::Browse);
}

void tst_ServerWindows::cancellingLeavesTheStoreAsItWas_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("how");
    for (const char *how : {"Cancel", "Esc", "close box"}) {
        QTest::addRow("%s after Add", how) << true << QString::fromLatin1(how);
        QTest::addRow("%s after Edit", how) << false << QString::fromLatin1(how);
    }
}

void tst_ServerWindows::cancellingLeavesTheStoreAsItWas()
{
    QFETCH(bool, adding);
    QFETCH(QString, how);
    StoreFixture f(kTwoServers);
    const QStringList before = f.committed(kServers);
    TfmServer window(f.dm);
    QVERIFY(activate(&window));
    selectRow(window, 0);

    ModalDriver driver;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", "Changed");
        fill(dialog, "dbeServerName", "changed.example");
        child<QCheckBox>(dialog, "dbeLoginRequire")->click();
        if (how == QLatin1String("Cancel"))
            click(dialog, "btnCancel");
        else if (how == QLatin1String("Esc"))
            QTest::keyClick(child<QLineEdit>(dialog, "dbeServerName"), Qt::Key_Escape);
        else
            dialog->close();
    });
    (adding ? window.acAdd() : window.acEdit())->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(window.editServer().result(), int(QDialog::Rejected));
    QCOMPARE(f.dm.tbServer().state(), RowSet::State::Browse);
    QCOMPARE(f.committed(kServers), before);
    QCOMPARE(f.dm.tbServer().rowCount(), 2);
    QCOMPARE(f.dm.tbServer().asString("ProfileName"), QStringLiteral("Alpha"));
    QCOMPARE(listed(window), (QStringList{"Alpha", "Beta"}));
    QCOMPARE(current(window), QStringLiteral("Alpha"));
}

void tst_ServerWindows::deleteAsksAboutTheHost_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("No keeps the server") << int(QMessageBox::No) << QStringList{"Alpha", "Beta"};
    QTest::newRow("Yes deletes it") << int(QMessageBox::Yes) << QStringList{"Alpha"};
}

void tst_ServerWindows::deleteAsksAboutTheHost()
{
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    StoreFixture f(kTwoServers);
    TfmServer window(f.dm);
    QVERIFY(activate(&window));
    selectRow(window, 1);

    ModalDriver driver;
    driver.answerBox(QMessageBox::StandardButton(answer));
    QTest::keyClick(window.list(), Qt::Key_Delete);

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    const ModalDriver::Box box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Delete Server"));
    // Two blanks, then the host rather than the profile name.
    QCOMPARE(box.text, QStringLiteral("Do you want to delete  news.beta.example?"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.committed("SELECT ProfileName FROM Servers ORDER BY Code"), left);
    QCOMPARE(listed(window), left);
    // Nothing else is deleted.
    QCOMPARE(f.committed("SELECT Newsgroup, Server FROM GroupServer"), QStringList{"7|2"});
}

void tst_ServerWindows::editAndDeleteNeedAStoredRow()
{
    StoreFixture f;
    TfmServer window(f.dm);
    QVERIFY(activate(&window));
    QVERIFY(window.acAdd()->isEnabled());
    QVERIFY(!window.acEdit()->isEnabled());
    QVERIFY(!window.acDelete()->isEnabled());
    QVERIFY(!child<QPushButton>(&window, "btnEdit")->isEnabled());
    QVERIFY(!child<QPushButton>(&window, "btnDelete")->isEnabled());

    // Whatever triggers them, they open nothing.
    ModalDriver driver;
    window.acEdit()->trigger();
    window.acDelete()->trigger();
    QTest::keyClick(window.list(), Qt::Key_Return);
    QTest::keyClick(window.list(), Qt::Key_Delete);
    QTest::mouseDClick(window.list()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(driver.boxes().size(), 0);
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(f.dm.tbServer().state(), RowSet::State::Browse);

    // A stored row enables both; deleting the last one disables them again.
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", "Home");
        fill(dialog, "dbeServerName", "news.example.org");
        click(dialog, "btnOk");
    });
    window.acAdd()->trigger();
    QVERIFY(window.acEdit()->isEnabled());
    QVERIFY(window.acDelete()->isEnabled());
    QVERIFY(child<QPushButton>(&window, "btnDelete")->isEnabled());
    driver.answerBox(QMessageBox::Yes);
    window.acDelete()->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(f.committed(kServers), QStringList());
    QVERIFY(!window.acEdit()->isEnabled());
    QVERIFY(!window.acDelete()->isEnabled());
}

void tst_ServerWindows::enterAndDoubleClickEditTheCurrentRow_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Enter") << false;
    QTest::newRow("double-click") << true;
}

void tst_ServerWindows::enterAndDoubleClickEditTheCurrentRow()
{
    QFETCH(bool, doubleClick);
    StoreFixture f(kTwoServers);
    TfmServer window(f.dm);
    QVERIFY(activate(&window));
    selectRow(window, 1);

    ModalDriver driver;
    QString shown, port;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        shown = textOf(dialog, "dbeProfileName");
        port = textOf(dialog, "dbePort");
        fill(dialog, "dbeProfileName", "Beta renamed");
        click(dialog, "btnOk");
    });
    if (doubleClick) {
        // A double-click is a click followed by the second press.
        const QPoint cell = window.list()->visualRect(window.list()->model()->index(1, 0)).center();
        QTest::mouseClick(window.list()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(window.list()->viewport(), Qt::LeftButton, {}, cell);
    } else {
        QTest::keyClick(window.list(), Qt::Key_Return);
    }

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(shown, QStringLiteral("Beta"));
    QCOMPARE(port, QStringLiteral("120"));
    QCOMPARE(f.committed(kServers),
             (QStringList{"Alpha|news.alpha.example|119|0|0", "Beta renamed|news.beta.example|120|0|0"}));
    QCOMPARE(listed(window), (QStringList{"Alpha", "Beta renamed"}));
    QCOMPARE(current(window), QStringLiteral("Beta renamed"));
}

void tst_ServerWindows::groupsFollowTheirBoxesAndKeepTheirValues_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("stored");
    QTest::newRow("login") << "dbeLoginRequire"
                           << "gbLogin"
                           << "0|joe|secret|-1|socks.example|1080|pjoe|psecret";
    QTest::newRow("proxy") << "dbProxy"
                           << "gbProxy"
                           << "-1|joe|secret|0|socks.example|1080|pjoe|psecret";
}

void tst_ServerWindows::groupsFollowTheirBoxesAndKeepTheirValues()
{
    QFETCH(QString, box);
    QFETCH(QString, group);
    QFETCH(QString, stored);
    StoreFixture f(
        QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, RequiresLogin, Login, Password, IsProxy,"
                       " Host, ProxyPort, ProxyLogin, ProxyPassword) VALUES ('Home', 'news.example.org', -1,"
                       " 'joe', 'secret', -1, 'socks.example', 1080, 'pjoe', 'psecret')"));
    TfmServer window(f.dm);
    window.show();

    ModalDriver driver;
    bool enabledAtOpen = false, enabledUnticked = true, enabledTickedAgain = false;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        auto *check = child<QCheckBox>(dialog, qPrintable(box));
        auto *frame = child<QGroupBox>(dialog, qPrintable(group));
        enabledAtOpen = frame->isEnabled();
        check->click();
        check->click();
        enabledTickedAgain = frame->isEnabled();
        check->click();
        enabledUnticked = frame->isEnabled();
        click(dialog, "btnOk");
    });
    window.acEdit()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QVERIFY(enabledAtOpen);
    QVERIFY(enabledTickedAgain);
    QVERIFY(!enabledUnticked);
    QCOMPARE(f.committed("SELECT RequiresLogin, Login, Password, IsProxy, Host, ProxyPort,"
                         " ProxyLogin, ProxyPassword FROM Servers"),
             QStringList{stored});

    // Showing the dialog on another row sets the groups from that row.
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        enabledAtOpen = child<QGroupBox>(dialog, qPrintable(group))->isEnabled();
        click(dialog, "btnCancel");
    });
    window.acAdd()->trigger();
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QVERIFY(!enabledAtOpen);
}

void tst_ServerWindows::passwordsAreEchoedAsSpecified()
{
    StoreFixture f;
    TfmEditServer dialog(f.dm);
    f.dm.tbServer().append();
    dialog.show();
    auto *password = child<QLineEdit>(&dialog, "dbePassword");
    auto *proxyPassword = child<QLineEdit>(&dialog, "dbeProxyPassword");
    child<QCheckBox>(&dialog, "dbeLoginRequire")->click();
    child<QCheckBox>(&dialog, "dbProxy")->click();
    QTest::keyClicks(password, QStringLiteral("s3cr"));
    QTest::keyClicks(proxyPassword, QStringLiteral("pr0xy"));
    QCOMPARE(password->displayText(), QStringLiteral("****"));
    QCOMPARE(proxyPassword->displayText(), QStringLiteral("pr0xy"));
    dialog.reject();
}

void tst_ServerWindows::labelsAndTabOrder()
{
    StoreFixture f;
    TfmEditServer dialog(f.dm);
    QCOMPARE(tabOrder(child(&dialog, "dbeProfileName"), 13),
             (QStringList{"dbeProfileName", "dbeServerName", "dbePort", "dbeLoginRequire", "dbeLogin", "dbePassword",
                          "dbProxy", "dbeProxyHost", "dbeProxyPort", "dbeProxyLogin", "dbeProxyPassword", "btnOk",
                          "btnCancel"}));
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        QVERIFY2(label->buddy(), qPrintable(label->text()));
        labels << label->text() + QLatin1Char('=') + label->buddy()->objectName();
    }
    labels.sort();
    QCOMPARE(labels,
             (QStringList{"Host:=dbeServerName", "Login Name:=dbeLogin", "Password:=dbePassword",
                          "Password:=dbeProxyPassword", "Port:=dbePort", "Port:=dbeProxyPort",
                          "Proxy Host: =dbeProxyHost", "Server Name:=dbeProfileName", "User Name:=dbeProxyLogin"}));
    QCOMPARE(child<QCheckBox>(&dialog, "dbeLoginRequire")->text(), QStringLiteral("This server requires me to log on"));
    QCOMPARE(child<QCheckBox>(&dialog, "dbProxy")->text(), QStringLiteral("Use proxy server to connect"));
    QCOMPARE(child<QGroupBox>(&dialog, "gbLogin")->title(), QStringLiteral("Login Information"));
    QCOMPARE(child<QGroupBox>(&dialog, "gbProxy")->title(), QStringLiteral("Proxy SOCKS5"));
    QVERIFY(child<QPushButton>(&dialog, "btnOk")->isDefault());
}

void tst_ServerWindows::refusedRowEndsWithCancelAndTheErrorBox()
{
    StoreFixture f({},
                   QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Servers WHEN NEW.ProfileName = 'Refused'"
                                  " BEGIN SELECT RAISE(ABORT, 'no room for this server'); END"));
    TfmServer window(f.dm);
    window.show();

    ModalDriver driver;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", "Refused");
        fill(dialog, "dbeServerName", "news.example.org");
        click(dialog, "btnOk");
    });
    driver.answerBox(QMessageBox::Ok);
    window.acAdd()->trigger();

    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    const ModalDriver::Box box = driver.boxes().first();
    QCOMPARE(box.title, QStringLiteral("Quorbic"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.startsWith(QStringLiteral("no room for this server")), qPrintable(box.text));
    QVERIFY2(box.text.endsWith(QLatin1Char('.')), qPrintable(box.text));
    QCOMPARE(window.editServer().result(), int(QDialog::Rejected));
    QCOMPARE(f.dm.tbServer().state(), RowSet::State::Browse);
    QCOMPARE(f.dm.tbServer().rowCount(), 0);
    f.dm.checkpoint();
    QCOMPARE(f.committed(kServers), QStringList());
}

void tst_ServerWindows::newRowForTheFirstUseCheck()
{
    StoreFixture f;
    TfmServer window(f.dm); // hidden, as at start-up

    ModalDriver driver;
    QString port;
    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        port = textOf(dialog, "dbePort");
        click(dialog, "btnCancel");
    });
    QVERIFY(!window.editServer().runOnNewServer());
    QCOMPARE(f.dm.tbServer().rowCount(), 0);

    driver.onWindow("fmEditServer", [&](QWidget *dialog) {
        fill(dialog, "dbeProfileName", "Home");
        fill(dialog, "dbeServerName", "news.example.org");
        click(dialog, "btnOk");
    });
    QVERIFY(window.editServer().runOnNewServer());
    QVERIFY2(driver.done(), qPrintable(driver.pending().join(", ")));
    QCOMPARE(driver.unexpected(), QStringList());
    QCOMPARE(port, QString());
    // Only RequiresLogin was preset: the port stays empty, which the session reads as 119.
    QCOMPARE(f.committed(kServers), QStringList{"Home|news.example.org|NULL|0|0"});
}

QTEST_MAIN(tst_ServerWindows)
#include "tst_serverwindows.moc"
