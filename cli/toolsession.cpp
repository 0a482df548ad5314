#include "cli/toolsession.h"
#include "exchange/newsaccess.h"

#include "cli/commandline.h"
#include "store/dmod.h"
#include "transport/newsclient.h"

ToolSession::ToolSession(ConsoleUi::Answers answers)
    : m_ui(Cli::err(), answers)
    , m_dm(std::make_unique<Tdm>(QLatin1String(Cli::kStoreFile)))
{
    m_dm->DataModuleCreate();

    NewsClient &client = NewsAccess::of(*m_dm).client();
    // Every connection copies its server row over these settings, which keep
    // the choice of encryption: a server that offers STARTTLS gets it.
    NewsClientSettings settings = client.settings();
    settings.tls = TlsUse::StartTls;
    client.setSettings(settings);
    client.setOnUntrustedCertificate(
        [this](const QString &host, const QString &reason) { return m_ui.trustCertificate(host, reason); });
    client.forgetCertificateAnswers();
}

ToolSession::~ToolSession() = default;
