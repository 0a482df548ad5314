#include "shell/helpcontents.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace HelpContents {

QStringList searchDirectories()
{
    QStringList directories{QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quorbic/manual")};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        directories << data + QStringLiteral("/quorbic/manual");
#ifdef QUORBIC_SOURCE_MANUAL
    directories << QStringLiteral(QUORBIC_SOURCE_MANUAL);
#endif
    for (QString &directory : directories)
        directory = QDir::cleanPath(directory);
    directories.removeDuplicates();
    return directories;
}

QString indexPage()
{
    for (const QString &directory : searchDirectories()) {
        const QFileInfo page(QDir(directory).filePath(QLatin1String(kIndexPage)));
        if (page.isFile())
            return page.absoluteFilePath();
    }
    return QString();
}

bool prepare(const DesktopOpener &)
{
    return true;
}

} // namespace HelpContents
