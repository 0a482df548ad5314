#pragma once
// The desktop's "open": web and mail links, and the help file with whatever
// handles it. Windows reach the desktop only through this, so tests put a
// recording opener in its place.

#include <QUrl>

class DesktopOpener
{
public:
    virtual ~DesktopOpener() = default;
    // True when the desktop has a handler for opening documents at all.
    virtual bool available() const;
    // Asks the desktop to open the address; the result is not checked.
    virtual void open(const QUrl &url);
};
