#include "articletext/attachmentnames.h"

#include <QMimeDatabase>

namespace AttachmentNames {

QString safeName(const QString &name)
{
    QString base = name;
    const qsizetype slash = qMax(base.lastIndexOf(QLatin1Char('/')), base.lastIndexOf(QLatin1Char('\\')));
    if (slash >= 0)
        base = base.mid(slash + 1);
    base.remove(QChar(0));
    while (base.startsWith(QLatin1Char('.')))
        base.remove(0, 1);
    return base.trimmed();
}

QString typeOf(const QString &fileName)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name();
}

QString madeUpName(int number, const QString &type)
{
    static const QMimeDatabase database;
    const QString suffix = database.mimeTypeForName(type).preferredSuffix();
    return QStringLiteral("attachment-%1").arg(number) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

} // namespace AttachmentNames
