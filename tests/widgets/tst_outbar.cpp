// The folder bar: items, selection and the change notification.

#include "widgets/outbar.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class tst_OutBar : public QObject
{
    Q_OBJECT

    static OutBar *makeBar(QWidget *parent)
    {
        auto *bar = new OutBar(parent);
        const int group = bar->addGroup(QStringLiteral("Folders"));
        for (const char *caption : {"Inbox", "Outbox", "Drafts", "Deleted messages"})
            bar->addItem(group, QLatin1String(caption), QIcon());
        return bar;
    }

private slots:
    void startsWithNothingSelected()
    {
        QWidget host;
        OutBar *bar = makeBar(&host);
        QCOMPARE(bar->currentIndex(), -1);
        QCOMPARE(bar->itemCount(0), 4);
        QCOMPARE(bar->itemCaption(0, 3), QStringLiteral("Deleted messages"));
        QCOMPARE(bar->findChild<QToolButton *>()->text(), QStringLiteral("Folders"));
    }

    void selectingReportsOnlyChanges()
    {
        QWidget host;
        OutBar *bar = makeBar(&host);
        QSignalSpy changed(bar, &OutBar::currentChanged);
        bar->setCurrentIndex(0);
        bar->setCurrentIndex(0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);
        bar->setCurrentIndex(2);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toInt(), 2);
        QCOMPARE(bar->currentIndex(), 2);
    }

    void clickingTheSelectedItemDoesNothing()
    {
        QWidget host;
        OutBar *bar = makeBar(&host);
        host.resize(120, 400);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto *list = bar->findChild<QListWidget *>();
        QSignalSpy changed(bar, &OutBar::currentChanged);
        const QPoint outbox = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, outbox);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bar->currentIndex(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, outbox);
        QCOMPARE(changed.count(), 1);
    }

    // A list that gets the keyboard focus makes its first row current without
    // selecting it; that must not count as choosing a folder.
    void keyboardFocusAloneSelectsNothing()
    {
        QWidget host;
        OutBar *bar = makeBar(&host);
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QSignalSpy changed(bar, &OutBar::currentChanged);
        auto *list = bar->findChild<QListWidget *>();
        list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bar->currentIndex(), -1);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(bar->currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
    }

    void itemsAreNotEditable()
    {
        QWidget host;
        OutBar *bar = makeBar(&host);
        auto *list = bar->findChild<QListWidget *>();
        for (int i = 0; i < list->count(); ++i)
            QVERIFY2(!(list->item(i)->flags() & Qt::ItemIsEditable), qPrintable(list->item(i)->text()));
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(list->accessibleName(), QStringLiteral("Folders"));
    }
};

QTEST_MAIN(tst_OutBar)
#include "tst_outbar.moc"
