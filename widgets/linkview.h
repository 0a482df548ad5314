#pragma once
// A read-only view of plain text that wraps its lines and shows the web and
// mail addresses it finds in the text as links. A click on a link (or Enter on
// one reached with Tab) reports the link's text; the view opens nothing itself.
// Each link's tooltip, and the address reported while the mouse is on it, is
// the real address with its reordering characters made visible.

#include <QTextBrowser>

class LinkView : public QTextBrowser
{
    Q_OBJECT
public:
    explicit LinkView(QWidget *parent = nullptr);

    // Replaces the contents with the text, shown as written, links marked.
    void setText(const QString &text);
    QString text() const { return toPlainText(); }

signals:
    void linkClicked(const QString &linkText);
    // The address of the link under the mouse, as shownAddress() writes it;
    // empty once the mouse has left the link.
    void linkHovered(const QString &shownAddress);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void hover(const QString &address);

    QString m_hovered; // the address of the link under the mouse, as written
};
