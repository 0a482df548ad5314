#include "cli/consolelistloadview.h"

#include "cli/interrupt.h"

#include <QTextStream>

namespace {

// The caption the loader shows once it asks for the list; before that it
// shows only that it connects.
const QString kListingCaption = QStringLiteral("Loading Newsgroups from ");

} // namespace

ConsoleListLoadView::ConsoleListLoadView(QTextStream &err, std::function<int()> count)
    : m_err(err)
    , m_count(std::move(count))
{}

void ConsoleListLoadView::runServer(const std::function<bool()> &opening, const std::function<void()> &)
{
    if (Interrupt::requested())
        return;
    m_caption.clear();
    m_skipped = 0;
    opening();
    if (m_caption.startsWith(kListingCaption)) {
        m_err << m_caption << " " << m_count() << " newsgroups";
        if (m_skipped > 0)
            m_err << ", " << m_skipped << " names skipped";
        m_err << (Interrupt::requested() ? ", interrupted" : "") << "\n";
    } else if (!m_caption.isEmpty())
        m_err << m_caption << " not loaded\n";
    m_err.flush();
}
