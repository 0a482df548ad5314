// The posting window, offscreen: its make-up, a run that closes it by itself,
// a run with an error that keeps it open until Close, and Abort during a run.

#include "exchange/postingrun.h"
#include "runwindows/resultmarks.h"
#include "runwindows/sendgroup.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/scratchstore.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A store with the fake server carrying a.grp and b.grp and reply 5 to both in the Outbox.
struct Window
{
    Window()
    {
        store.exec(
            fill::server(1, server.host(), server.port()) + fill::account(1, "Ann", "ann@test.invalid", {})
            + fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp")) + fill::carries(1, 1)
            + fill::carries(1, 2)
            + fill::reply(5, 1, 0, QStringLiteral("a.grp,b.grp"), QStringLiteral("Re: X"), QStringLiteral("b"), 1));
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        window = std::make_unique<TfmSendGroup>(*dm, folders);
        window->run().setDialUpCheck([] { return true; });
        window->run().setMessageIdSource([this] { return QStringLiteral("<w%1@test.invalid>").arg(++ids); });
        window->run().setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(9, 0)); });
    }

    NntpMessage article(const QString &group, int id) const
    {
        return postedArticle(QStringLiteral("Re: X"), QStringLiteral("b"), QDateTime(QDate(2024, 3, 5), QTime(9, 0)),
                             QStringLiteral("Ann"), QStringLiteral("ann@test.invalid"), {}, group, {},
                             QStringLiteral("<w%1@test.invalid>").arg(id));
    }

    // Runs the window modally while step is called every few milliseconds.
    int exec(const std::function<void()> &step)
    {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, step);
        timer.start(5);
        return window->exec();
    }

    FakeNewsServer server;
    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingFolders folders{1};
    std::unique_ptr<TfmSendGroup> window;
    int ids = 0;
};

// The rows of the tree as "text | result | mark", message rows first with "*" when bold.
QStringList treeRows(QTreeWidget *tree)
{
    const auto image = [](const QIcon &icon) { return icon.pixmap(16, 16).toImage(); };
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *message = tree->topLevelItem(i);
        rows << message->text(0) + (message->font(0).bold() ? QStringLiteral(" *") : QString())
                + (message->isExpanded() ? QStringLiteral(" expanded") : QString());
        for (int j = 0; j < message->childCount(); ++j) {
            QTreeWidgetItem *group = message->child(j);
            const QIcon icon = group->icon(0);
            const QString mark = icon.isNull()        ? QStringLiteral("-")
                : image(icon) == image(successMark()) ? QStringLiteral("ok")
                : image(icon) == image(failureMark()) ? QStringLiteral("failed")
                                                      : QStringLiteral("?");
            rows << QStringLiteral("  %1 | %2 | %3").arg(group->text(0), group->text(1), mark);
        }
    }
    return rows;
}

} // namespace

class tst_SendGroupWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void makeUp();
    void closesByItselfWithoutErrors();
    void staysOpenAfterAnErrorUntilClose();
    void abortDuringTheRunEndsWithAbort();
    void resultsStayReadableAndCanBeCopied();
};

