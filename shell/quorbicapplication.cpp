#include "shell/quorbicapplication.h"

#include "shell/unhandlederror.h"

QuorbicApplication::QuorbicApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool QuorbicApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        UnhandledError::show(UnhandledError::currentMessage(std::current_exception()));
        return false;
    }
}
