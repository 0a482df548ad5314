#include "directories/accountlist.h"

#include "directories/accountrules.h"
#include "directories/accprop.h"
#include "store/dmod.h"

#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

TfmAccount::TfmAccount(Tdm &dm, QWidget *parent)
    : DirectoryList(dm, dm.qryAccount(), QStringLiteral("AccountName"),
                    {QStringLiteral("Account"), QStringLiteral("Add          "), QStringLiteral("Properties  "),
                     QStringLiteral("Remove     "), QStringLiteral("Add a new aacount"),
                     QStringLiteral("Edit account properties"), QStringLiteral("Remove the account")},
                    parent)
    , m_fmAccountProperty(new TfmAccountProperty(dm, this))
{
    setObjectName(QStringLiteral("fmAccount"));
    setWindowTitle(QStringLiteral("Accounts"));
    list()->setObjectName(QStringLiteral("lvAccounts"));
}

void TfmAccount::showEvent(QShowEvent *event)
{
    if (!m_centred && screen()) {
        move(screen()->availableGeometry().center() - rect().center());
        m_centred = true;
    }
    DirectoryList::showEvent(event);
}

void TfmAccount::acAddExecute()
{
    rows().append();
    m_fmAccountProperty->exec();
}

void TfmAccount::acEditExecute()
{
    rows().edit();
    m_fmAccountProperty->exec();
}

void TfmAccount::acDeleteExecute()
{
    QMessageBox ask(QMessageBox::Warning, QStringLiteral("Delete Tree Item"),
                    QStringLiteral("Would you like to delete this record?"), QMessageBox::Yes | QMessageBox::No, this);
    if (ask.exec() != QMessageBox::Yes)
        return;
    rows().remove();
    dm().checkpoint();
    // The editors' choosers must not offer the removed account any longer.
    AccountRules::afterRemove(dm());
}
