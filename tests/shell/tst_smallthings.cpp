// Small things of the shell: the About box shows its whole e-mail address,
// message text is in the system's fixed-width font, and the main window keeps
// its size, splitters and column widths from one run to the next.

#include "shellfixture.h"

#include "messages/messageeditor.h"
#include "shell/about.h"
#include "shell/appwindows.h"
#include "shell/program.h"

#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTemporaryDir>
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
