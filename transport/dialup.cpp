#include "transport/dialup.h"

#include "transport/dialupservice.h"
#include "transport/nodialupservice.h"

namespace {

using Library = DialUpService::Library;
using Function = DialUpService::Function;

// A library as the check holds it: the copy already in the process when there
// is one, else one loaded here and released again when the holder goes.
class LibraryHold
{
public:
    LibraryHold(DialUpService &service, Library library)
        : m_service(service)
        , m_library(library)
    {
        if (service.isLoaded(library)) {
            m_available = true;
        } else {
            m_available = service.load(library);
            m_loadedHere = m_available;
        }
    }
    ~LibraryHold()
    {
        if (m_loadedHere)
            m_service.release(m_library);
    }
    LibraryHold(const LibraryHold &) = delete;
    LibraryHold &operator=(const LibraryHold &) = delete;

    bool available() const { return m_available; }

private:
    DialUpService &m_service;
    Library m_library;
    bool m_available = false;
    bool m_loadedHere = false;
};

} // namespace

bool DialUpCheck(DialUpService &service)
{
    LibraryHold rasApi(service, Library::RasApi);
    if (!rasApi.available() || !service.hasFunction(Function::EnumEntries))
        return true;
    quint32 entries = 0;
    // A failure here includes a phone book with more entries than there is room for.
    if (service.enumEntries(&entries) != 0 || entries == 0)
        return true;

    if (!service.hasFunction(Function::EnumConnections))
        return true;
    quint32 connections = 0;
    if (service.enumConnections(&connections) != 0 || connections > 0)
        return true;

    // Entries configured and no connection up: offer the dial-up dialog.
    LibraryHold rasDialog(service, Library::RasDialog);
    if (rasDialog.available() && service.hasFunction(Function::PhonebookDialog))
        return service.phonebookDialog();

    // Older systems have only the RNA dialog; whatever it does, go on.
    LibraryHold rnaUi(service, Library::RnaUi);
    if (rnaUi.available() && service.hasFunction(Function::RnaDial))
        service.rnaDial();
    return true;
}

bool DialUpCheck()
{
    NoDialUpService service;
    return DialUpCheck(service);
}
