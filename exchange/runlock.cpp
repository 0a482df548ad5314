#include "exchange/runlock.h"

#include "store/dmod.h"

namespace {
// Kept on the data module itself, so it lives and dies with the news client it guards.
constexpr char kRunning[] = "quorbicExchangeRunning";
} // namespace

ExchangeRunLock::ExchangeRunLock(Tdm &dm)
    : m_dm(dm)
{
    if (isHeld(dm))
        return;
    m_dm.setProperty(kRunning, true);
    m_acquired = true;
}

ExchangeRunLock::~ExchangeRunLock()
{
    if (m_acquired)
        m_dm.setProperty(kRunning, false);
}

bool ExchangeRunLock::isHeld(const Tdm &dm)
{
    return dm.property(kRunning).toBool();
}
