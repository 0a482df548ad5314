#include "shell/storeopening.h"

#include "shell/unhandlederror.h"
#include "store/dmod.h"
#include "store/storeschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Quorbic");

bool makeEmptyStore(const QString &fileName, QWidget *parent)
{
    const QFileInfo file(fileName);
    QMessageBox question(QMessageBox::Question, kTitle,
                         QStringLiteral("There is no store \"%1\" in the folder %2.\n\n"
                                        "Make an empty store there? No ends Quorbic.")
                             .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
                         QMessageBox::Yes | QMessageBox::No, parent);
    question.setObjectName(QStringLiteral("boxNoStore"));
    question.setTextFormat(Qt::PlainText);
    question.setDefaultButton(QMessageBox::Yes);
    question.setEscapeButton(QMessageBox::No);
    if (question.exec() != QMessageBox::Yes)
        return false;
    try {
        StoreSchema::create(fileName);
    } catch (...) {
        UnhandledError::show(UnhandledError::currentMessage(std::current_exception()));
        return false;
    }
    // Questions, answers, server passwords: for the user's eyes only.
    QFile::setPermissions(fileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

} // namespace

namespace StoreOpening {

bool open(Tdm &dm, const QString &fileName, QWidget *parent)
{
    if (!QFileInfo::exists(fileName) && !makeEmptyStore(fileName, parent))
        return false;
    try {
        dm.DataModuleCreate();
        return true;
    } catch (...) {
        const QString reason = UnhandledError::currentMessage(std::current_exception());
        QMessageBox box(QMessageBox::Critical, kTitle,
                        QStringLiteral("The store %1 cannot be opened: %2\n\nQuorbic ends.")
                            .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()), reason),
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("boxStoreUnusable"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return false;
    }
}

} // namespace StoreOpening
