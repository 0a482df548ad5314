// quorbic: opens the store and runs the program until the user ends it.

#include "store/dmod.h"
#include "store/storeerror.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorbic"));

    Tdm dm;
    try {
        dm.DataModuleCreate();
    } catch (const StoreError &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Quorbic"), errorBoxText(e.text()));
    }

    QMainWindow fmMain;
    fmMain.setObjectName(QStringLiteral("fmMain"));
    fmMain.setWindowTitle(QStringLiteral("Quorbic"));
    fmMain.show();
    const int code = app.exec();
    try {
        dm.close();
    } catch (const StoreError &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Quorbic"), errorBoxText(e.text()));
    }
    return code;
}
