#include "shell/helpwindow.h"

#include "shell/desktopopener.h"
#include "shell/helpcontents.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QToolButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setObjectName(QLatin1String(name));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    return b;
}

} // namespace

TfmHelp::TfmHelp(DesktopOpener &opener, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_opener(opener)
{
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(QStringLiteral("Quorbic Help"));
    resize(760, 600);

    m_back = button(QStringLiteral("&Back"), "btnBack", this);
    m_forward = button(QStringLiteral("&Forward"), "btnForward", this);
    m_home = button(QStringLiteral("&Contents"), "btnContents", this);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("hbView"));
    m_browser->setAccessibleName(QStringLiteral("Manual"));
    // Every link comes to linkClicked: pages of the manual open here, the
    // rest on the desktop.
    m_browser->setOpenLinks(false);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_browser, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, &TfmHelp::showContents);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &TfmHelp::linkClicked);
}

void TfmHelp::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the window, as it closes every dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmHelp::showContents()
{
    showSection(QString());
}

void TfmHelp::showSection(const QString &section)
{
    const QString index = HelpContents::indexPage();
    if (index.isEmpty()) {
        m_browser->setPlainText(QStringLiteral("The manual is not installed. It was looked for in:\n\n")
                                + HelpContents::searchDirectories().join(QLatin1Char('\n')));
    } else {
        QUrl page = QUrl::fromLocalFile(index);
        if (!section.isEmpty())
            page.setFragment(section);
        m_browser->setSource(page);
    }
    show();
    raise();
    activateWindow();
}

void TfmHelp::linkClicked(const QUrl &url)
{
    const QUrl target = m_browser->source().resolved(url);
    if (target.isLocalFile() || target.scheme().isEmpty()) {
        m_browser->setSource(target);
        return;
    }
    m_opener.open(target);
}
