#include "shell/unhandlederror.h"

#include "widgets/errorbox.h"

#include <QApplication>
#include <QWidget>

namespace UnhandledError {

QString currentMessage(std::exception_ptr error)
{
    return ErrorBox::messageOf(error);
}

void show(const QString &message)
{
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    ErrorBox::show(owner, message);
}

} // namespace UnhandledError
