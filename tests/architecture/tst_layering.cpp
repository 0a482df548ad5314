// The architecture, checked on the sources: which folder's code may include
// which other folder's headers, and that the core includes no widget header.
// The table below is the one statement of the layering; README.md and
// HACKING.md describe it. A new folder, or a new edge, is added here first.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Layer
{
    const char *folder;
    QStringList mayInclude; // besides itself
    bool core; // no Qt Widgets
};

// Lower layers first. The core decides; the windows above it present.
const QList<Layer> kLayers = {
    {"store", {}, true},
    {"transport", {}, true},
    {"exchange", {"store", "transport"}, true},
    {"messagelist", {"store"}, true},
    {"cli", {"store", "transport", "exchange", "messagelist"}, true},
    {"widgets", {}, false},
    {"runwindows", {"store", "transport", "exchange", "widgets"}, false},
    {"directories", {"store", "transport", "exchange", "widgets"}, false},
    {"messages", {"store", "transport", "exchange", "messagelist", "widgets", "directories"}, false},
    {"shell",
     {"store", "transport", "exchange", "messagelist", "widgets", "runwindows", "directories", "messages"},
     false},
};

struct Include
{
    QString file;
    int line;
    QString header;
};

QList<Include> includesOf(const QString &path)
{
    static const QRegularExpression directive(QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"));
    QList<Include> found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return found;
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        ++number;
        const QRegularExpressionMatch match = directive.match(line);
        if (match.hasMatch())
            found.append({path, number, match.captured(1) + match.captured(2)});
    }
    return found;
}

QStringList sourcesOf(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// The class headers of Qt Widgets (QWidget, QMessageBox, ...), read from the
// installed module so that a new one is known without a list of our own.
QSet<QString> widgetHeaders()
{
    QSet<QString> names;
    QDirIterator it(QStringLiteral(QUORBIC_QTWIDGETS_INCLUDE_DIR), QDir::Files);
    while (it.hasNext()) {
        it.next();
        names.insert(it.fileName());
    }
    return names;
}

// The violations of the table among the given includes of one folder.
QStringList violations(const Layer &layer, const QList<Include> &includes, const QSet<QString> &widgets)
{
    const QString own = QString::fromLatin1(layer.folder);
    QStringList found;
    for (const Include &include : includes) {
        const QString header = include.header.mid(1);
        const QString where = QStringLiteral("%1:%2 includes %3").arg(include.file).arg(include.line).arg(header);
        if (include.header.startsWith(QLatin1Char('"'))) {
            const QString folder = header.section(QLatin1Char('/'), 0, 0);
            if (header.contains(QLatin1Char('/')) && folder != own && !layer.mayInclude.contains(folder))
                found << where + QStringLiteral(": ") + own + QStringLiteral(" may not include ") + folder;
        } else if (layer.core && (header.startsWith(QLatin1String("QtWidgets/")) || widgets.contains(header))) {
            found << where + QStringLiteral(": the core links no widgets");
        }
    }
    return found;
}

} // namespace

class tst_Layering : public QObject
{
    Q_OBJECT
private slots:
    void includesFollowTheTable_data();
    void includesFollowTheTable();
    void everyFolderWithSourcesIsInTheTable();
    void everySourceIsListedInItsLibrary_data();
    void everySourceIsListedInItsLibrary();
    void aForbiddenIncludeIsFound_data();
    void aForbiddenIncludeIsFound();
};

void tst_Layering::includesFollowTheTable_data()
{
    QTest::addColumn<int>("layer");
    for (int i = 0; i < kLayers.size(); ++i)
        QTest::newRow(kLayers[i].folder) << i;
}

