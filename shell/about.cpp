#include "shell/about.h"

#include "shell/desktopopener.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char kMakerNotice[] = "Written by the Quorbic developers. Free to use and share.";

QLabel *linkLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    // The link's own colour and underline come from the palette's link role.
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setOpenExternalLinks(false);
    label->setAccessibleName(text);
    return label;
}

} // namespace

TfmAbout::TfmAbout(DesktopOpener &opener, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_opener(opener)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("About Quorbic"));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new QFrame(this);
    m_frame->setFrameStyle(QFrame::NoFrame);
    outer->addWidget(m_frame);

    auto *row = new QHBoxLayout(m_frame);
    row->setContentsMargins(0, 0, 8, 8);

    auto *art = new QLabel(m_frame);
    art->setObjectName(QStringLiteral("imgArtwork"));
    art->setPixmap(QPixmap(QStringLiteral(":/icons/about-art.png")));
    art->setFixedWidth(148);
    art->setScaledContents(true);
    // The picture fills whatever height the box has; the text decides it.
    art->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    art->setAccessibleName(QStringLiteral("Quorbic artwork"));
    row->addWidget(art);

    auto *text = new QVBoxLayout;
    text->setContentsMargins(8, 8, 0, 0);
    // Tight lines: the address's own line must fit in the designed height.
    text->setSpacing(2);
    row->addLayout(text, 1);

    auto *product = new QLabel(QStringLiteral("Quorbic"), m_frame);
    product->setObjectName(QStringLiteral("lbProduct"));
    QFont productFont(QStringLiteral("Arial"), 10, QFont::Bold);
    productFont.setStyleHint(QFont::SansSerif);
    product->setFont(productFont);
    text->addWidget(product);

    auto *version = new QLabel(QStringLiteral("Version 1.01 beta"), m_frame);
    version->setObjectName(QStringLiteral("lbVersion"));
    text->addWidget(version);

    auto *notice = new QLabel(QLatin1String(kMakerNotice), m_frame);
    notice->setObjectName(QStringLiteral("lbNotice"));
    notice->setWordWrap(true);
    text->addWidget(notice);

    m_web = linkLabel(QLatin1String(kWebAddress), m_frame);
    m_web->setObjectName(QStringLiteral("lbWeb"));
    text->addWidget(m_web);
    connect(m_web, &QLabel::linkActivated, this, &TfmAbout::openWebLink);

    // The address has a line of its own, so that it is never cut.
    auto *mailRow = new QVBoxLayout;
    mailRow->setSpacing(0);
    auto *mailCaption = new QLabel(QStringLiteral("Email:"), m_frame);
    mailCaption->setObjectName(QStringLiteral("lbEmail"));
    m_mail = linkLabel(QLatin1String(kSupportAddress), m_frame);
    m_mail->setObjectName(QStringLiteral("lbMail"));
    mailCaption->setBuddy(m_mail);
    mailRow->addWidget(mailCaption);
    mailRow->addWidget(m_mail);
    text->addLayout(mailRow);
    connect(m_mail, &QLabel::linkActivated, this, &TfmAbout::openMailLink);

    text->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("OK"), m_frame);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    text->addWidget(m_ok, 0, Qt::AlignRight);

    // The designed size, unless the desktop's fonts need more room.
    const QSize needed = layout()->totalMinimumSize();
    setFixedSize(qMax(370, needed.width()), qMax(191, needed.height()));
}

void TfmAbout::openWebLink()
{
    m_opener.open(QUrl(QLatin1String(kWebAddress)));
}

void TfmAbout::openMailLink()
{
    m_opener.open(QUrl(QStringLiteral("mailto:") + QLatin1String(kSupportAddress)));
}

void TfmAbout::makeSplash()
{
    m_splash = true;
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    // Without a title bar the box keeps a raised border of its own.
    m_frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_frame->setLineWidth(2);
    setFixedSize(width(), height() + 12);
    m_ok->hide();
    setWindowTitle(QStringLiteral("Quorbic"));
}

TfmAbout *TfmAbout::ShowSplash(DesktopOpener &opener)
{
    auto *splash = new TfmAbout(opener);
    splash->makeSplash();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        splash->move(screen->availableGeometry().center() - splash->rect().center());
    splash->show();
    QApplication::processEvents();
    return splash;
}
