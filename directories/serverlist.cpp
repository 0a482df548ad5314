#include "directories/serverlist.h"

#include "directories/srvedit.h"
#include "store/columns.h"
#include "store/dmod.h"

#include <QMessageBox>
#include <QTreeView>

namespace {
constexpr int kDefaultPort = 119;
}

TfmServer::TfmServer(Tdm &dm, QWidget *parent)
    : DirectoryList(dm, dm.tbServer(), QStringLiteral("ProfileName"),
                    {QStringLiteral("Server Name"), QStringLiteral("Add       "), QStringLiteral("Edit       "),
                     QStringLiteral("Delete    "), QStringLiteral("Add a new server"),
                     QStringLiteral("Edit the server properties"), QStringLiteral("Delete the server")},
                    parent)
    , m_fmEditServer(new TfmEditServer(dm, this))
{
    setObjectName(QStringLiteral("fmServer"));
    setWindowTitle(QStringLiteral("News Servers"));
    list()->setObjectName(QStringLiteral("lvServers"));
}

void TfmServer::acAddExecute()
{
    rows().append();
    rows().setValue(Column::RequiresLogin, false);
    rows().setValue(Column::IsProxy, false);
    rows().setValue(Column::Port, kDefaultPort);
    m_fmEditServer->exec();
}

void TfmServer::acEditExecute()
{
    rows().edit();
    m_fmEditServer->exec();
}

void TfmServer::acDeleteExecute()
{
    const QString host = rows().asString(Column::ServerName);
    QMessageBox ask(QMessageBox::Warning, QStringLiteral("Delete Server"),
                    QStringLiteral("Do you want to delete  ") + host + QLatin1Char('?'),
                    QMessageBox::Yes | QMessageBox::No, this);
    if (ask.exec() != QMessageBox::Yes)
        return;
    rows().remove();
    dm().checkpoint();
}
