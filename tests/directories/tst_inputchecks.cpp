// What the property dialogs check beyond empty fields: an e-mail address that
// looks like one, ports from 1 to 65535, a second category or folder of the
// same name under one parent only after a question, and an empty folder name
// reported as the folder's.

#include "directories/addresscheck.h"
#include "directories/accprop.h"
#include "directories/categed.h"
#include "directories/srvedit.h"
#include "store/rowset.h"
#include "tests/support/modaldriver.h"
#include "windowtesting.h"

namespace {

#define VERIFY_DRIVER(driver)                                                                                          \
    do {                                                                                                               \
        QVERIFY2((driver).done(), qPrintable((driver).pending().join(", ")));                                          \
        QCOMPARE((driver).unexpected(), QStringList());                                                                \
    } while (false)

QString focusOf(const QWidget *dialog)
{
    return dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
}

// Computing, C++ below it, and a folder "Languages" holding "Rust".
const QString kCategories
    = QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, 0, 'Computing');"
                     "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (2, 1, -1, 'C++');"
                     "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (3, 1, 0, 'Languages');"
                     "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (4, 3, -1, 'Rust');");

} // namespace

class tst_InputChecks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emailAddressMustLookLikeOne_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem"); // empty: stored at once
        QTest::newRow("plain") << "ann@example.org"
                               << "";
        QTest::newRow("host without dots") << "me@home"
                                           << "";
        QTest::newRow("plus and subdomains") << "a.b+news@news.example.co.uk"
                                             << "";
        QTest::newRow("no @")
            << "ann.example.org"
            << "An E-mail address has an \"@\" between the name and the domain, as in ann@example.org";
        QTest::newRow("two @") << "ann@home@example.org"
                               << "An E-mail address has only one \"@\"";
        QTest::newRow("nothing before @") << "@example.org"
                                          << "The E-mail address has no name before the \"@\"";
        QTest::newRow("nothing after @") << "ann@"
                                         << "The E-mail address has no domain after the \"@\"";
        QTest::newRow("a blank") << "ann smith@example.org"
                                 << "An E-mail address has no blanks, line breaks, \"<\", \">\", \",\" or quotes";
        QTest::newRow("name and address") << "Ann <ann@example.org>"
                                          << "An E-mail address has no blanks, line breaks, \"<\", \">\", \",\" or "
                                             "quotes";
        QTest::newRow("blanks only") << "   "
                                     << "An E-mail address has an \"@\" between the name and the domain, as in "
                                        "ann@example.org";
        QTest::newRow("two dots in the domain") << "ann@example..org"
                                                << "The domain after the \"@\" is not a host name such as example.org";
        QTest::newRow("domain with an underscore") << "ann@my_host.org"
                                                   << "The domain after the \"@\" is not a host name such as "
                                                      "example.org";
    }
    void emailAddressMustLookLikeOne()
    {
        QFETCH(QString, address);
        QFETCH(QString, problem);
        QCOMPARE(AddressCheck::problem(address), problem);

        StoreFixture f;
        TfmAccountProperty dialog(f.dm);
        ModalDriver driver;
        QString focusAfter;
        driver.onWindow("fmAccountProperty", [&](QWidget *d) {
            fill(d, "dbeAccountName", "Home");
            fill(d, "dbeUserName", "Ann");
            fill(d, "dbeEmail", address);
            click(d, "btnOk");
        });
        if (!problem.isEmpty()) {
            driver.answerBox(QMessageBox::Ok);
            driver.onWindow("fmAccountProperty", [&](QWidget *d) {
                focusAfter = focusOf(d);
                fill(d, "dbeEmail", "ann@example.org");
                click(d, "btnOk");
            });
        }
        QVERIFY(dialog.runOnNewAccount());
        VERIFY_DRIVER(driver);
        if (problem.isEmpty()) {
            QCOMPARE(driver.boxes().size(), 0);
            QCOMPARE(f.committed("SELECT \"E-mail address\" FROM Account"), QStringList{address});
        } else {
            QCOMPARE(driver.boxes().size(), 1);
            QCOMPARE(driver.boxes().at(0).title, QStringLiteral("The E-mail address is not valid"));
            QCOMPARE(driver.boxes().at(0).text, problem);
            QCOMPARE(driver.boxes().at(0).icon, QMessageBox::Warning);
            QCOMPARE(focusAfter, QStringLiteral("dbeEmail"));
            QCOMPARE(f.committed("SELECT \"E-mail address\" FROM Account"), QStringList{"ann@example.org"});
        }
    }

    void portsFromOneTo65535_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("proxy");
        QTest::addColumn<QString>("proxyPort");
        QTest::addColumn<QString>("title"); // empty: stored at once
        QTest::addColumn<QString>("focus");
        QTest::newRow("news port") << "119" << false << ""
                                   << ""
                                   << "";
        QTest::newRow("empty means the news port") << "" << false << ""
                                                   << ""
                                                   << "";
        QTest::newRow("highest") << "65535" << true << "1"
                                 << ""
                                 << "";
        QTest::newRow("zero") << "0" << false << ""
                              << "The Port field is not valid"
                              << "dbePort";
        QTest::newRow("too high") << "65536" << false << ""
                                  << "The Port field is not valid"
                                  << "dbePort";
        QTest::newRow("proxy port zero") << "119" << true << "0"
                                         << "The Proxy Port field is not valid"
                                         << "dbeProxyPort";
        QTest::newRow("proxy port unused") << "119" << false << "0"
                                           << ""
                                           << "";
    }
    void portsFromOneTo65535()
    {
        QFETCH(QString, port);
        QFETCH(bool, proxy);
        QFETCH(QString, proxyPort);
        QFETCH(QString, title);
        QFETCH(QString, focus);
        StoreFixture f;
        TfmEditServer dialog(f.dm);
        ModalDriver driver;
        QString focusAfter;
        driver.onWindow("fmEditServer", [&](QWidget *d) {
            fill(d, "dbeProfileName", "Home");
            fill(d, "dbeServerName", "news.example.org");
            fill(d, "dbePort", port);
            child<QCheckBox>(d, "dbProxy")->setChecked(proxy);
            fill(d, "dbeProxyHost", "proxy.example.org");
            fill(d, "dbeProxyPort", proxyPort);
            click(d, "btnOk");
        });
        if (!title.isEmpty()) {
            driver.answerBox(QMessageBox::Ok);
            driver.onWindow("fmEditServer", [&](QWidget *d) {
                focusAfter = focusOf(d);
                click(d, "btnCancel");
            });
        }
        const bool stored = dialog.runOnNewServer();
        VERIFY_DRIVER(driver);
        QCOMPARE(stored, title.isEmpty());
        if (!title.isEmpty()) {
            QCOMPARE(driver.boxes().at(0).title, title);
            QCOMPARE(driver.boxes().at(0).text, QStringLiteral("Please, enter a port from 1 to 65535"));
            QCOMPARE(focusAfter, focus);
        }
    }

    void sameNameUnderOneParentAsksFirst_data()
    {
        QTest::addColumn<int>("parent");
        QTest::addColumn<bool>("isCategory");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("question"); // empty: no question
        QTest::newRow("category of a sibling's name, other case")
            << 1 << true << "c++"
            << "There is already a category named \"c++\" in this place.\r\rStore another one "
               "of that name?";
        QTest::newRow("folder named as a sibling folder")
            << 1 << false << "Languages"
            << "There is already a folder named \"Languages\" in this place.\r\rStore another one of that name?";
        QTest::newRow("same name under another parent") << 3 << true << "C++"
                                                        << "";
        QTest::newRow("same name as the parent") << 3 << true << "Languages"
                                                 << "";
    }
    void sameNameUnderOneParentAsksFirst()
    {
        QFETCH(int, parent);
        QFETCH(bool, isCategory);
        QFETCH(QString, name);
        QFETCH(QString, question);
        for (const bool yes : {false, true}) {
            if (question.isEmpty() && !yes)
                continue;
            StoreFixture f(kCategories);
            RowSet categories(f.dm.MainConnection(), QStringLiteral("SELECT * FROM Categories"),
                              QStringLiteral("tbCategory"));
            categories.open();
            categories.append();
            categories.setValue(QStringLiteral("Parent"), parent);
            categories.setValue(QStringLiteral("Kind"), isCategory);
            TfmCategoryEdit dialog(f.dm, categories);
            ModalDriver driver;
            driver.onWindow("fmCategoryEdit", [&](QWidget *d) {
                fill(d, "edName", name);
                click(d, "btnOk");
            });
            if (!question.isEmpty()) {
                driver.answerBox(yes ? QMessageBox::Yes : QMessageBox::No);
                if (!yes) {
                    driver.onWindow("fmCategoryEdit", [&](QWidget *d) {
                        QCOMPARE(focusOf(d), QStringLiteral("edName"));
                        fill(d, "edName", "Go");
                        click(d, "btnOk");
                    });
                }
            }
            QCOMPARE(dialog.exec(), int(QDialog::Accepted));
            VERIFY_DRIVER(driver);
            QCOMPARE(driver.boxes().size(), question.isEmpty() ? 0 : 1);
            if (!question.isEmpty()) {
                QCOMPARE(driver.boxes().at(0).text, question);
                QCOMPARE(driver.boxes().at(0).buttons, QMessageBox::Yes | QMessageBox::No);
            }
            const QString stored = question.isEmpty() || yes ? name : QStringLiteral("Go");
            QCOMPARE(f.committed(QStringLiteral("SELECT Name FROM Categories WHERE Code > 4")), QStringList{stored});
        }
    }

    void renamingKeepsItsOwnNameWithoutAQuestion()
    {
        StoreFixture f(kCategories);
        RowSet categories(f.dm.MainConnection(), QStringLiteral("SELECT * FROM Categories"),
                          QStringLiteral("tbCategory"));
        categories.open();
        QVERIFY(categories.locate(QStringLiteral("Code"), 2));
        categories.edit();
        TfmCategoryEdit dialog(f.dm, categories);
        ModalDriver driver;
        driver.onWindow("fmCategoryEdit", [&](QWidget *d) {
            fill(d, "edName", "C++");
            click(d, "btnOk");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.boxes().size(), 0);
    }

    void emptyNameSaysWhatIsMissing_data()
    {
        QTest::addColumn<bool>("isCategory");
        QTest::addColumn<QString>("text");
        QTest::newRow("category") << true << "The Category Name field is empty\rPlease, enter the category name";
        QTest::newRow("folder") << false << "The Folder Name field is empty\rPlease, enter the folder name";
    }
    void emptyNameSaysWhatIsMissing()
    {
        QFETCH(bool, isCategory);
        QFETCH(QString, text);
        StoreFixture f;
        RowSet categories(f.dm.MainConnection(), QStringLiteral("SELECT * FROM Categories"),
                          QStringLiteral("tbCategory"));
        categories.open();
        categories.append();
        categories.setValue(QStringLiteral("Parent"), 0);
        categories.setValue(QStringLiteral("Kind"), isCategory);
        TfmCategoryEdit dialog(f.dm, categories);
        ModalDriver driver;
        driver.onWindow("fmCategoryEdit", [&](QWidget *d) { click(d, "btnOk"); });
        driver.answerBox(QMessageBox::Ok);
        driver.onWindow("fmCategoryEdit", [&](QWidget *d) { click(d, "btnCancel"); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.boxes().at(0).title, QStringLiteral("Warning"));
        QCOMPARE(driver.boxes().at(0).text, text);
    }
};

QTEST_MAIN(tst_InputChecks)
#include "tst_inputchecks.moc"
