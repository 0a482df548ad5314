// Starting without a usable store: the program offers to make a missing one
// and ends after its box when the file is no store; it never shows a main
// window that cannot work.

#include "shellfixture.h"

#include "shell/program.h"
#include "store/storeschema.h"
#include "tests/support/modaldriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_StoreStart : public QObject
{
    Q_OBJECT

private slots:
    void missingStoreIsMadeOnYes()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qa.mdb"));
        RecordingOpener opener;
        ModalDriver driver;
        driver.answerBox(QMessageBox::Yes);
        QuorbicProgram program(opener, file);
        QVERIFY(program.start());
        QVERIFY2(driver.finished(), qPrintable(driver.problems()));
        QCOMPARE(driver.boxes().at(0).title, QStringLiteral("Quorbic"));
        QVERIFY2(driver.boxes().at(0).text.contains(QDir::toNativeSeparators(dir.path())),
                 qPrintable(driver.boxes().at(0).text));
        QCOMPARE(driver.boxes().at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        // Private: the owner reads and writes, nobody else does anything.
        const QFileDevice::Permissions permissions = QFileInfo(file).permissions();
        QVERIFY(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(!(permissions
                  & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                     | QFileDevice::WriteOther | QFileDevice::ExeOther)));
        QVERIFY(program.fmMain()->isVisible());
        QCOMPARE(program.fmMain()->currentFolder(), 0);
        // A store that works: the Outbox can be read and written.
        program.dm()->MainConnection().execDirect(
            QStringLiteral("INSERT INTO Article (Code, Folder, Subject) VALUES (1, 1, 'works')"));
        program.shutdown();
        QCOMPARE(ScratchStore::rowsOf(file, QStringLiteral("SELECT Subject FROM Article")), QStringList{"works"});
    }

    void missingStoreAndNoEndsTheProgram()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qa.mdb"));
        RecordingOpener opener;
        ModalDriver driver;
        driver.answerBox(QMessageBox::No);
        QuorbicProgram program(opener, file);
        QVERIFY(!program.start());
        QVERIFY2(driver.finished(), qPrintable(driver.problems()));
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!program.fmMain());
        QVERIFY(!program.dm());
    }

    void unusableStoreEndsTheProgramAfterItsBox_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("readable");
        QTest::newRow("a text file") << QByteArray("From: ann@example.org\nSubject: notes\n") << true;
        QTest::newRow("a store the user may not read") << QByteArray() << false;
    }
    void unusableStoreEndsTheProgramAfterItsBox()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qa.mdb"));
        if (readable) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        } else {
            StoreSchema::create(file);
            QFile::setPermissions(file, QFileDevice::WriteOwner);
            if (QFileInfo(file).isReadable())
                QSKIP("running with rights that read every file");
        }
        RecordingOpener opener;
        ModalDriver driver;
        driver.answerBox(QMessageBox::Ok);
        QuorbicProgram program(opener, file);
        QVERIFY(!program.start());
        QVERIFY2(driver.finished(), qPrintable(driver.problems()));
        QCOMPARE(driver.boxes().at(0).icon, QMessageBox::Critical);
        QVERIFY2(driver.boxes().at(0).text.startsWith(QStringLiteral("The store ") + file + " cannot be opened: "),
                 qPrintable(driver.boxes().at(0).text));
        QVERIFY(!program.fmMain());
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
    }
};

QTEST_MAIN(tst_StoreStart)
#include "tst_storestart.moc"
