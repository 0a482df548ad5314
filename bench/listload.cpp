// Loading the newsgroup list of a local INN serving 100,000 groups, measured
// against baselines taken in the same run. First, at 10,000, 30,000 and 100,000
// groups, the loader into an empty store and again with every name known, as
// ratios to the bare download of the same LIST over a plain socket, and the
// first load with descriptions against the bare download of LIST and LIST
// NEWSGROUPS, with its peak memory (medians of alternating rounds). Then, at 100,000, against a minimal loop that writes the
// same rows (a hash of names, INSERT Groups, SELECT Code, INSERT GroupServer,
// statements prepared once, one transaction), and the Newsgroups dialog with
// those groups: the filter over names and descriptions, scrolling, memory; and
// the loader with the groups' descriptions (LIST NEWSGROUPS) against names only. Prints its figures; run as root
// (INN fixture):
//
//   QT_QPA_PLATFORM=offscreen bench_listload [groups [--loader-only]]

#include "benchsupport.h"
#include "directories/newsgroup.h"
#include "directories/newsgrouplistmodel.h"
#include "exchange/listloader.h"
#include "exchange/listloadstatus.h"
#include "exchange/runui.h"
#include "directories/recnews.h"
#include "store/dmod.h"
#include "store/rowset.h"
#include "tests/support/innserver.h"
#include "tests/support/scratchstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr int kRounds = 3;

// Wall-clock and this process's own CPU time: the machine is shared, so the
// wall clock alone says as much about the neighbours as about the program.
class Stopwatch
{
public:
    void start()
    {
        m_wall.start();
        m_cpu = cpuMs();
    }
    double wallMs() const { return m_wall.nsecsElapsed() / 1e6; }
    double processCpuMs() const { return cpuMs() - m_cpu; }

private:
    static double cpuMs()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

struct Figure
{
    double wall = 1e300;
    double cpu = 1e300;
    void take(const Stopwatch &watch)
    {
        wall = std::min(wall, watch.wallMs());
        cpu = std::min(cpu, watch.processCpuMs());
    }
};

// Peak and current resident memory, from the kernel's view of this process.
QString memory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    QString peak, now;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            peak = QString::fromLatin1(line.mid(6).trimmed());
        if (line.startsWith("VmRSS:"))
            now = QString::fromLatin1(line.mid(6).trimmed());
    }
    return QStringLiteral("peak %1, now %2").arg(peak, now);
}

// Peak resident memory in MB, for the machine-readable line; -1 when the
// kernel does not say.
double peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

class QuietUi : public RunUi
{
public:
    void showMessage(const QString &title, const QString &text, Icon) override
    {
        fail(QStringLiteral("box \"%1\": %2").arg(title, text));
    }
    bool ask(const QString &, const QString &) override { return true; }
    void showStatus(int, const QString &) override {}
    void processEvents() override {}
};

