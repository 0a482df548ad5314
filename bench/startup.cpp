// bench_startup: how long the real program takes from being started to the
// first paint of its main window, and how much memory it holds then, with an
// empty store and with Inbox threads of 10,000 to 100,000 messages.
//
// Each store holds questions with 9 answers and replies each, up to 4 levels
// below the question, every message with a body of about a kilobyte. The
// program (the `quorbic` of this build unless --program names another) is
// started in the store's directory on a virtual X server; the benchmark
// watches the screen through the X DAMAGE extension and takes the moment the
// window titled "Quorbic 1 beta" has drawn at least half of its area. The
// program is then ended. Rounds alternate between the stores; each figure is
// the median of its rounds. Without a DISPLAY it runs itself under xvfb-run.
//
// Usage: bench_startup [--program PATH] [--rounds N] [messages ...]

#include "benchsupport.h"
#include "store/storeschema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kAnswersPerQuestion = 9;
constexpr int kMaxDepth = 4;
const char *const kTitle = "Quorbic 1 beta";

double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// A store with `messages` Inbox messages in threads of ten (none for 0).
void seed(const QString &path, int messages)
{
    StoreSchema::create(path);
    if (messages == 0)
        return;
    const QString connection = QStringLiteral("seed");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
        QSqlQuery(db).exec(QStringLiteral("BEGIN"));
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, "
                                      "\"From\", SentDate, Source, Body) VALUES (?, ?, 0, ?, ?, ?, ?, ?, ?, ?)"));
        QString body = QStringLiteral("Hello,\r\n\r\n");
        while (body.size() < 1000)
            body += QStringLiteral("> I have been trying this for a while and found the answer on "
                                   "http://www.example.org/faq/answer.html which explains it well.\r\n");
        body += QStringLiteral("\r\nThanks to everyone who helped.\r\n-- \r\nSomeone <someone@example.org>\r\n");
        QRandomGenerator random(20240301);
        const QDateTime start(QDate(2022, 1, 1), QTime(0, 0));
        struct Node
        {
            int code, depth;
        };
        int code = 0;
        const int questions = std::max(1, messages / (kAnswersPerQuestion + 1));
        for (int q = 0; q < questions; ++q) {
            std::vector<Node> thread;
            for (int m = 0; m <= kAnswersPerQuestion && code < messages; ++m) {
                Node parent{0, -1};
                if (m > 0) {
                    do {
                        parent = thread[random.bounded(int(thread.size()))];
                    } while (parent.depth >= kMaxDepth);
                }
                const Node node{++code, parent.depth + 1};
                thread.push_back(node);
                insert.addBindValue(node.code);
                insert.addBindValue(parent.code);
                insert.addBindValue(m == 0 ? -1 : 0);
                insert.addBindValue(random.bounded(4) != 0 ? -1 : 0);
                insert.addBindValue(QStringLiteral("Re: question number %1").arg(q));
                insert.addBindValue(QStringLiteral("User %1 <user%1@example.org>").arg(node.code % 977));
                insert.addBindValue(
                    start.addSecs(random.bounded(2 * 365 * 24 * 3600)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                insert.addBindValue(QStringLiteral("comp.lang.group%1").arg(node.code % 13));
                insert.addBindValue(body);
                if (!insert.exec())
                    fail(insert.lastError().text());
            }
        }
        QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(connection);
}

struct Sample
{
    double ms = 0; // from the start of the program to the first paint
    double cpuMs = 0; // the program's processor time by then (10 ms steps)
    double rssMb = 0; // resident then
    double peakMb = 0; // the most it was resident until then
};

// VmRSS and VmHWM of a process, in MB.
void memoryOf(pid_t pid, Sample &sample)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const double kb = line.mid(6).trimmed().split(' ').value(0).toDouble();
        if (line.startsWith("VmRSS:"))
            sample.rssMb = kb / 1024.0;
        if (line.startsWith("VmHWM:"))
            sample.peakMb = kb / 1024.0;
    }
}

double cpuOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command's closing parenthesis; utime and stime are
    // the 12th and 13th of them.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

class PaintWatch
{
public:
    PaintWatch()
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            fail(QStringLiteral("no X display"));
        int error = 0;
        if (!XDamageQueryExtension(m_display, &m_damageEvent, &error))
            fail(QStringLiteral("the X server has no DAMAGE extension"));
        m_root = DefaultRootWindow(m_display);
        XSelectInput(m_display, m_root, SubstructureNotifyMask);
        m_damage = XDamageCreate(m_display, m_root, XDamageReportRawRectangles);
        XSync(m_display, False);
    }
    ~PaintWatch() { XCloseDisplay(m_display); }

    // Starts the program in the directory and waits for its main window's
    // first paint.
    Sample run(const QString &program, const QString &directory)
    {
        drain();
        const QByteArray path = QFile::encodeName(program);
        const QByteArray dir = QFile::encodeName(directory);
        const double started = nowMs();
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir.constData()) != 0)
                _exit(126);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            execl(path.constData(), path.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        Sample sample;
        Window window = 0;
        XRectangle area{};
        long painted = 0;
        while (sample.ms == 0) {
            if (nowMs() - started > 120000)
                fail(QStringLiteral("no paint of the main window within two minutes"));
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                fail(QStringLiteral("%1 ended before its window painted (status %2)").arg(program).arg(status));
            if (!XPending(m_display)) {
                pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
                poll(&fd, 1, 5);
                continue;
            }
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == MapNotify && !window && isMainWindow(event.xmap.window, area)) {
                window = event.xmap.window;
            } else if (event.type == m_damageEvent + XDamageNotify && window) {
                const auto &damage = reinterpret_cast<const XDamageNotifyEvent &>(event);
                painted += overlap(damage.area, area);
                if (2 * painted >= long(area.width) * area.height) {
                    sample.ms = nowMs() - started;
                    sample.cpuMs = cpuOf(pid);
                    memoryOf(pid, sample);
                }
            }
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return sample;
    }

