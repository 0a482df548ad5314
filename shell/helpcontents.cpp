#include "shell/helpcontents.h"

#include "shell/desktopopener.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace HelpContents {

bool open(DesktopOpener &opener)
{
    const QFileInfo file(QDir::current().filePath(QLatin1String(kHelpFile)));
    if (!file.isFile())
        return false;
    opener.open(QUrl::fromLocalFile(file.absoluteFilePath()));
    return true;
}

bool prepare(const DesktopOpener &opener)
{
    if (opener.available())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning!"),
                    QStringLiteral("Unable to view HTML help (*.chm). Update windows help system."), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("HelpWarningBox"));
    box.exec();
    return false;
}

} // namespace HelpContents
