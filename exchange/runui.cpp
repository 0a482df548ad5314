#include "exchange/runui.h"

#include "transport/newsclient.h"

bool RunUi::trustCertificate(const QString &host, const QString &reason)
{
    return ask(QStringLiteral("Warning"), untrustedCertificateQuestion(host, reason));
}
