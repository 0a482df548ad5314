#pragma once
// What the dial-up check needs of the system's dial-up networking: three
// libraries and the four functions they hold. Providers stand in for the
// platform (a desktop without dial-up networking) or for a test.

#include <QtGlobal>

class DialUpService
{
public:
    enum class Library { RasApi, RasDialog, RnaUi };
    enum class Function {
        EnumEntries, // RasEnumEntriesA in RasApi
        EnumConnections, // RasEnumConnectionsA in RasApi
        PhonebookDialog, // RasPhonebookDlgA in RasDialog
        RnaDial, // RnaDial in RnaUi
    };

    // Room the check gives the enumerations; more entries or connections
    // than this make the enumeration fail.
    static constexpr int entryCapacity = 25;
    static constexpr int connectionCapacity = 15;

    virtual ~DialUpService() = default;

    // Whether the process has the library loaded already.
    virtual bool isLoaded(Library library) = 0;
    // Loads the library; false when it cannot be had.
    virtual bool load(Library library) = 0;
    // Releases a library that load() brought in.
    virtual void release(Library library) = 0;
    // Whether the (loaded) library holds the function.
    virtual bool hasFunction(Function function) = 0;

    // 0 on success, with the number of phone-book entries in *count.
    virtual quint32 enumEntries(quint32 *count) = 0;
    // 0 on success, with the number of active connections in *count.
    virtual quint32 enumConnections(quint32 *count) = 0;
    // Shows the dial-up dialog, without owner; true when the user connected.
    virtual bool phonebookDialog() = 0;
    // The dial-up dialog of older systems; its result is of no use.
    virtual void rnaDial() = 0;
};
