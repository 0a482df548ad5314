#include "shell/unhandlederror.h"

#include "store/storeerror.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace UnhandledError {

QString currentMessage(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const StoreError &e) {
        return e.text();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void show(const QString &message)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorbic"), errorBoxText(message),
                    QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("UnhandledErrorBox"));
    box.exec();
}

} // namespace UnhandledError
