#include "widgets/errorbox.h"

#include "store/storeerror.h"

#include <QMessageBox>

namespace ErrorBox {

void show(QWidget *owner, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorbic"), errorBoxText(message), QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("UnhandledErrorBox"));
    // The message may hold a server's reply: shown as written.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString messageOf(std::exception_ptr error)
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

} // namespace ErrorBox
