#include "exchange/runlock.h"

#include "exchange/log.h"
#include "exchange/newsaccess.h"
#include "store/dmod.h"

ExchangeRunLock::ExchangeRunLock(Tdm &dm)
    : m_access(NewsAccess::of(dm))
{
    if (m_access.m_runInProgress)
        return;
    m_access.m_runInProgress = true;
    m_acquired = true;
    qCDebug(lcExchange) << "run started";
}

ExchangeRunLock::~ExchangeRunLock()
{
    if (!m_acquired)
        return;
    m_access.m_runInProgress = false;
    qCDebug(lcExchange) << "run ended";
}

bool ExchangeRunLock::isHeld(const Tdm &dm)
{
    const NewsAccess *access = dm.findChild<NewsAccess *>(QString(), Qt::FindDirectChildrenOnly);
    return access && access->runInProgress();
}
