#pragma once
// The application object. Besides running the message loop it is the last
// catcher of errors: one that escapes an event handler ends that handler and is
// shown in the unhandled-error box, and the program goes on.

#include <QApplication>

class QuorbicApplication : public QApplication
{
    Q_OBJECT
public:
    QuorbicApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
