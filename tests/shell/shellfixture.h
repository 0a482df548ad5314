#pragma once
// What the shell tests share: a store seeded with messages, the real main
// window on it, an opener that records instead of starting programs, a watcher
// that answers modal boxes and remembers what they said, and a compact
// picture of the message tree for comparisons.

#include "shell/articleitem.h"
#include "shell/desktopopener.h"
#include "shell/main.h"
#include "shell/messagetree.h"
#include "store/dmod.h"
#include "tests/support/scratchstore.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

class RecordingOpener : public DesktopOpener
{
public:
    bool available() const override { return handlerAvailable; }
    void open(const QUrl &url) override { opened << url; }

    bool handlerAvailable = true;
    QList<QUrl> opened;
};

// Closes every modal dialog that comes up while it lives, recording it.
class ModalWatcher : public QObject
{
public:
    struct Seen
    {
        QString name;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    ModalWatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start();
    }
    // Called with each dialog before it is closed, for checks on the live box.
    std::function<void(QWidget *)> inspect;
    QList<Seen> seen;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<QDialog *>(modal);
        if (!dialog || !dialog->isVisible())
            return;
        Seen s{dialog->objectName(), dialog->windowTitle(), {}, QMessageBox::NoIcon};
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            s.text = box->text();
            s.icon = box->icon();
        }
        seen << s;
        if (inspect)
            inspect(dialog);
        dialog->done(QDialog::Accepted);
    }
    QTimer m_timer;
};

// One Article row as an INSERT; parent -1 stands for NULL, an empty sent for none.
inline QString articleRow(int code, int parent, int folder, bool read, const QString &subject,
                          const QString &sent = QString(), const QString &from = QString(),
                          const QString &source = QString(), const QString &body = QString())
{
    auto quoted = [](const QString &text) {
        return text.isNull()
            ? QStringLiteral("NULL")
            : QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
    };
    return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, \"From\", "
                          "SentDate, Source, Body) VALUES (%1, %2, %3, 0, %4, %5, %6, %7, %8, %9);")
        .arg(code)
        .arg(parent < 0 ? QStringLiteral("NULL") : QString::number(parent))
        .arg(folder)
        .arg(read ? -1 : 0)
        .arg(quoted(subject), quoted(from), quoted(sent), quoted(source), quoted(body));
}

// The tree in display order: subjects, children in brackets separated by
// ",", "*" after a bold node; e.g. "Q1*[A1*[R1*],A2] Q2".
inline QString treeShape(QTreeWidgetItem *item, QChar separator = QLatin1Char(' '))
{
    QStringList parts;
    for (int i = 0; i < item->childCount(); ++i) {
        auto *child = ArticleItem::from(item->child(i));
        QString part = child->text(0) + (child->isBold() ? QStringLiteral("*") : QString());
        if (child->childCount() > 0)
            part += QLatin1Char('[') + treeShape(child, QLatin1Char(',')) + QLatin1Char(']');
        parts << part;
    }
    return parts.join(separator);
}

inline QString treeShape(const TfmMain &window)
{
    window.messageTree().makeAllNodes(); // the answers of threads never opened too
    return treeShape(window.messageTree().widget()->invisibleRootItem());
}

struct MainFixture
{
    ScratchStore store;
    RecordingOpener opener;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TfmMain> window;

    void open(int readDelay = TfmMain::kReadDelay)
    {
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        window = std::make_unique<TfmMain>(*dm, opener);
        window->setReadDelay(readDelay);
    }
    QTreeWidget *tree() const { return window->messageTree().widget(); }
    ArticleItem *node(int code) const { return window->FindArticleNode(code); }
    void select(int code) const
    {
        ArticleItem *item = node(code);
        Q_ASSERT(item);
        tree()->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    }
    ~MainFixture()
    {
        window.reset();
        dm.reset();
    }
};
