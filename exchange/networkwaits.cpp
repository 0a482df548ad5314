#include "exchange/networkwaits.h"

#include "exchange/runui.h"
#include "transport/newsclient.h"

NetworkWaits::NetworkWaits(NewsClient &client, RunUi &ui, std::function<bool()> keepGoing)
    : m_client(client)
    , m_previous(client.waitHandler())
{
    m_client.setWaitHandler([&ui, keepGoing = std::move(keepGoing)] {
        ui.processEventsWhileWaiting();
        return keepGoing();
    });
}

NetworkWaits::~NetworkWaits()
{
    m_client.setWaitHandler(std::move(m_previous));
}
