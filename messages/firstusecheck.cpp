#include "messages/firstusecheck.h"

#include "directories/accprop.h"
#include "directories/srvedit.h"
#include "store/dmod.h"

#include <QMessageBox>

namespace {
// The two line breaks are single carriage returns.
constexpr char kBreaks[] = "\r\r";
} // namespace

FirstUseCheck::FirstUseCheck(Tdm &dm, TfmEditServer &fmEditServer, TfmAccountProperty &fmAccountProperty)
    : m_dm(dm)
    , m_fmEditServer(fmEditServer)
    , m_fmAccountProperty(fmAccountProperty)
{}

QString FirstUseCheck::serverQuestion()
{
    return QStringLiteral("You have not any news server information ") + QLatin1String(kBreaks)
        + QStringLiteral("Do you want to add a news server?");
}

QString FirstUseCheck::accountQuestion()
{
    return QStringLiteral("You have not any account ") + QLatin1String(kBreaks)
        + QStringLiteral("Do you want to add a new account?");
}

bool FirstUseCheck::ask(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

bool FirstUseCheck::run(QWidget *owner)
{
    RowSet &servers = m_dm.tbServer();
    servers.reopen();
    if (servers.isEmpty()) {
        if (!ask(owner, serverQuestion()))
            return false;
        if (!m_fmEditServer.runOnNewServer())
            return false;
    }
    RowSet &accounts = m_dm.qryAccount();
    accounts.reopen();
    if (accounts.isEmpty()) {
        if (!ask(owner, accountQuestion()))
            return false;
        if (!m_fmAccountProperty.runOnNewAccount())
            return false;
    }
    return true;
}