void tst_Layering::includesFollowTheTable()
{
    QFETCH(int, layer);
    const QDir root(QStringLiteral(QUORBIC_SOURCE_DIR));
    const QStringList files = sourcesOf(root.filePath(QString::fromLatin1(kLayers[layer].folder)));
    QVERIFY2(!files.isEmpty(), kLayers[layer].folder);
    QList<Include> includes;
    for (const QString &file : files)
        includes += includesOf(file);
    const QStringList found = violations(kLayers[layer], includes, widgetHeaders());
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void tst_Layering::everyFolderWithSourcesIsInTheTable()
{
    // Folders that are no library of the program.
    const QStringList outside
        = {QStringLiteral("tests"), QStringLiteral("bench"),   QStringLiteral("build"),  QStringLiteral("cmake"),
           QStringLiteral("docs"),  QStringLiteral("desktop"), QStringLiteral("scripts")};
    QStringList known;
    for (const Layer &layer : kLayers)
        known << QString::fromLatin1(layer.folder);
    const QDir root(QStringLiteral(QUORBIC_SOURCE_DIR));
    for (const QString &folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (outside.contains(folder) || folder.startsWith(QLatin1String("build")) || known.contains(folder))
            continue;
        QVERIFY2(sourcesOf(root.filePath(folder)).isEmpty(),
                 qPrintable(folder + QStringLiteral(" holds sources but has no row in the layering table")));
    }
}

void tst_Layering::everySourceIsListedInItsLibrary_data()
{
    includesFollowTheTable_data();
}

// Sources are listed by name, not found by a pattern: a file the list does not
// name is not built, so one left out (after a merge, say) is a fault.
void tst_Layering::everySourceIsListedInItsLibrary()
{
    QFETCH(int, layer);
    const QDir folder(QDir(QStringLiteral(QUORBIC_SOURCE_DIR)).filePath(QString::fromLatin1(kLayers[layer].folder)));
    QFile list(folder.filePath(QStringLiteral("CMakeLists.txt")));
    QVERIFY2(list.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(list.fileName()));
    const QString text = QString::fromUtf8(list.readAll());
    static const QRegularExpression globbedSources(QStringLiteral("GLOB[^)]*\\*\\.(cpp|h)\\b"));
    QVERIFY2(!globbedSources.match(text).hasMatch(), qPrintable(list.fileName() + QStringLiteral(" globs its sources")));
    static const QRegularExpression word(QStringLiteral("[\\w./-]+"));
    QSet<QString> named;
    for (const QRegularExpressionMatch &match : word.globalMatch(text))
        named.insert(match.captured(0));
    QStringList missing;
    for (const QString &file : folder.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files)) {
        if (!named.contains(file))
            missing << file;
    }
    QVERIFY2(missing.isEmpty(),
             qPrintable(folder.path() + QStringLiteral(" does not list ") + missing.join(QStringLiteral(", "))));
}

// The check itself, on made-up includes: each row must be caught.
void tst_Layering::aForbiddenIncludeIsFound_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("store includes transport") << "store"
                                              << "\"transport/newsclient.h" << false;
    QTest::newRow("exchange includes a window") << "exchange"
                                                << "\"runwindows/sendgroup.h" << false;
    QTest::newRow("core includes a widget header") << "exchange"
                                                   << "<QMessageBox" << false;
    QTest::newRow("core includes the widgets module") << "cli"
                                                      << "<QtWidgets/QWidget" << false;
    QTest::newRow("window includes the core") << "shell"
                                              << "\"exchange/postingrun.h" << true;
    QTest::newRow("window includes a widget header") << "shell"
                                                     << "<QMessageBox" << true;
    QTest::newRow("core includes Qt Core") << "store"
                                           << "<QString" << true;
}

void tst_Layering::aForbiddenIncludeIsFound()
{
    QFETCH(QString, folder);
    QFETCH(QString, header);
    QFETCH(bool, allowed);
    const auto layer = std::find_if(kLayers.begin(), kLayers.end(),
                                    [&](const Layer &l) { return folder == QLatin1String(l.folder); });
    QVERIFY(layer != kLayers.end());
    const QStringList found = violations(*layer, {{QStringLiteral("x.cpp"), 1, header}}, widgetHeaders());
    QCOMPARE(found.isEmpty(), allowed);
}

QTEST_GUILESS_MAIN(tst_Layering)
#include "tst_layering.moc"
