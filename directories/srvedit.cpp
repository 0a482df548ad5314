#include "directories/srvedit.h"

#include "directories/starpassword.h"
#include "store/columns.h"
#include "store/dmod.h"
#include "widgets/errorbox.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitleMissing = QStringLiteral("The Server Name field is empty");
constexpr int kMaxPort = 65535;

QLineEdit *lineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QLineEdit *portEdit(QWidget *parent, const char *name)
{
    QLineEdit *edit = lineEdit(parent, name);
    edit->setValidator(new QIntValidator(0, kMaxPort, edit));
    return edit;
}

} // namespace

TfmEditServer::TfmEditServer(Tdm &dm, QWidget *parent)
    : PropertyDialog(dm, dm.tbServer(), parent)
{
    setObjectName(QStringLiteral("fmEditServer"));
    setWindowTitle(QStringLiteral("Server Properties"));

    m_profileName = lineEdit(this, "dbeProfileName");
    m_serverName = lineEdit(this, "dbeServerName");
    QLineEdit *port = portEdit(this, "dbePort");
    m_loginRequire = new QCheckBox(QStringLiteral("This server requires me to log on"), this);
    m_loginRequire->setObjectName(QStringLiteral("dbeLoginRequire"));

    m_gbLogin = new QGroupBox(QStringLiteral("Login Information"), this);
    m_gbLogin->setObjectName(QStringLiteral("gbLogin"));
    QLineEdit *login = lineEdit(m_gbLogin, "dbeLogin");
    QLineEdit *password = lineEdit(m_gbLogin, "dbePassword");
    showPasswordAsStars(password);

    m_proxy = new QCheckBox(QStringLiteral("Use proxy server to connect"), this);
    m_proxy->setObjectName(QStringLiteral("dbProxy"));

    m_gbProxy = new QGroupBox(QStringLiteral("Proxy SOCKS5"), this);
    m_gbProxy->setObjectName(QStringLiteral("gbProxy"));
    QLineEdit *proxyHost = lineEdit(m_gbProxy, "dbeProxyHost");
    QLineEdit *proxyPort = portEdit(m_gbProxy, "dbeProxyPort");
    QLineEdit *proxyLogin = lineEdit(m_gbProxy, "dbeProxyLogin");
    // The proxy password is shown as typed.
    QLineEdit *proxyPassword = lineEdit(m_gbProxy, "dbeProxyPassword");

    createButtons();

    auto *top = new QFormLayout;
    top->addRow(buddyLabel(QStringLiteral("Server Name:"), m_profileName), m_profileName);
    top->addRow(buddyLabel(QStringLiteral("Host:"), m_serverName), m_serverName);
    top->addRow(buddyLabel(QStringLiteral("Port:"), port), port);

    auto *loginLayout = new QFormLayout(m_gbLogin);
    loginLayout->addRow(buddyLabel(QStringLiteral("Login Name:"), login), login);
    loginLayout->addRow(buddyLabel(QStringLiteral("Password:"), password), password);

    auto *proxyLayout = new QGridLayout(m_gbProxy);
    proxyLayout->addWidget(buddyLabel(QStringLiteral("Proxy Host: "), proxyHost), 0, 0);
    proxyLayout->addWidget(proxyHost, 0, 1);
    proxyLayout->addWidget(buddyLabel(QStringLiteral("Port:"), proxyPort), 0, 2);
    proxyLayout->addWidget(proxyPort, 0, 3);
    proxyLayout->addWidget(buddyLabel(QStringLiteral("User Name:"), proxyLogin), 1, 0);
    proxyLayout->addWidget(proxyLogin, 1, 1, 1, 3);
    proxyLayout->addWidget(buddyLabel(QStringLiteral("Password:"), proxyPassword), 2, 0);
    proxyLayout->addWidget(proxyPassword, 2, 1, 1, 3);
    proxyLayout->setColumnStretch(1, 3);
    proxyLayout->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_loginRequire);
    layout->addWidget(m_gbLogin);
    layout->addWidget(m_proxy);
    layout->addWidget(m_gbProxy);
    layout->addStretch();
    layout->addLayout(buttons);

    const QList<QWidget *> tabOrder{m_profileName, m_serverName, port,          m_loginRequire, login,
                                    password,      m_proxy,      proxyHost,     proxyPort,      proxyLogin,
                                    proxyPassword, okButton(),   cancelButton()};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    m_binding.bindText(m_profileName, QStringLiteral("ProfileName"));
    m_binding.bindText(m_serverName, QStringLiteral("ServerName"));
    m_binding.bindInteger(port, QStringLiteral("Port"));
    m_binding.bindCheck(m_loginRequire, QStringLiteral("RequiresLogin"));
    m_binding.bindText(login, QStringLiteral("Login"));
    m_binding.bindText(password, QStringLiteral("Password"));
    m_binding.bindCheck(m_proxy, QStringLiteral("IsProxy"));
    m_binding.bindText(proxyHost, QStringLiteral("Host"));
    m_binding.bindInteger(proxyPort, QStringLiteral("ProxyPort"));
    m_binding.bindText(proxyLogin, QStringLiteral("ProxyLogin"));
    m_binding.bindText(proxyPassword, QStringLiteral("ProxyPassword"));

    m_required.add(
        {QStringLiteral("ProfileName"), kTitleMissing, QStringLiteral("Please, enter Server Name"), m_profileName});
    m_required.add(
        {QStringLiteral("ServerName"), kTitleMissing, QStringLiteral("Please, enter Server Host"), m_serverName});
    setFirstField(m_profileName);
    m_port = port;
    m_proxyPort = proxyPort;

    connect(m_loginRequire, &QCheckBox::toggled, this, &TfmEditServer::dbeLoginRequireClick);
    connect(m_proxy, &QCheckBox::toggled, this, &TfmEditServer::dbProxyClick);
}

bool TfmEditServer::runOnNewServer()
{
    const bool started = runWindowCommand(parentWidget(), [this] {
        row().append();
        row().setValue(Column::RequiresLogin, false);
    });
    return started && exec() == QDialog::Accepted;
}

void TfmEditServer::rowShown()
{
    dbeLoginRequireClick();
    dbProxyClick();
}

void TfmEditServer::prepareRow()
{
    const QString host = row().asString(Column::ServerName);
    const QString trimmed = host.trimmed();
    if (trimmed == host)
        return;
    row().setValue(Column::ServerName, trimmed.isEmpty() ? QVariant() : QVariant(trimmed));
    m_serverName->setText(trimmed);
}

std::optional<PropertyDialog::FieldProblem> TfmEditServer::checkRow()
{
    const auto outOfRange = [this](const char *column) {
        const QVariant value = row().value(QLatin1String(column));
        if (value.isNull() || value.toString().isEmpty())
            return false;
        bool number = false;
        const int port = value.toString().toInt(&number);
        return !number || port < 1 || port > kMaxPort;
    };
    const QString text = QStringLiteral("Please, enter a port from 1 to %1").arg(kMaxPort);
    if (outOfRange("Port"))
        return FieldProblem{QStringLiteral("The Port field is not valid"), text, m_port};
    if (row().asBool(Column::IsProxy) && outOfRange("ProxyPort"))
        return FieldProblem{QStringLiteral("The Proxy Port field is not valid"), text, m_proxyPort};
    return std::nullopt;
}

void TfmEditServer::dbeLoginRequireClick()
{
    m_gbLogin->setEnabled(m_loginRequire->isChecked());
}

void TfmEditServer::dbProxyClick()
{
    m_gbProxy->setEnabled(m_proxy->isChecked());
}
