#include "tests/support/freeport.h"

#include <QHostAddress>
#include <QTcpServer>

quint16 pickFreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}
