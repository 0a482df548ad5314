#pragma once
// The dial-up service of a system without dial-up networking (a Linux
// desktop): none of its libraries can be had, so the check answers "go on".

#include "transport/dialupservice.h"

class NoDialUpService : public DialUpService
{
public:
    bool isLoaded(Library) override { return false; }
    bool load(Library) override { return false; }
    void release(Library) override {}
    bool hasFunction(Function) override { return false; }
    quint32 enumEntries(quint32 *count) override;
    quint32 enumConnections(quint32 *count) override;
    bool phonebookDialog() override { return false; }
    void rnaDial() override {}
};
