#include "widgets/linkview.h"

#include "widgets/linkfinder.h"
#include "widgets/plainbox.h"

#include <QMouseEvent>
#include <QTextCharFormat>
#include <QTextCursor>

LinkView::LinkView(QWidget *parent)
    : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &url) { emit linkClicked(url.toString(QUrl::FullyDecoded)); });
}

void LinkView::mouseMoveEvent(QMouseEvent *event)
{
    // The address as written in the text, not as a URL would rewrite it.
    hover(anchorAt(event->position().toPoint()));
    QTextBrowser::mouseMoveEvent(event);
}

void LinkView::leaveEvent(QEvent *event)
{
    hover(QString());
    QTextBrowser::leaveEvent(event);
}

void LinkView::hover(const QString &address)
{
    if (address == m_hovered)
        return;
    m_hovered = address;
    emit linkHovered(address.isEmpty() ? QString() : LinkFinder::shownAddress(address));
}

void LinkView::setText(const QString &written)
{
    // Line ends become the document's own, so that positions in the text are
    // positions in the document.
    QString text = written;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Loaded as plain text so that nothing in it is taken for markup; the links
    // are then marked on the characters themselves.
    setPlainText(text);
    const std::vector<LinkFinder::Link> links = LinkFinder::find(text);
    if (links.empty())
        return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const LinkFinder::Link &link : links) {
        cursor.setPosition(int(link.start));
        cursor.setPosition(int(link.start + link.length), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        const QString address = cursor.selectedText();
        format.setAnchorHref(address);
        format.setToolTip(PlainBox::toolTip(LinkFinder::shownAddress(address)));
        format.setForeground(palette().link());
        format.setFontUnderline(true);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
    document()->setModified(false);
}
