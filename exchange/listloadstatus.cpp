#include "exchange/listloadstatus.h"

#include "exchange/runui.h"

void ListLoadStatus::runServer(const std::function<bool()> &opening, const std::function<void()> &)
{
    opening();
}

void ListLoadStatus::setCaption(const QString &caption)
{
    m_ui.showStatus(0, caption);
}

void ListLoadStatus::showCount(int count)
{
    m_ui.showStatus(1, QString::number(count));
}

void ListLoadStatus::showGroupName(const QString &)
{
    // A name per repaint is for a window; a log of them would say nothing.
}

void ListLoadStatus::showSkipped(int count)
{
    if (count > 0)
        m_ui.showStatus(0, QStringLiteral("%1 names skipped").arg(count));
}
