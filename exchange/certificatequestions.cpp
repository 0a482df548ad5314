#include "exchange/certificatequestions.h"

#include "exchange/runui.h"
#include "transport/newsclient.h"

CertificateQuestions::CertificateQuestions(NewsClient &client, RunUi &ui)
    : m_client(client)
{
    m_client.forgetCertificateAnswers();
    m_client.setOnUntrustedCertificate([&ui](const QString &host, const QString &reason) {
        return ui.trustCertificate(host, reason);
    });
}

CertificateQuestions::~CertificateQuestions()
{
    m_client.setOnUntrustedCertificate({});
    m_client.forgetCertificateAnswers();
}

void preferEncryption(NewsClient &client)
{
    NewsClientSettings settings = client.settings();
    settings.tls = TlsUse::StartTls;
    client.setSettings(settings);
}

QString connectedStatusText(const NewsClient &client)
{
    QString text = greetingStateText(client.greetingState());
    if (client.encrypted())
        text += QStringLiteral(" (encrypted)");
    return text;
}
