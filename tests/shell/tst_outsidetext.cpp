// Texts from outside (server replies, group names, subjects, names, bodies)
// are shown as written in every kind of widget: a reply holding a link to a
// local file and a local picture shows those characters, never a link or a
// picture. One row per place such a text reaches.

#include "shellfixture.h"

#include "directories/newsgroupui.h"
#include "exchange/folderview.h"
#include "directories/recnews.h"
#include "runwindows/sendgroup.h"
#include "shell/mainrunui.h"
#include "widgets/errorbox.h"
#include "widgets/linkview.h"
#include "widgets/plainbox.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

const QString kHostile = QStringLiteral(
    "411 <a href=\"file:///etc/passwd\">x</a><img src=\"/usr/share/pixmaps/debian-logo.png\"> & <b>bold</b>");

class NoFolders : public FolderView
{
public:
    int currentFolder() const override { return -1; }
    void addArticleNode(int, int) override {}
    void deleteArticleNode(int) override {}
};

// What a box or label would show: its format must be plain and its text the
// text as given, so that nothing in it is a link or a picture.
QString plainOrWhy(const QLabel *label, const QString &expected)
{
    if (!label)
        return QStringLiteral("no label");
    if (label->textFormat() != Qt::PlainText)
        return QStringLiteral("format %1").arg(int(label->textFormat()));
    if (label->text() != expected)
        return QStringLiteral("text %1").arg(label->text());
    return QString();
}

// A rich text as Qt renders it: its plain text, and whether any of it is a
// link or a picture.
QString renderedOrWhy(const QString &richText, const QString &expected)
{
    QTextDocument document;
    document.setHtml(richText);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() || format.isImageFormat())
                return QStringLiteral("a link or a picture in the tooltip");
        }
    }
    const QString shown = document.toPlainText();
    return shown == expected ? QString() : QStringLiteral("shown as %1").arg(shown);
}

} // namespace

