#include "shell/mainrunui.h"

#include "shell/main.h"
#include "transport/newsclient.h"
#include "widgets/warningquestion.h"

#include <QApplication>
#include "widgets/plainbox.h"

MainRunUi::~MainRunUi()
{
    setBusy(false);
}

void MainRunUi::showMessage(const QString &title, const QString &text, Icon icon)
{
    const QMessageBox::Icon shown = icon == Icon::Error ? QMessageBox::Critical
        : icon == Icon::Warning                         ? QMessageBox::Warning
                                                        : QMessageBox::Information;
    PlainBox::show(&m_main, shown, title, text);
}

bool MainRunUi::ask(const QString &title, const QString &text)
{
    return PlainBox::show(&m_main, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool MainRunUi::askPlainLogin(const QString &host, const QString &reply)
{
    return warningQuestion(&m_main, plainLoginQuestion(host, reply));
}

void MainRunUi::showStatus(int panel, const QString &text)
{
    m_main.setStatusText(panel, text);
}

void MainRunUi::processEvents()
{
    QCoreApplication::processEvents();
}

void MainRunUi::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