void tst_SendGroupWindow::makeUp()
{
    Window w;
    TfmSendGroup &window = *w.window;
    QCOMPARE(window.objectName(), QStringLiteral("fmSendGroup"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Sending..."));
    QCOMPARE(window.size(), QSize(488, 453));
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    // Sizeable, so that a long reply from a server can be read whole.
    QVERIFY(window.minimumWidth() < 488 && window.maximumWidth() > 2000);
    QTreeWidget *tree = window.findChild<QTreeWidget *>(QStringLiteral("SendTree"));
    QVERIFY(tree);
    QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Newsgroups"));
    QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Result"));
    QCOMPARE(tree->columnWidth(0), 251);
    QVERIFY(tree->header()->stretchLastSection()); // Result takes the room
    QVERIFY(tree->isEnabled());
    QCOMPARE(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!tree->isSortingEnabled());
    QVERIFY(tree->rootIsDecorated());
    QPushButton *button = window.findChild<QPushButton *>(QStringLiteral("btnAbort"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Abort"));
    QAction *help = window.findChild<QAction *>(QStringLiteral("HelpContents1"));
    QVERIFY(help);
    QCOMPARE(help->text(), QStringLiteral("&Contents"));
    QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(!help->isEnabled());
}

void tst_SendGroupWindow::closesByItselfWithoutErrors()
{
    Window w;
    w.server.addScript(postConnection(w.article(QStringLiteral("a.grp"), 1)));
    w.server.addScript(postConnection(w.article(QStringLiteral("b.grp"), 2)));
    const int result = w.exec([] {});
    QVERIFY2(w.server.waitForScripts(), qPrintable(w.server.failure()));
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!w.window->isVisible());
    QCOMPARE(treeRows(w.window->SendTree()),
             (QStringList{QStringLiteral("Re: X * expanded"), QStringLiteral("  a.grp | Successful | ok"),
                          QStringLiteral("  b.grp | Successful | ok")}));
    QCOMPARE(w.window->btnAbort()->text(), QStringLiteral("Close"));
    QCOMPARE(w.folders.ops, QStringList{QStringLiteral("delete 5")});
}

void tst_SendGroupWindow::staysOpenAfterAnErrorUntilClose()
{
    Window w;
    // a.grp is refused, b.grp posted: one error.
    w.server.addScript(postConnection(w.article(QStringLiteral("a.grp"), 1), QStringLiteral("441 posting failed")));
    w.server.addScript(postConnection(w.article(QStringLiteral("b.grp"), 2)));
    bool closeClicked = false;
    const int result = w.exec([&] {
        if (w.window->run().running() || closeClicked || !w.window->isVisible())
            return;
        // The run is over and the window still shows its rows: the user closes it.
        closeClicked = true;
        QCOMPARE(w.window->btnAbort()->text(), QStringLiteral("Close"));
        QTest::mouseClick(w.window->btnAbort(), Qt::LeftButton);
    });
    QVERIFY2(w.server.waitForScripts(), qPrintable(w.server.failure()));
    QVERIFY(closeClicked);
    QCOMPARE(result, TfmSendGroup::Abort);
    QCOMPARE(w.window->SendTree()->topLevelItem(0)->child(0)->text(1), QStringLiteral("441 posting failed"));
    QCOMPARE(w.window->run().tally().text(), QStringLiteral("Posted 1 message to 1 newsgroup; 1 newsgroup failed"));
    QCOMPARE(w.store.rows(QStringLiteral("SELECT Folder, Source FROM Article WHERE Code=5")),
             QStringList{QStringLiteral("0|b.grp")});
}

void tst_SendGroupWindow::abortDuringTheRunEndsWithAbort()
{
    Window w;
    // A box during the run: the server refuses us; Abort is clicked while it is up.
    w.server.addScript(QStringList{QStringLiteral("S: 502 go away")});
    QStringList boxes;
    const int result = w.exec([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes << box->windowTitle() + QStringLiteral(" | ") + box->text();
        QTest::mouseClick(w.window->btnAbort(), Qt::LeftButton);
        box->accept();
    });
    QVERIFY2(w.server.waitForScripts(), qPrintable(w.server.failure()));
    QCOMPARE(result, TfmSendGroup::Abort);
    const QString refused = QStringLiteral(" Connection Error: News Server 127.0.0.1:%1: Connection explicitly "
                                           "refused by NNTP server.")
                                .arg(w.server.port());
    QCOMPARE(boxes, QStringList{QStringLiteral("News Server 127.0.0.1 | ") + refused});
    // b.grp was never started; the message stays in the Outbox.
    QCOMPARE(treeRows(w.window->SendTree()),
             (QStringList{QStringLiteral("Re: X * expanded"), QStringLiteral("  a.grp | ") + refused + " | failed",
                          QStringLiteral("  b.grp |  | -")}));
    QCOMPARE(w.server.connectionCount(), 1);
    QCOMPARE(w.store.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{QStringLiteral("1")});
}

void tst_SendGroupWindow::resultsStayReadableAndCanBeCopied()
{
    Window w;
    const QString refusal = QStringLiteral("441 Address in From header field not in Internet syntax (see RFC 5322, "
                                           "section 3.4.1, and ask your administrator)");
    w.server.addScript(postConnection(w.article(QStringLiteral("a.grp"), 1), refusal));
    w.server.addScript(postConnection(w.article(QStringLiteral("b.grp"), 2)));
    QString copied;
    int stage = 0;
    int resultWidthBefore = 0;
    int resultWidthAfter = 0;
    w.exec([&] {
        if (w.window->run().running() || !w.window->isVisible())
            return;
        QTreeWidget *tree = w.window->SendTree();
        QTreeWidgetItem *refused = tree->topLevelItem(0)->child(0);
        switch (stage++) {
        case 0:
            // After the run the list can still be used.
            QVERIFY(tree->isEnabled());
            QCOMPARE(refused->toolTip(1), refusal);
            resultWidthBefore = tree->columnWidth(1);
            w.window->resize(888, 453);
            break;
        case 1:
            break; // the layout follows the new size
        default:
            resultWidthAfter = tree->columnWidth(1);
            tree->setFocus();
            tree->setCurrentItem(refused);
            QTest::keyClick(tree, Qt::Key_C, Qt::ControlModifier);
            copied = QGuiApplication::clipboard()->text();
            QTest::mouseClick(w.window->btnAbort(), Qt::LeftButton);
        }
    });
    QVERIFY2(w.server.waitForScripts(), qPrintable(w.server.failure()));
    QCOMPARE(copied, QStringLiteral("a.grp\t") + refusal);
    // The rows' pop-up menu offers the same command.
    QVERIFY(w.window->SendTree()->actions().contains(w.window->copyRowsAction()));
    QCOMPARE(w.window->SendTree()->contextMenuPolicy(), Qt::ActionsContextMenu);
    // The 400 pixels the window grew went to the Result column.
    QCOMPARE(resultWidthAfter - resultWidthBefore, 400);
}

QTEST_MAIN(tst_SendGroupWindow)
#include "tst_sendgroupwindow.moc"
