#pragma once
// For the length of a run: while the news client waits on the network, the
// run's driver lets its events run (RunUi::processEventsWhileWaiting), so its windows
// repaint and Abort is seen inside a wait too; the wait is given up
// (WaitAborted) as soon as keepGoing answers false. The client's previous
// handler comes back when the run ends.

#include "transport/waitevents.h"

#include <functional>

class NewsClient;
class RunUi;

class NetworkWaits
{
public:
    NetworkWaits(NewsClient &client, RunUi &ui, std::function<bool()> keepGoing);
    ~NetworkWaits();
    NetworkWaits(const NetworkWaits &) = delete;
    NetworkWaits &operator=(const NetworkWaits &) = delete;

private:
    NewsClient &m_client;
    WaitHandler m_previous;
};
