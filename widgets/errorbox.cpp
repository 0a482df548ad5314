#include "widgets/errorbox.h"

#include <QMessageBox>

namespace ErrorBox {

QString sentence(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void show(QWidget *owner, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorbic"), sentence(message), QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("UnhandledErrorBox"));
    box.exec();
}

QString messageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        // The program's own errors (of the store, of the news client) carry
        // their text in UTF-8.
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

} // namespace ErrorBox
