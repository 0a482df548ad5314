#include "exchange/runui.h"

#include "transport/newsclient.h"

bool RunUi::askPlainLogin(const QString &host, const QString &reply)
{
    return ask(QStringLiteral("Warning"), plainLoginQuestion(host, reply));
}
