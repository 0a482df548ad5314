#include "store/storeprivacy.h"

#include "store/sqlcommand.h"
#include "store/storeconnection.h"

#include <QFile>
#include <QFileInfo>

namespace StorePrivacy {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

bool othersCanRead(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
}

bool holdsPassword(StoreConnection &connection)
{
    SqlCommand query(connection,
                     QStringLiteral("SELECT COUNT(*) FROM Servers WHERE COALESCE(Password, '') <> '' "
                                    "OR COALESCE(ProxyPassword, '') <> ''"));
    query.exec();
    return query.next() && query.value(0).toLongLong() > 0;
}

bool exposed(const QString &fileName, StoreConnection &connection)
{
    return othersCanRead(fileName) && holdsPassword(connection);
}

bool makePrivate(const QString &fileName)
{
    bool done = QFile::setPermissions(fileName, kOwnerOnly);
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = fileName + QLatin1String(suffix);
        if (QFileInfo::exists(companion))
            done = QFile::setPermissions(companion, kOwnerOnly) && done;
    }
    return done;
}

} // namespace StorePrivacy
