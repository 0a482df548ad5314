#include "directories/newsgroupui.h"

#include "transport/newsclient.h"
#include "widgets/warningquestion.h"

#include <QApplication>
#include <QLabel>
#include "widgets/plainbox.h"

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
    PlainBox::show(boxOwner(), boxIcon, title, text);
}

bool NewsgroupRunUi::ask(const QString &title, const QString &text)
{
    return PlainBox::show(boxOwner(), QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool NewsgroupRunUi::askPlainLogin(const QString &host, const QString &reply)
{
    return warningQuestion(boxOwner(), plainLoginQuestion(host, reply));
}

void NewsgroupRunUi::showStatus(int panel, const QString &text)
{
    if (panel == 0) {
        // Server texts: shown as written.
        m_status->setTextFormat(Qt::PlainText);
        m_status->setText(text);
    }
}

void NewsgroupRunUi::processEvents()
{
    QCoreApplication::processEvents();
}
