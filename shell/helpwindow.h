#pragma once
// The help window fmHelp: the manual's pages in a text browser with Back,
// Forward and Contents, beside the main window (not modal, so the user can
// read and work at once). Links to other pages of the manual open here; web
// and mail links go to the desktop. Esc closes it.

#include <QWidget>

class DesktopOpener;
class QTextBrowser;
class QToolButton;
class QUrl;

class TfmHelp : public QWidget
{
    Q_OBJECT
public:
    explicit TfmHelp(DesktopOpener &opener, QWidget *parent = nullptr);

    // Shows the window at the manual's first page (found by HelpContents), or
    // says where the manual was looked for when it is not installed.
    void showContents();
    // The same at one section of the first page (its anchor name, such as
    // "asking"); an empty section is the first page.
    void showSection(const QString &section);

    QTextBrowser *browser() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void linkClicked(const QUrl &url);

    DesktopOpener &m_opener;
    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
};
