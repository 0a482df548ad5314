#pragma once
// The loading window as the newsgroup list loader sees it: one modal window per
// server that does the server's work while it is on screen and shows what it is
// doing. The window fmRecNewsgroup implements it; so does a plain adapter for
// quorbic-cli and tests (listloadstatus.h).

#include <QString>
#include <functional>

class ListLoadView
{
public:
    virtual ~ListLoadView() = default;

    // Shows the window for one server and calls opening once it is on screen.
    // When opening returns true the window closes by itself; when it returns
    // false (a failure was shown) the window stays until the user closes it.
    // abort is called when the user presses Abort (or Esc) meanwhile. Returns
    // once the window has closed.
    virtual void runServer(const std::function<bool()> &opening, const std::function<void()> &abort) = 0;

    virtual void setCaption(const QString &caption) = 0;
    // The running count of received lines (lbCount); kept between servers.
    virtual void showCount(int count) = 0;
    // The name being handled (Label2); empty clears it.
    virtual void showGroupName(const QString &name) = 0;
    // The names of the current server's list that are no newsgroup names and
    // were not taken ("N names skipped"); 0 shows nothing.
    virtual void showSkipped(int count) { Q_UNUSED(count); }
};
