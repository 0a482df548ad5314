#include "directories/newsgroupui.h"

#include "transport/newsclient.h"
#include "widgets/warningquestion.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

QWidget *NewsgroupRunUi::boxOwner() const
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal : m_owner;
}

void NewsgroupRunUi::showMessage(const QString &title, const QString &text, Icon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::Critical;
    if (icon == Icon::Information)
        boxIcon = QMessageBox::Information;
    else if (icon == Icon::Warning)
        boxIcon = QMessageBox::Warning;
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, boxOwner());
    box.exec();
}

bool NewsgroupRunUi::ask(const QString &title, const QString &text)
{
    return QMessageBox::question(boxOwner(), title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool NewsgroupRunUi::askPlainLogin(const QString &host, const QString &reply)
{
    return warningQuestion(boxOwner(), plainLoginQuestion(host, reply));
}

void NewsgroupRunUi::showStatus(int panel, const QString &text)
{
    if (panel == 0)
        m_status->setText(text);
}

void NewsgroupRunUi::processEvents()
{
    QCoreApplication::processEvents();
}
