// "Expert Category Manager" with 100,000 newsgroups and a category of 500: how
// long opening the manager, selecting the category, filtering and scrolling
// take until the list is drawn, and what adding and removing groups cost.
// Prints its figures (the goal is 200 ms for each of the first three):
//
//   QT_QPA_PLATFORM=offscreen bench_categories [groups]

#include "directories/categ.h"
#include "directories/categorytreemodel.h"
#include "directories/categorytreeview.h"
#include "store/dmod.h"
#include "tests/support/scratchstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCategoryCode = 2;
constexpr int kCategoryGroups = 500;

void print(const char *what, double ms, const QString &extra = {})
{
    std::printf("%-52s %8.1f ms %s\n", what, ms, qPrintable(extra));
    std::fflush(stdout);
}

template<typename T>
T *child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "bench_categories: no %s\n", name);
        std::exit(1);
    }
    return found;
}

// Runs the step, lets the window settle and draws it, as the user would see it.
template<typename Step>
double timed(QWidget &window, Step step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    QCoreApplication::processEvents();
    window.grab();
    return clock.nsecsElapsed() / 1e6;
}

QString seed(int groups)
{
    // Built by concatenation: the printf pattern of the store holds "%0".
    const QString every = QString::number(std::max(1, groups / kCategoryGroups));
    const QString code = QString::number(kCategoryCode);
    return QStringLiteral("INSERT INTO Groups (GroupName)"
                          " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ")
        + QString::number(groups)
        + QStringLiteral(") SELECT printf('%s.%s.group%06d',"
                         " trim(substr('compalt sci rec de  x   ', (i % 6) * 4 + 1, 4)),"
                         " trim(substr('langos  hw  misctestbinsnet ', (i % 7) * 4 + 1, 4)), i) FROM n;"
                         "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (1, 0, 0, 'Folder');"
                         "INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (")
        + code
        + QStringLiteral(", 1, -1, 'Big');"
                         "INSERT INTO GroupCategory (Newsgroup, Category) SELECT Code, ")
        + code + QStringLiteral(" FROM Groups WHERE Code % ") + every + QStringLiteral(" = 0 LIMIT ")
        + QString::number(kCategoryGroups);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int groups = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;

    ScratchStore store;
    QElapsedTimer clock;
    clock.start();
    store.exec(seed(groups));
    print("seeding the store", clock.nsecsElapsed() / 1e6,
          QStringLiteral("(%1 groups, %2 in the category)")
              .arg(store.rows(QStringLiteral("SELECT COUNT(*) FROM Groups")).value(0),
                   store.rows(QStringLiteral("SELECT COUNT(*) FROM GroupCategory")).value(0)));

    Tdm dm(store.path());
    dm.DataModuleCreate();
    TfmCategories window(dm);
    window.resize(800, 600);
    auto *tree = child<CategoryTreeView>(window, "treeCategory");
    auto *list = child<QTreeView>(window, "lvGroup");
    auto *filter = child<QLineEdit>(window, "edFilter");
    auto *timer = child<QTimer>(window, "tmrFilter");
    auto fireFilter = [&](const QString &text) {
        filter->setText(text);
        timer->stop();
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    };

    auto listed = [&] { return QStringLiteral("(%1 rows listed)").arg(list->model()->rowCount()); };
    double ms = timed(window, [&] { window.show(); });
    print("opening the manager", ms, listed());
    const double openMs = ms;
    tree->expandAll();
    const QModelIndex category = tree->tree().findCode(kCategoryCode);
    const double selectMs = timed(window, [&] { tree->selectNode(category); });
    print("selecting the category of 500 groups", selectMs);
    ms = timed(window, [&] { fireFilter(QStringLiteral("comp")); });
    print("filter \"comp\"", ms, listed());
    double filterMs = ms;
    ms = timed(window, [&] { fireFilter(QStringLiteral("group0999")); });
    print("filter \"group0999\"", ms, listed());
    filterMs = std::max(filterMs, ms);
    ms = timed(window, [&] { fireFilter(QString()); });
    print("filter cleared", ms, listed());
    filterMs = std::max(filterMs, ms);
    // For bench/run-all.sh: the filter's figure is the slowest of the three.
    std::printf("RESULT categories.open_ms=%.1f\nRESULT categories.select_ms=%.1f\nRESULT categories.filter_ms=%.1f\n",
                openMs, selectMs, filterMs);
    print("scrolling to the end", timed(window, [&] { list->scrollToBottom(); }));
    print("scrolling a page up", timed(window, [&] {
              QScrollBar *bar = list->verticalScrollBar();
              bar->setValue(bar->value() - bar->pageStep());
          }));

    list->selectionModel()->select(QItemSelection(list->model()->index(0, 0), list->model()->index(999, 0)),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QAction *add = child<QAction>(window, "acSubscribe");
    QAction *remove = child<QAction>(window, "acUnsubscribe");
    print("adding 1,000 selected groups (with the commit)", timed(window, [&] { add->trigger(); }));
    print("removing them again (with the commit)", timed(window, [&] { remove->trigger(); }));
    print("closing the manager", timed(window, [&] { window.close(); }));
    ms = timed(window, [&] { window.show(); });
    print("opening it again", ms, listed());
    return 0;
}
