// The program as a whole, under its own application object: start-up order,
// the help check, ending the program with the store committed, the About box
// and its splash twin, and the one place that shows errors nobody handled.

#include "shellfixture.h"

#include "shell/about.h"
#include "shell/appwindows.h"
#include "shell/helpwindow.h"
#include "shell/mainactions.h"
#include "shell/program.h"
#include "shell/quorbicapplication.h"
#include "shell/unhandlederror.h"
#include "store/storeerror.h"
#include "tests/support/modaldriver.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

namespace {

// Throws from its event handler, as a command that runs into the store would.
class Throwing : public QObject
{
public:
    QString message;
    int handled = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++handled;
        throw StoreError(message);
    }
};

// Runs the message loop until the program ends; fails the test if it does not.
bool runsUntilQuit(std::function<void()> end)
{
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(10000);
    QTimer::singleShot(0, std::move(end));
    const int code = QCoreApplication::exec();
    return !timedOut && code == 0;
}

} // namespace

class tst_Program : public QObject
{
    Q_OBJECT

private slots:
    // A store with a password that others can read: the box names the file;
    // Yes makes the store and its -wal and -shm private, No leaves the mode
    // and the box comes again at the next start.
    void readableStoreWithPasswordIsOfferedPrivacy_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("modeAfter");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << 0600;
        QTest::newRow("No") << int(QMessageBox::No) << 0644;
    }
    void readableStoreWithPasswordIsOfferedPrivacy()
    {
        QFETCH(int, answer);
        QFETCH(int, modeAfter);
        ScratchStore store;
        store.exec(QStringLiteral("INSERT INTO Servers (Code, ServerName, RequiresLogin, Login, Password) "
                                  "VALUES (1, 'news.example.org', -1, 'ann', 'secret')"));
        const QByteArray file = QFile::encodeName(store.path());
        QVERIFY(::chmod(file.constData(), 0644) == 0);
        auto modeOf = [](const QString &path) {
            struct stat info = {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
        };
        RecordingOpener opener;
        for (int start = 0; start < 2; ++start) {
            ModalDriver driver;
            driver.answerBox(QMessageBox::StandardButton(answer));
            QuorbicProgram program(opener, store.path());
            program.start();
            QVERIFY2(driver.finished(), qPrintable(driver.problems()));
            QCOMPARE(driver.boxes().first().title, QStringLiteral("Quorbic"));
            QVERIFY(driver.boxes().first().text.contains(QFileInfo(store.path()).absoluteFilePath()));
            QCOMPARE(modeOf(store.path()), modeAfter);
            QCOMPARE(modeOf(store.path() + QStringLiteral("-wal")), modeAfter);
            QCOMPARE(modeOf(store.path() + QStringLiteral("-shm")), modeAfter);
            program.shutdown();
            if (answer == QMessageBox::Yes) {
                // Private now: the next start asks nothing.
                ModalWatcher boxes;
                QuorbicProgram again(opener, store.path());
                again.start();
                QVERIFY(boxes.seen.isEmpty());
                again.shutdown();
                break;
            }
        }
    }

    void startUpInOrder()
    {
        ScratchStore store;
        store.exec(articleRow(1, 0, 0, true, "Q1", "2024-03-01 10:00:00"));
        RecordingOpener opener;
        ModalWatcher boxes;
        QuorbicProgram program(opener, store.path());
        program.start();
        QVERIFY(boxes.seen.isEmpty());
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Quorbic"));
        TfmMain *main = program.fmMain();
        QVERIFY(main->isVisible());
        QCOMPARE(main->currentFolder(), 0);
        QCOMPARE(treeShape(*main), QStringLiteral("Q1"));

        QStringList expected;
        for (const AppWindows::Entry &entry : AppWindows::order())
            expected << QLatin1String(entry.name);
        QCOMPARE(program.windows()->names(), expected);
        QCOMPARE(expected.first(), QStringLiteral("fmServer"));
        QCOMPARE(expected.last(), QStringLiteral("fmQuestion"));
        for (const QString &name : expected)
            QVERIFY2(!program.windows()->window(name)->isVisible(), qPrintable(name));
        QCOMPARE(program.windows()->window(QStringLiteral("fmCategChoice"))->windowTitle(),
                 QStringLiteral("Choose  Expert Category"));

        // The splash is gone; the About box for the run has its title bar and button.
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *about = qobject_cast<TfmAbout *>(top);
            QVERIFY(!about || !about->isSplash());
        }
        TfmAbout *about = program.fmAbout();
        QVERIFY(about && !about->isSplash());
        QVERIFY(!about->okButton()->isHidden());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Quorbic"));
        QVERIFY(about->windowFlags() & Qt::WindowTitleHint);
        program.shutdown();
    }

    void everyWindowIsTheRealOne()
    {
        ScratchStore store;
        RecordingOpener opener;
        QuorbicProgram program(opener, store.path());
        program.start();
        // Each window is of its own class: fmServer is a TfmServer, and so on.
        for (const QString &name : program.windows()->names()) {
            const QByteArray expected = "Tfm" + name.mid(2).toLatin1();
            QCOMPARE(QByteArray(program.windows()->window(name)->metaObject()->className()), expected);
        }
        program.shutdown();
    }

    void retrieveReportsTheCountInTheStatusBar()
    {
        ScratchStore store;
        RecordingOpener opener;
        ModalWatcher boxes;
        QuorbicProgram program(opener, store.path());
        program.start();
        program.fmMain()->actions().acReceive->trigger();
        // No Inbox message names a newsgroup: no server is asked, nothing is shown.
        QVERIFY(boxes.seen.isEmpty());
        QCOMPARE(program.fmMain()->statusText(0), QStringLiteral("0 new messages"));
        QVERIFY(program.fmMain()->actions().acReceive->isEnabled());
        QVERIFY(program.fmMain()->actions().acSend->isEnabled());
        program.shutdown();
    }

    void splashIsAnAboutBoxWithoutTitleBarAndButton()
    {
        RecordingOpener opener;
        std::unique_ptr<TfmAbout> splash(TfmAbout::ShowSplash(opener));
        QVERIFY(splash->isVisible());
        QVERIFY(splash->isSplash());
        QVERIFY(splash->okButton()->isHidden());
        QCOMPARE(splash->windowTitle(), QStringLiteral("Quorbic"));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!splash->parentWidget());
    }

    void aboutLinksAskTheDesktop()
    {
        RecordingOpener opener;
        TfmAbout about(opener);
        emit about.webLink()->linkActivated(QStringLiteral("#"));
        emit about.mailLink()->linkActivated(QStringLiteral("#"));
        QCOMPARE(opener.opened,
                 (QList<QUrl>{QUrl(QLatin1String(TfmAbout::kWebAddress)),
                              QUrl(QStringLiteral("mailto:") + QLatin1String(TfmAbout::kSupportAddress))}));
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lbEmail"))->buddy(), about.mailLink());
        QCOMPARE(about.size(), QSize(370, 191));
    }

    void helpNeedsNoDesktopHandler()
    {
        // The manual is shown in the program's own window: a desktop without
        // a handler for help files is no reason for a warning.
        ScratchStore store;
        RecordingOpener opener;
        opener.handlerAvailable = false;
        ModalWatcher boxes;
        QuorbicProgram program(opener, store.path());
        program.start();
        QVERIFY(boxes.seen.isEmpty());
        QVERIFY(program.helpAvailable());
        program.fmMain()->actions().HelpContents1->trigger();
        QVERIFY(program.fmMain()->helpWindow()->isVisible());
        QVERIFY(opener.opened.isEmpty());
        program.shutdown();
    }

    void endingTheProgramCommitsTheStore_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("E&xit") << true;
        QTest::newRow("closing the main window") << false;
    }
    void endingTheProgramCommitsTheStore()
    {
        QFETCH(bool, byExit);
        ScratchStore store;
        store.exec(articleRow(1, 0, 0, false, "Q1", "2024-03-01 10:00:00"));
        RecordingOpener opener;
        QuorbicProgram program(opener, store.path());
        program.start();
        // Written in the open transaction, with no command to make it durable.
        program.dm()->MainConnection().execDirect(QStringLiteral("UPDATE Article SET Subject='changed' WHERE Code=1"));
        TfmMain *main = program.fmMain();
        QVERIFY(runsUntilQuit([&] {
            if (byExit)
                main->actions().Exit1->trigger();
            else
                main->close();
        }));
        program.shutdown();
        QCOMPARE(store.rows(QStringLiteral("SELECT Subject FROM Article WHERE Code=1")),
                 QStringList{QStringLiteral("changed")});
    }

    void errorsEscapingAHandlerAreShownAndTheProgramGoesOn_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("full stop added") << "no such table: Article"
                                         << "no such table: Article.";
        QTest::newRow("ends in a full stop") << "Disk full."
                                             << "Disk full.";
        QTest::newRow("ends in a bracket") << "Error (5)"
                                           << "Error (5)";
        QTest::newRow("ends in a letter after a blank") << "locked "
                                                        << "locked ";
    }
    void errorsEscapingAHandlerAreShownAndTheProgramGoesOn()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        ModalWatcher boxes;
        Throwing target;
        target.message = message;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(target.handled, 2); // the second event still came through
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Quorbic"));
        QCOMPARE(boxes.seen[0].text, shown);
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
    }

    void commandsEndAtTheirError()
    {
        ModalWatcher boxes;
        bool after = false;
        const bool ran = runCommand([&] {
            throw StoreError(QStringLiteral("Cannot edit: the dataset is empty"));
            after = true;
        });
        QVERIFY(!ran);
        QVERIFY(!after);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].text, QStringLiteral("Cannot edit: the dataset is empty."));
        QVERIFY(runCommand([] {}));
        QCOMPARE(boxes.seen.size(), 1);
    }
};

int main(int argc, char *argv[])
{
    QuorbicApplication app(argc, argv);
    tst_Program test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_program.moc"
