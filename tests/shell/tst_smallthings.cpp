// Small things of the shell: the About box shows its whole e-mail address,
// message text is in the system's fixed-width font, the editors' Help menu
// opens the manual at their part, the manual has the pictures and parts it
// refers to, and the main window keeps its size, splitters and column widths
// from one run to the next.

#include "shellfixture.h"

#include "messages/messageeditor.h"
#include "shell/about.h"
#include "shell/appwindows.h"
#include "shell/helpcontents.h"
#include "shell/helpwindow.h"
#include "shell/mainactions.h"
#include "shell/program.h"

#include <QAction>
#include <QFile>
#include <QFontDatabase>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QTest>

namespace {

QList<int> splitterSizes(const TfmMain &window, const char *name)
{
    return window.findChild<QSplitter *>(QLatin1String(name))->sizes();
}

} // namespace

class tst_SmallThings : public QObject
{
    Q_OBJECT

private slots:
    void aboutBoxShowsTheWholeAddress()
    {
        RecordingOpener opener;
        TfmAbout about(opener);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QLabel *mail = about.mailLink();
        QVERIFY2(mail->width() >= mail->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(mail->width()).arg(mail->sizeHint().width())));
        QVERIFY(mail->mapTo(&about, QPoint(mail->sizeHint().width(), 0)).x() <= about.width());
        QVERIFY(about.width() >= 370 && about.height() >= 191);
    }

    void editorsWriteInTheFixedWidthFont_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("question") << "fmQuestion";
        QTest::newRow("reply") << "fmReply";
    }
    void editorsWriteInTheFixedWidthFont()
    {
        QFETCH(QString, editor);
        ScratchStore store;
        RecordingOpener opener;
        QuorbicProgram program(opener, store.path());
        program.start();
        auto *body = program.windows()->window(editor)->findChild<QPlainTextEdit *>(QStringLiteral("reQuestion"));
        QVERIFY(body);
        QCOMPARE(body->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
        program.shutdown();
    }

    void editorsHelpOpensTheManualAtTheirPart_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("section");
        QTest::newRow("question") << "fmQuestion"
                                  << "asking";
        QTest::newRow("reply") << "fmReply"
                               << "replying";
    }
    void editorsHelpOpensTheManualAtTheirPart()
    {
        QFETCH(QString, editor);
        QFETCH(QString, section);
        ScratchStore store;
        RecordingOpener opener;
        QuorbicProgram program(opener, store.path());
        program.start();
        TfmMain *main = program.fmMain();
        main->show();
        auto *window = qobject_cast<MessageEditor *>(program.windows()->window(editor));
        QVERIFY(window);
        EditorHelp &help = *window->help();
        const auto shownSection = [main] { return main->helpWindow()->browser()->source().fragment(); };

        bool aboutShown = false;
        QTimer aboutCloser;
        connect(&aboutCloser, &QTimer::timeout, [&] {
            if (program.fmAbout()->isVisible()) {
                aboutShown = true;
                program.fmAbout()->reject();
            }
        });
        aboutCloser.start(10);
        QTimer guard; // a failure below must not leave the editor waiting
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, window, [window] { window->done(QDialog::Rejected); });
        guard.start(20000);

        // While the editor is modal: every other window is blocked, yet the
        // help window takes the keyboard.
        QTimer::singleShot(0, window, [&] {
            QVERIFY(QTest::qWaitForWindowActive(window));
            window->body()->setFocus();
            QTest::keyClick(window->body(), Qt::Key_F1);
            TfmHelp *manual = main->helpWindow();
            QVERIFY(manual && manual->isVisible());
            QCOMPARE(shownSection(), section);
            QCOMPARE(manual->browser()->source().fileName(), QStringLiteral("index.html"));
            QVERIFY(manual->browser()->verticalScrollBar()->value() > 0); // scrolled to the section
            // Through the window system, as a blocked window would not get it.
            QVERIFY(QTest::qWaitForWindowActive(manual));
            QTest::keyClick(manual->windowHandle(), Qt::Key_Escape);
            QVERIFY(!manual->isVisible());

            help.HowtoUseHelp1->trigger();
            QCOMPARE(shownSection(), QStringLiteral("help"));
            help.SearchforHelpOn1->trigger();
            QCOMPARE(shownSection(), QString()); // the first page lists every part
            manual->close();
            help.About1->trigger();
            QVERIFY(aboutShown);
            window->done(QDialog::Rejected);
        });
        window->exec();
        QVERIFY(guard.isActive());

        // Help > Contents in the main window: the same window, at the first page.
        main->actions().HelpContents1->trigger();
        TfmHelp *manual = main->helpWindow();
        QVERIFY(manual->isVisible());
        QCOMPARE(manual->parentWidget(), main);
        QCOMPARE(shownSection(), QString());
        QVERIFY(opener.opened.isEmpty());
        program.shutdown();
    }

    void manualHasEverythingItRefersTo()
    {
        // Every picture it shows, every part its links and the editors' Help
        // menus name.
        const QString index = HelpContents::indexPage();
        QVERIFY(!index.isEmpty());
        QFile file(index);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(file.readAll());
        const QDir folder = QFileInfo(index).dir();
        QStringList pictures;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("src=\"([^\"]+)\"")).globalMatch(page))
            pictures << m.captured(1);
        QVERIFY(pictures.size() >= 6);
        for (const QString &picture : pictures)
            QVERIFY2(!QImage(folder.filePath(picture)).isNull(), qPrintable(picture));
        QStringList parts{QStringLiteral("asking"), QStringLiteral("replying"), QStringLiteral("help")};
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(page))
            parts << m.captured(1);
        for (const QString &part : parts)
            QVERIFY2(page.contains(QStringLiteral("<a name=\"%1\">").arg(part)), qPrintable(part));
    }

    void mainWindowKeepsItsLayoutBetweenRuns()
    {
        QTemporaryDir config;
        const QString file = config.filePath(QStringLiteral("Quorbic/window.ini"));
        ScratchStore store;
        RecordingOpener opener;
        QList<int> bar;
        QList<int> messages;
        {
            QuorbicProgram first(opener, store.path());
            first.setWindowStateFile(file);
            first.start();
            TfmMain &w = *first.fmMain();
            QCOMPARE(w.size(), QSize(769, 573)); // nothing kept yet: as designed
            w.resize(900, 700);
            QTRY_COMPARE(w.size(), QSize(900, 700));
            auto *barSplitter = w.findChild<QSplitter *>(QStringLiteral("splitterBar"));
            barSplitter->setSizes({180, barSplitter->width() - 180 - barSplitter->handleWidth()});
            auto *messageSplitter = w.findChild<QSplitter *>(QStringLiteral("splitterMessages"));
            messageSplitter->setSizes({300, messageSplitter->height() - 300 - messageSplitter->handleWidth()});
            w.messageTree().widget()->header()->resizeSection(0, 333);
            bar = splitterSizes(w, "splitterBar");
            messages = splitterSizes(w, "splitterMessages");
            first.shutdown();
        }
        QVERIFY(QFile::exists(file));

        QuorbicProgram second(opener, store.path());
        second.setWindowStateFile(file);
        second.start();
        TfmMain &w = *second.fmMain();
        QTRY_COMPARE(w.size(), QSize(900, 700));
        QCOMPARE(splitterSizes(w, "splitterBar"), bar);
        QCOMPARE(splitterSizes(w, "splitterMessages"), messages);
        QCOMPARE(w.messageTree().widget()->header()->sectionSize(0), 333);
        second.shutdown();
    }

    void aBrokenLayoutFileIsHarmless()
    {
        QTemporaryDir config;
        const QString file = config.filePath(QStringLiteral("window.ini"));
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("[main]\ngeometry=@ByteArray(\\x1\\x2garbage)\ncolumns=-5, x, 99999999\n\x01\x02\n");
        broken.close();
        ScratchStore store;
        RecordingOpener opener;
        QuorbicProgram program(opener, store.path());
        program.setWindowStateFile(file);
        program.start();
        QCOMPARE(program.fmMain()->size(), QSize(769, 573));
        QCOMPARE(program.fmMain()->messageTree().widget()->header()->sectionSize(0), 250);
        QVERIFY(program.fmMain()->isVisible());
        program.shutdown();
    }
};

QTEST_MAIN(tst_SmallThings)
#include "tst_smallthings.moc"