// A RunUi as a window has it, for the loading window alone.
class EventsUi : public QuietUi
{
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

QString seedServer(const InnServer &inn)
{
    return QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('bench', '%1', %2)")
        .arg(inn.host())
        .arg(inn.port());
}

// Peak resident memory from here on: the kernel's high-water mark is set back
// to what the process holds now.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The LIST reply as it comes from the server, over a plain socket; with
// descriptions the LIST NEWSGROUPS reply after it on the same connection.
QByteArray downloadList(const InnServer &inn, bool descriptions = false)
{
    QTcpSocket socket;
    socket.connectToHost(inn.host(), inn.port());
    if (!socket.waitForConnected(10000))
        fail(QStringLiteral("download: no connection"));
    QByteArray data;
    auto readUntil = [&](const QByteArray &end) {
        while (!data.endsWith(end)) {
            if (!socket.waitForReadyRead(30000))
                fail(QStringLiteral("download: the server stopped"));
            data += socket.readAll();
        }
    };
    readUntil("\r\n");
    data.clear();
    socket.write("mode reader\r\n");
    readUntil("\r\n");
    data.clear();
    socket.write("LIST\r\n");
    readUntil("\r\n.\r\n");
    if (descriptions) {
        const QByteArray list = data;
        data.clear();
        socket.write("LIST NEWSGROUPS\r\n");
        readUntil("\r\n.\r\n");
        data.prepend(list);
    }
    socket.write("QUIT\r\n");
    socket.waitForBytesWritten(1000);
    return data;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Scaling
{
    double firstRatio = 0;
    double knownRatio = 0;
    double describedRatio = 0;
    double describedPeakMb = 0;
};

// A store with one server, without GroupDescriptions (names only) or with it.
std::unique_ptr<ScratchStore> loadStore(const InnServer &inn, bool descriptions)
{
    auto store = std::make_unique<ScratchStore>();
    store->exec(seedServer(inn) + (descriptions ? QString() : QStringLiteral(";DROP TABLE GroupDescriptions")));
    return store;
}

// Loads every server's list into the store; returns the wall-clock time and
// adds this process's processor time to cpu. With known the names are read
// from the store first (outside the time), as the Newsgroups dialog has them
// when it opens.
double timedLoad(Tdm &dm, bool known, double &cpu)
{
    QuietUi ui;
    ListLoadStatus view(ui);
    NewsgroupListLoader loader(dm, ui, view, [] { return true; });
    if (known)
        loader.rememberStoredGroupNames();
    Stopwatch watch;
    watch.start();
    loader.loadAllServers();
    cpu += watch.processCpuMs();
    return watch.wallMs();
}

// The loader without a window at one size of list, in alternating rounds:
// the bare download of LIST; the first load of the names into an empty store
// and a load with every name known, on a store without descriptions; the
// bare download of LIST and LIST NEWSGROUPS; and the first load with
// descriptions. Prints the medians; returns the ratios.
Scaling scaling(const InnServer &inn, int groups, int rounds)
{
    std::vector<double> raw, first, known, rawBoth, described;
    double cpuFirst = 0, cpuKnown = 0, cpuDescribed = 0;
    Scaling result;
    for (int round = 0; round < rounds; ++round) {
        Stopwatch watch;
        watch.start();
        const QByteArray list = downloadList(inn);
        raw.push_back(watch.wallMs());
        if (list.count('\n') != groups + 2)
            fail(QStringLiteral("download: %1 lines, not %2").arg(list.count('\n') - 2).arg(groups));
        {
            const auto store = loadStore(inn, false);
            Tdm dm(store->path());
            dm.DataModuleCreate();
            first.push_back(timedLoad(dm, false, cpuFirst));
            dm.commit();
            known.push_back(timedLoad(dm, true, cpuKnown));
        }
        watch.start();
        downloadList(inn, true);
        rawBoth.push_back(watch.wallMs());
        const auto store = loadStore(inn, true);
        Tdm dm(store->path());
        dm.DataModuleCreate();
        resetPeakMemory();
        described.push_back(timedLoad(dm, false, cpuDescribed));
        result.describedPeakMb = std::max(result.describedPeakMb, peakMemoryMb());
    }
    const double r = median(raw), f = median(first), k = median(known), rb = median(rawBoth), d = median(described);
    const auto us = [groups](double ms) { return ms * 1000 / groups; };
    std::printf("%7d groups: raw LIST %6.0f ms (%5.2f us/group); first load %6.0f ms (%5.2f us/group, %4.2f x raw, "
                "cpu %5.2f us/group); names known %6.0f ms (%5.2f us/group, %4.2f x raw, cpu %5.2f us/group)\n",
                groups, r, us(r), f, us(f), f / r, us(cpuFirst / rounds), k, us(k), k / r, us(cpuKnown / rounds));
    std::printf("%7d groups: raw LIST and LIST NEWSGROUPS %6.0f ms (%5.2f us/group); first load with descriptions "
                "%6.0f ms (%5.2f us/group, %4.2f x raw, cpu %5.2f us/group); peak memory in it %.0f MB\n",
                groups, rb, us(rb), d, us(d), d / rb, us(cpuDescribed / rounds), result.describedPeakMb);
    std::fflush(stdout);
    const int kGroups = groups / 1000;
    std::printf("RESULT listload.raw_ms_%dk=%.0f\nRESULT listload.first_raw_ratio_%dk=%.2f\n"
                "RESULT listload.known_raw_ratio_%dk=%.2f\nRESULT listload.first_us_per_group_%dk=%.2f\n"
                "RESULT listload.descriptions_raw_ratio_%dk=%.2f\n",
                kGroups, r, kGroups, f / r, kGroups, k / r, kGroups, us(f), kGroups, d / rb);
    result.firstRatio = f / r;
    result.knownRatio = k / r;
    result.describedRatio = d / rb;
    return result;
}

// The baseline: download, split, and the loader's statements in a minimal loop,
// in one transaction on a store of its own.
void baseline(const InnServer &inn, int expected, Figure &figure)
{
    ScratchStore store;
    store.exec(seedServer(inn));
    const QString connection = QStringLiteral("baseline");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(store.path());
        if (!db.open())
            fail(db.lastError().text());
        QSqlQuery(db).exec(QStringLiteral("BEGIN"));
        QSqlQuery insGroup(db), isGroup(db), insLink(db);
        insGroup.prepare(QStringLiteral("INSERT INTO GROUPS (GROUPNAME) VALUES (:GRPNAME)"));
        isGroup.prepare(QStringLiteral("SELECT Code FROM GROUPS Where GroupName=:GN"));
        isGroup.setForwardOnly(true);
        insLink.prepare(QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) Values ( :NWS, :SRV )"));

        Stopwatch watch;
        watch.start();
        const QByteArray data = downloadList(inn);

        QSet<QString> names;
        int lines = 0;
        const QList<QByteArray> all = data.split('\n');
        for (qsizetype i = 1; i < all.size(); ++i) {
            const QByteArray line = all[i].trimmed();
            if (line.isEmpty() || line == ".")
                continue;
            const QString name = QString::fromUtf8(line.left(line.indexOf(' ')));
            ++lines;
            const QString key = name.toCaseFolded();
            if (!names.contains(key)) {
                insGroup.bindValue(QStringLiteral(":GRPNAME"), name);
                if (!insGroup.exec())
                    fail(insGroup.lastError().text());
                names.insert(key);
            }
            isGroup.bindValue(QStringLiteral(":GN"), name);
            isGroup.exec();
            const int code = isGroup.next() ? isGroup.value(0).toInt() : 0;
            isGroup.finish();
            insLink.bindValue(QStringLiteral(":NWS"), code);
            insLink.bindValue(QStringLiteral(":SRV"), 1);
            insLink.exec();
        }
        figure.take(watch);
        QSqlQuery(db).exec(QStringLiteral("COMMIT"));
        if (lines != expected)
            fail(QStringLiteral("baseline read %1 lines, not %2").arg(lines).arg(expected));
    }
    QSqlDatabase::removeDatabase(connection);
}

void print(const char *what, const Figure &figure, const Figure *base, const QString &target = {})
{
    QString extra;
    if (base)
        extra = QStringLiteral("%1 x baseline (cpu %2 x)")
                    .arg(figure.wall / base->wall, 0, 'f', 2)
                    .arg(figure.cpu / base->cpu, 0, 'f', 2);
    std::printf("%-52s %7.0f ms  cpu %6.0f ms  %s %s\n", what, figure.wall, figure.cpu, qPrintable(extra),
                qPrintable(target));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int generated = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    // The scaling figures alone (for a profiler).
    const bool loaderOnly = argc > 2 && QByteArray(argv[2]) == "--loader-only";
    const int groups = generated + 1; // and the fixture's quorbic.test

    Stopwatch watch;
    std::printf("The loader without a window, medians of 5 rounds:\n");
    for (int smaller : {generated / 10, generated * 3 / 10}) {
        InnServer::Options options;
        options.generatedGroups = smaller;
        InnServer inn(options);
        if (!inn.start())
            fail(inn.errorString());
        scaling(inn, smaller + 1, 5);
    }

    watch.start();
    InnServer::Options options;
    options.generatedGroups = generated;
    InnServer inn(options);
    if (!inn.start())
        fail(inn.errorString());
    const double innStarted = watch.wallMs();
    // Nine rounds, as the targets were set: the figures of five swing by a third.
    const Scaling full = scaling(inn, groups, 9);
    std::printf("RESULT listload.first_raw_ratio=%.2f\nRESULT listload.known_raw_ratio=%.2f\n"
                "RESULT listload.descriptions_raw_ratio=%.2f\nRESULT listload.load_peak_mb=%.0f\n",
                full.firstRatio, full.knownRatio, full.describedRatio, full.describedPeakMb);
    if (loaderOnly)
        return 0;
    std::printf("INN serving %d groups, started in %.0f ms; best of %d rounds, baseline measured in each\n", groups,
                innStarted, kRounds);

    Figure base, headless, namesOnly, first, second, reopened;
    for (int round = 0; round < kRounds; ++round) {
        baseline(inn, groups, base);

        // The loader without any window, on a store without descriptions,
        // then the same with them.
        const auto loadHeadless = [&](const QString &seed, Figure &figure) {
            ScratchStore store;
            store.exec(seed);
            Tdm dm(store.path());
            dm.DataModuleCreate();
            QuietUi ui;
            ListLoadStatus view(ui);
            NewsgroupListLoader loader(dm, ui, view, [] { return true; });
            watch.start();
            loader.loadAllServers();
            figure.take(watch);
        };
        loadHeadless(seedServer(inn) + QStringLiteral(";DROP TABLE GroupDescriptions"), namesOnly);
        loadHeadless(seedServer(inn), headless);

        // The dialog: its first opening on an empty store runs Update List by
        // itself; then Update List again; then again after reopening.
        ScratchStore store;
        store.exec(seedServer(inn));
        Tdm dm(store.path());
        dm.DataModuleCreate();
        TfmNewsgroup dialog(dm);
        dialog.setDialUpCheck([] { return true; });
        dialog.show();
        watch.start();
        QCoreApplication::processEvents(); // the queued Update List, loading window and all
        first.take(watch);
        if (dialog.listModel().rowCount() != groups)
            fail(QStringLiteral("the dialog lists %1 groups").arg(dialog.listModel().rowCount()));
        watch.start();
        dialog.btnUpdateClick();
        second.take(watch);
        dialog.btnOkClick();
        dialog.show();
        watch.start();
        dialog.btnUpdateClick();
        reopened.take(watch);
        dialog.btnOkClick();
    }
    print("baseline: download, split, minimal insert loop", base, nullptr);
    print("loader without a window, names only", namesOnly, &base);
    print("loader without a window, with descriptions", headless, &base,
          QStringLiteral("[<= 1.5 x names only: %1 x]").arg(headless.wall / namesOnly.wall, 0, 'f', 2));
    print("dialog: first Update List, empty store", first, &base, QStringLiteral("[< 3000 ms, <= 1.5 x]"));
    print("dialog: second Update List, every name known", second, &base, QStringLiteral("[< 1500 ms]"));
    print("dialog: Update List after reopening (names read)", reopened, &base);
    // For bench/run-all.sh.
    std::printf("RESULT listload.first_ms=%.0f\nRESULT listload.first_ratio=%.2f\nRESULT listload.second_ms=%.0f\n",
                first.wall, first.wall / base.wall, second.wall);
    std::printf("RESULT listload.descriptions_ratio=%.2f\n", headless.wall / namesOnly.wall);

    // The loading window with events let run on every line, against the pace the
    // loader keeps.
    for (int interval : {0, 10}) {
        ScratchStore store;
        store.exec(seedServer(inn));
        Tdm dm(store.path());
        dm.DataModuleCreate();
        EventsUi ui;
        TfmRecNewsgroup window;
        NewsgroupListLoader loader(dm, ui, window, [] { return true; });
        loader.setEventInterval(interval);
        Figure figure;
        watch.start();
        loader.loadAllServers();
        figure.take(watch);
        print(interval == 0 ? "loading window, events on every line" : "loading window, events every 10 ms at most",
              figure, &base);
    }

    // The dialog with every group in the store: the filter from the timer to the
    // list drawn, and scrolling.
    ScratchStore store;
    store.exec(seedServer(inn));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    TfmNewsgroup dialog(dm);
    dialog.setDialUpCheck([] { return true; });
    dialog.show();
    QCoreApplication::processEvents();
    auto *list = dialog.findChild<QTreeView *>(QStringLiteral("allList"));
    auto *filter = dialog.findChild<QLineEdit *>(QStringLiteral("edFilter"));
    double slowestFilter = 0;
    for (const char *typed : {"", "g0999", "many", "zzz"}) {
        filter->setText(QString::fromLatin1(typed));
        Figure shown, rows;
        for (int round = 0; round < kRounds; ++round) {
            watch.start();
            dialog.tmrFilterTimer();
            list->repaint();
            shown.take(watch);
            watch.start();
            dialog.qryNewsgroup().reopen();
            rows.take(watch);
        }
        print(qPrintable(QStringLiteral("filter \"%1\": %2 rows shown")
                             .arg(QLatin1String(typed))
                             .arg(dialog.listModel().rowCount())),
              shown, nullptr, QStringLiteral("[< 200 ms]; the row set alone %1 ms").arg(rows.wall, 0, 'f', 0));
        slowestFilter = std::max(slowestFilter, shown.wall);
    }
    std::printf("RESULT listload.filter_ms=%.0f\n", slowestFilter);

    filter->clear();
    dialog.tmrFilterTimer();
    list->repaint();
    NewsgroupListModel &model = dialog.listModel();
    const qint64 before = model.rowsRead();
    const int perPage = list->viewport()->height() / qMax(1, list->sizeHintForRow(0));
    Figure scrolling;
    watch.start();
    for (int step = 1; step <= 20; ++step) {
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() * step / 20);
        list->repaint();
    }
    scrolling.take(watch);
    print(qPrintable(QStringLiteral("scrolling: 20 pages across the list, %1 rows read (%2 per page)")
                         .arg(model.rowsRead() - before)
                         .arg(perPage)),
          scrolling, nullptr);
    // The rows that can be on screen in the 20 views (a partly shown row
    // included), plus one page as the block read ahead.
    std::printf("RESULT listload.scroll_rows_read=%lld\nRESULT listload.scroll_rows_limit=%d\n",
                model.rowsRead() - before, 20 * (perPage + 1) + perPage);
    dialog.btnCancelClick();

    std::printf("memory: %s [< 300 MB]\n", qPrintable(memory()));
    if (const double peak = peakMemoryMb(); peak >= 0)
        std::printf("RESULT listload.peak_memory_mb=%.0f\n", peak);
    return 0;
}
