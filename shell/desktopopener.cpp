#include "shell/desktopopener.h"

#include <QDesktopServices>
#include <QStandardPaths>

bool DesktopOpener::available() const
{
    // The helpers Qt's desktop services hand documents to on this platform.
    for (const char *helper : {"xdg-open", "kde-open5", "kfmclient", "gnome-open"}) {
        if (!QStandardPaths::findExecutable(QLatin1String(helper)).isEmpty())
            return true;
    }
    return false;
}

void DesktopOpener::open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
