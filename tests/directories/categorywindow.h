#pragma once
// The category manager opened on a seeded scratch store, as the tests drive it.

#include "categorytesting.h"
#include "directories/categ.h"
#include "directories/categorytreeview.h"
#include "windowtesting.h"

#include <QAction>
#include <QApplication>
#include <QTreeView>

struct ManagerFixture
{
    explicit ManagerFixture(const QString &seed = CategoryTesting::sampleStore())
        : f(seed)
    {
        // The filter waits only briefly in tests; what it does is unchanged.
        window.setFilterInterval(10);
    }

    bool open()
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }

    // The offscreen platform makes the window active again only a moment after
    // a modal window closed; a desktop does so at once. Keys sent before that
    // would miss the window's shortcuts.
    bool backToTheWindow()
    {
        window.activateWindow();
        return QTest::qWaitFor([this] { return QApplication::activeWindow() == &window; });
    }

    CategoryTreeView *tree() const { return child<CategoryTreeView>(&window, "treeCategory"); }
    CategoryTreeModel &model() const { return tree()->tree(); }
    QTreeView *list() const { return child<QTreeView>(&window, "lvGroup"); }
    QAction *action(const char *name) const { return child<QAction>(&window, name); }
    QString shown() const { return CategoryTesting::describe(model()); }
    QStringList selectedPath() const
    {
        QStringList path;
        for (QModelIndex node = tree()->selectedNode(); node.parent().isValid(); node = node.parent())
            path.prepend(model().caption(node));
        return path;
    }
    void select(const QStringList &path) const
    {
        const QModelIndex node = CategoryTesting::nodeAt(model(), path);
        if (!node.isValid())
            qFatal("no node %s", qPrintable(path.join('/')));
        tree()->selectNode(node);
    }
    // "1" or "0" for Create Category, Create Folder, Edit and Remove.
    QString treeCommands() const
    {
        QString states;
        for (const char *name : {"acNew", "acNewFolder", "acEdit", "acRemove"})
            states += action(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    }
    // "1" or "0" for Add and Remove newsgroups.
    QString groupCommands() const
    {
        return QString(action("acSubscribe")->isEnabled() ? "1" : "0")
            + QString(action("acUnsubscribe")->isEnabled() ? "1" : "0");
    }
    // The list's rows, a marked one followed by " *".
    QStringList rows() const
    {
        QStringList names;
        const QAbstractItemModel *m = list()->model();
        for (int i = 0; i < m->rowCount(); ++i) {
            const QModelIndex index = m->index(i, 0);
            names << index.data().toString()
                    + (index.data(Qt::UserRole + 1).toBool() ? QStringLiteral(" *") : QString());
        }
        return names;
    }
    void selectRows(const QStringList &names) const
    {
        QItemSelectionModel *selection = list()->selectionModel();
        selection->clearSelection();
        const QAbstractItemModel *m = list()->model();
        for (int i = 0; i < m->rowCount(); ++i) {
            if (names.contains(m->index(i, 0).data().toString()))
                selection->select(m->index(i, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    QStringList categories() const
    {
        return f.committed(QStringLiteral("SELECT Code, Parent, Kind, Name FROM Categories ORDER BY Code"));
    }
    QStringList links() const
    {
        return f.committed(QStringLiteral("SELECT Category, GroupName FROM GroupCategory, Groups"
                                          " WHERE GroupCategory.Newsgroup = Groups.Code ORDER BY Category, GroupName"));
    }

    StoreFixture f;
    TfmCategories window{f.dm};
};
