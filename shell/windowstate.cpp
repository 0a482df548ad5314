#include "shell/windowstate.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeWidget>

namespace {

const QString kGeometry = QStringLiteral("main/geometry");
const QString kColumns = QStringLiteral("main/columns");

QString splitterKey(const QSplitter *splitter)
{
    return QStringLiteral("main/") + splitter->objectName();
}

QHeaderView *messageColumns(const QMainWindow &window)
{
    const auto *tree = window.findChild<QTreeWidget *>(QStringLiteral("treeMessage"));
    return tree ? tree->header() : nullptr;
}

} // namespace

namespace WindowState {

QString defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Quorbic/window.ini");
}

bool restore(QMainWindow &window, const QString &file)
{
    if (file.isEmpty())
        return false;
    const QSettings settings(file, QSettings::IniFormat);
    const bool placed = window.restoreGeometry(settings.value(kGeometry).toByteArray());
    for (QSplitter *splitter : window.findChildren<QSplitter *>())
        splitter->restoreState(settings.value(splitterKey(splitter)).toByteArray());
    // Widths only: the sort order of the tree always starts as designed.
    if (QHeaderView *header = messageColumns(window)) {
        const QStringList widths = settings.value(kColumns).toStringList();
        for (int i = 0; i < widths.size() && i < header->count(); ++i) {
            bool number = false;
            const int width = widths.at(i).toInt(&number);
            if (number && width > 0 && width <= 10000)
                header->resizeSection(i, width);
        }
    }
    return placed;
}

void save(const QMainWindow &window, const QString &file)
{
    if (file.isEmpty())
        return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(kGeometry, window.saveGeometry());
    for (const QSplitter *splitter : window.findChildren<QSplitter *>())
        settings.setValue(splitterKey(splitter), splitter->saveState());
    if (const QHeaderView *header = messageColumns(window)) {
        QStringList widths;
        for (int i = 0; i < header->count(); ++i)
            widths << QString::number(header->sectionSize(i));
        settings.setValue(kColumns, widths);
    }
    settings.sync();
}

} // namespace WindowState