class tst_OutsideText : public QObject
{
    Q_OBJECT

private slots:
    // The boxes of the runs and the one box for unhandled errors.
    void boxesShowTextAsWritten_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("main window's RunUi box (retrieval failure)") << "main box";
        QTest::newRow("main window's RunUi question") << "main question";
        QTest::newRow("posting window's box") << "posting box";
        QTest::newRow("posting window's question") << "posting question";
        QTest::newRow("list loader's box") << "newsgroups box";
        QTest::newRow("list loader's question") << "newsgroups question";
        QTest::newRow("unhandled error box") << "error box";
    }
    void boxesShowTextAsWritten()
    {
        QFETCH(QString, place);
        MainFixture f;
        f.open();
        MainRunUi mainUi(*f.window);
        NoFolders folders;
        TfmSendGroup sendGroup(*f.dm, folders, f.window.get());
        QLabel status;
        NewsgroupRunUi newsgroupUi(f.window.get(), &status);

        QStringList problems;
        int boxes = 0;
        ModalWatcher watcher;
        watcher.inspect = [&](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            ++boxes;
            if (!box) {
                problems << QStringLiteral("not a message box");
                return;
            }
            if (box->textFormat() != Qt::PlainText)
                problems << QStringLiteral("box format %1").arg(int(box->textFormat()));
            const QString why
                = plainOrWhy(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")),
                             place == QLatin1String("error box") ? kHostile + QLatin1Char('.') : kHostile);
            if (!why.isEmpty())
                problems << why;
        };
        const QString title = QStringLiteral("News Server news.example.org");
        if (place == QLatin1String("main box"))
            mainUi.showMessage(title, kHostile, RunUi::Icon::Error);
        else if (place == QLatin1String("main question"))
            mainUi.ask(title, kHostile);
        else if (place == QLatin1String("posting box"))
            sendGroup.showMessage(title, kHostile, RunUi::Icon::Error);
        else if (place == QLatin1String("posting question"))
            sendGroup.ask(title, kHostile);
        else if (place == QLatin1String("newsgroups box"))
            newsgroupUi.showMessage(QStringLiteral("Connection Error"), kHostile, RunUi::Icon::Error);
        else if (place == QLatin1String("newsgroups question"))
            newsgroupUi.ask(title, kHostile);
        else
            ErrorBox::show(f.window.get(), kHostile);
        QCOMPARE(boxes, 1);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1String("; "))));
    }

    // Labels, status texts, tree cells and tooltips.
    void widgetsShowTextAsWritten_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("main window's header labels") << "header labels";
        QTest::newRow("main window's status panels") << "status panel";
        QTest::newRow("message tree cells") << "tree cells";
        QTest::newRow("loading window's group name") << "loading name";
        QTest::newRow("newsgroups dialog's status") << "newsgroups status";
        QTest::newRow("preview link's tooltip") << "link tooltip";
        QTest::newRow("tooltip of any text") << "tooltip";
    }
    void widgetsShowTextAsWritten()
    {
        QFETCH(QString, place);
        QString why;
        if (place == QLatin1String("header labels") || place == QLatin1String("tree cells")
            || place == QLatin1String("status panel")) {
            MainFixture f;
            f.store.exec(
                articleRow(1, 0, 0, true, kHostile, QString(), kHostile, QStringLiteral("comp.lang.c"), kHostile));
            f.open();
            if (place == QLatin1String("header labels")) {
                f.select(1);
                why = plainOrWhy(f.window->findChild<QLabel *>(QStringLiteral("lbFrom")), kHostile);
                if (why.isEmpty())
                    why = plainOrWhy(f.window->findChild<QLabel *>(QStringLiteral("lbSubject")), kHostile);
                auto *preview = f.window->findChild<LinkView *>(QStringLiteral("reView"));
                if (why.isEmpty() && preview->text() != kHostile)
                    why = QStringLiteral("preview shows %1").arg(preview->text());
            } else if (place == QLatin1String("status panel")) {
                f.window->setStatusText(0, kHostile);
                why = plainOrWhy(f.window->findChild<QLabel *>(QStringLiteral("stMainPanel0")), kHostile);
            } else {
                // Cells are drawn by the item delegate as text; no cell may
                // carry a tooltip that Qt would render as markup.
                QTreeWidgetItem *item = f.node(1);
                for (int column = 0; column < f.tree()->columnCount() && why.isEmpty(); ++column) {
                    const QVariant tip = item->data(column, Qt::ToolTipRole);
                    if (tip.isValid() && Qt::mightBeRichText(tip.toString()))
                        why = renderedOrWhy(tip.toString(), item->text(column));
                }
                if (why.isEmpty() && item->text(0) != kHostile)
                    why = QStringLiteral("subject cell %1").arg(item->text(0));
            }
        } else if (place == QLatin1String("loading name")) {
            TfmRecNewsgroup window;
            window.showGroupName(kHostile);
            why = plainOrWhy(window.findChild<QLabel *>(QStringLiteral("Label2")), kHostile);
        } else if (place == QLatin1String("newsgroups status")) {
            QLabel status;
            NewsgroupRunUi ui(nullptr, &status);
            ui.showStatus(0, kHostile);
            why = plainOrWhy(&status, kHostile);
        } else if (place == QLatin1String("link tooltip")) {
            LinkView view;
            // The link ends at "<"; what it holds is shown as written.
            view.setText(QStringLiteral("see http://example.org/a?b=1&amp;c=<img src=x>"));
            QTextCursor cursor(view.document());
            cursor.setPosition(8);
            why = renderedOrWhy(cursor.charFormat().toolTip(), QStringLiteral("http://example.org/a?b=1&amp;c="));
        } else {
            why = renderedOrWhy(PlainBox::toolTip(kHostile), kHostile);
        }
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }
};

QTEST_MAIN(tst_OutsideText)
#include "tst_outsidetext.moc"