private:
    void drain()
    {
        XSync(m_display, False);
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
        }
        XDamageSubtract(m_display, m_damage, None, None);
    }

    bool isMainWindow(Window window, XRectangle &area)
    {
        char *name = nullptr;
        if (!XFetchName(m_display, window, &name) || !name)
            return false;
        const bool main = std::strcmp(name, kTitle) == 0;
        XFree(name);
        XWindowAttributes attributes;
        if (!main || !XGetWindowAttributes(m_display, window, &attributes))
            return false;
        area = {short(attributes.x), short(attributes.y), ushort(attributes.width), ushort(attributes.height)};
        return true;
    }

    static long overlap(const XRectangle &a, const XRectangle &b)
    {
        const long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
        const long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
        return w > 0 && h > 0 ? w * h : 0;
    }

    Display *m_display = nullptr;
    Window m_root = 0;
    Damage m_damage = 0;
    int m_damageEvent = 0;
};

template<typename Field>
double median(const std::vector<Sample> &samples, Field field)
{
    std::vector<double> values;
    for (const Sample &s : samples)
        values.push_back(s.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // A virtual X server of its own; the offscreen platform would hide
        // what showing the window costs.
        std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                                 const_cast<char *>("-screen 0 1280x1024x24")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        fail(QStringLiteral("no DISPLAY and no xvfb-run"));
    }
    QCoreApplication app(argc, argv);
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../shell/quorbic");
    int rounds = 5;
    std::vector<int> sizes;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--program") && i + 1 < args.size())
            program = args[++i];
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
        else
            sizes.push_back(args[i].toInt());
    }
    if (sizes.empty())
        sizes = {10000, 30000, 50000, 100000};
    sizes.insert(sizes.begin(), 0);
    program = QDir::cleanPath(program);
    if (!QFile::exists(program))
        fail(QStringLiteral("no program %1").arg(program));

    QTemporaryDir dir;
    std::vector<QString> stores;
    for (int size : sizes) {
        const QString store = QDir(dir.path()).filePath(QStringLiteral("inbox%1").arg(size));
        QDir().mkpath(store);
        const double seeding = nowMs();
        seed(QDir(store).filePath(QStringLiteral("qa.mdb")), size);
        std::printf("store of %d Inbox messages made in %.0f ms\n", size, nowMs() - seeding);
        stores.push_back(store);
    }
    std::printf("program: %s; %d rounds, the stores in turn; medians\n", qPrintable(program), rounds);
    std::fflush(stdout);

    PaintWatch screen;
    screen.run(program, stores.front()); // fonts and libraries into the page cache
    std::vector<std::vector<Sample>> samples(sizes.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < sizes.size(); ++i)
            samples[i].push_back(screen.run(program, stores[i]));
    }

    const double empty = median(samples[0], &Sample::ms);
    const double emptyCpu = median(samples[0], &Sample::cpuMs);
    std::printf("%-26s %9s %9s %9s %10s %10s %14s\n", "Inbox", "to paint", "x empty", "cpu", "resident", "peak",
                "per 1,000 msgs");
    for (size_t i = 0; i < sizes.size(); ++i) {
        const double ms = median(samples[i], &Sample::ms);
        const double peak = median(samples[i], &Sample::peakMb);
        const QString perItem = sizes[i] == 0
            ? QString()
            : QStringLiteral("%1 ms %2 MB")
                  .arg((ms - empty) * 1000.0 / sizes[i], 0, 'f', 1)
                  .arg((peak - median(samples[0], &Sample::peakMb)) * 1000.0 / sizes[i], 0, 'f', 2);
        std::printf("%-26s %6.0f ms %8.2fx %6.0f ms %7.1f MB %7.1f MB %s\n",
                    qPrintable(sizes[i] == 0 ? QStringLiteral("empty store")
                                             : QStringLiteral("%1 messages").arg(sizes[i])),
                    ms, ms / empty, median(samples[i], &Sample::cpuMs), median(samples[i], &Sample::rssMb), peak,
                    qPrintable(perItem));
    }
    std::printf("(cpu: the program's processor time to the paint, in steps of 10 ms; empty store %.0f ms)\n", emptyCpu);
    // For bench/run-all.sh.
    std::printf("RESULT startup.empty_ms=%.0f\n", empty);
    for (size_t i = 1; i < sizes.size(); ++i) {
        const int k = sizes[i] / 1000;
        std::printf("RESULT startup.ms_%dk=%.0f\n", k, median(samples[i], &Sample::ms));
        std::printf("RESULT startup.ratio_%dk=%.2f\n", k, median(samples[i], &Sample::ms) / empty);
        std::printf("RESULT startup.peak_mb_%dk=%.0f\n", k, median(samples[i], &Sample::peakMb));
    }
    return 0;
}
