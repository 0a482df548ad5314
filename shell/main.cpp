#include "shell/main.h"
#include "store/columns.h"
#include "store/folders.h"

#include "articletext/storedanswer.h"
#include "exchange/postingrun.h"
#include "exchange/postagain.h"
#include "exchange/retrievalrun.h"
#include "runwindows/sendgroup.h"
#include "transport/displaytext.h"
#include "shell/mainfolderview.h"
#include "shell/mainrunui.h"

#include "shell/about.h"
#include "shell/attachmentmenu.h"
#include "shell/appwindows.h"
#include "shell/articleitem.h"
#include "shell/desktopopener.h"
#include "shell/editactions.h"
#include "shell/helpcontents.h"
#include "shell/helpwindow.h"
#include "shell/icons.h"
#include "shell/mainactions.h"
#include "shell/mainqueries.h"
#include "shell/messagetree.h"
#include "shell/unhandlederror.h"
#include "shell/unreadmark.h"
#include "store/dmod.h"
#include "store/storeerror.h"
#include "store/unpostedgroups.h"
#include "widgets/linkfinder.h"
#include "widgets/linkview.h"
#include "widgets/outbar.h"

#include <QAction>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QShortcut>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

// A bold caption that screen readers announce as the label of its value.
QLabel *captionLabel(const QString &text, QLabel *value, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(value);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel *valueLabel(const char *name, const QString &accessibleName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // Addresses such as "Name <user@host>" must show as written, not as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleName(accessibleName);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

} // namespace

TfmMain::TfmMain(Tdm &dm, DesktopOpener &opener, QWidget *parent)
    : QMainWindow(parent)
    , m_dm(dm)
    , m_opener(opener)
    , m_queries(std::make_unique<MainQueries>(dm.MainConnection()))
    , m_actions(new MainActions(this))
    , m_tmrMain(new QTimer(this))
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Quorbic 1 beta"));
    setWindowIcon(Icons::icon(Icons::Role::Application));
    resize(769, 573);

    m_tmrMain->setObjectName(QStringLiteral("tmrMain"));
    m_tmrMain->setInterval(kReadDelay);
    m_tmrMain->setSingleShot(false);

    buildLayout();
    buildMenus();
    wire();
    updateActions();

    // The store is normally open already; if it is not, the window opens with
    // no folder selected and selecting one reports the store's error.
    if (OpenStore())
        selectFolder(folderCode(Folder::Inbox));
}

TfmMain::~TfmMain() = default;

void TfmMain::buildLayout()
{
    auto *bar = new QSplitter(Qt::Horizontal, this);
    bar->setObjectName(QStringLiteral("splitterBar"));
    bar->setChildrenCollapsible(false);

    m_outBar = new OutBar(bar);
    m_outBar->setObjectName(QStringLiteral("OutBar"));
    m_outBar->setIconSize(QSize(30, 30));
    const int folders = m_outBar->addGroup(QStringLiteral("Folders"));
    m_outBar->addItem(folders, QStringLiteral("Inbox"), Icons::icon(Icons::Role::Inbox));
    m_outBar->addItem(folders, QStringLiteral("Outbox"), Icons::icon(Icons::Role::Outbox));
    m_outBar->addItem(folders, QStringLiteral("Drafts"), Icons::icon(Icons::Role::Drafts));
    m_outBar->addItem(folders, QStringLiteral("Deleted messages"), Icons::icon(Icons::Role::Trash));

    auto *right = new QSplitter(Qt::Vertical, bar);
    right->setObjectName(QStringLiteral("splitterMessages"));
    right->setChildrenCollapsible(false);
    m_tree = new MessageTree(right);
    m_tree->widget()->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *lower = new QWidget(right);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);

    auto *strip = new QWidget(lower);
    strip->setObjectName(QStringLiteral("pnHeader"));
    strip->setFixedHeight(41);
    auto *grid = new QGridLayout(strip);
    grid->setContentsMargins(6, 3, 6, 3);
    grid->setVerticalSpacing(2);
    m_lbFrom = valueLabel("lbFrom", QStringLiteral("From"), strip);
    m_lbNewsgroup = valueLabel("lbNewsgroup", QStringLiteral("Source"), strip);
    m_lbSubject = valueLabel("lbSubject", QStringLiteral("Subject"), strip);
    grid->addWidget(captionLabel(QStringLiteral("From:"), m_lbFrom, strip), 0, 0);
    grid->addWidget(m_lbFrom, 0, 1);
    grid->addWidget(captionLabel(QStringLiteral("Source:"), m_lbNewsgroup, strip), 0, 2);
    grid->addWidget(m_lbNewsgroup, 0, 3);
    grid->addWidget(captionLabel(QStringLiteral("Subject:"), m_lbSubject, strip), 1, 0);
    grid->addWidget(m_lbSubject, 1, 1, 1, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    lowerLayout->addWidget(strip);

    // The newsgroups a posted message did not reach, with the servers' replies.
    m_lbNotPosted = new QLabel(lower);
    m_lbNotPosted->setObjectName(QStringLiteral("lbNotPosted"));
    m_lbNotPosted->setAccessibleName(QStringLiteral("Not posted to"));
    m_lbNotPosted->setTextFormat(Qt::PlainText);
    m_lbNotPosted->setWordWrap(true);
    m_lbNotPosted->setContentsMargins(6, 0, 6, 3);
    m_lbNotPosted->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_lbNotPosted->hide();
    lowerLayout->addWidget(m_lbNotPosted);

    m_reView = new LinkView(lower);
    m_reView->setObjectName(QStringLiteral("reView"));
    m_reView->setAccessibleName(QStringLiteral("Message text"));
    // Fixed width, as newsreaders show news: quoted text and tables line up.
    m_reView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_reView->setContextMenuPolicy(Qt::CustomContextMenu);
    lowerLayout->addWidget(m_reView, 1);

    right->addWidget(m_tree->widget());
    right->addWidget(lower);
    right->setStretchFactor(1, 1);
    right->setSizes({216, 573 - 216});
    bar->setStretchFactor(1, 1);
    bar->setSizes({100, 669});
    setCentralWidget(bar);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stMain"));
    const int widths[2] = {400, 50};
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(QStringLiteral("stMainPanel%1").arg(i));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setFixedWidth(widths[i]);
        m_panels[i]->setTextFormat(Qt::PlainText);
        status->addWidget(m_panels[i]);
    }
    setStatusBar(status);

    // Tab order: folders, messages, the preview.
    setTabOrder(m_outBar, m_tree->widget());
    setTabOrder(m_tree->widget(), m_reView);
}

void TfmMain::buildMenus()
{
    MainActions &a = *m_actions;
    QMenuBar *menu = menuBar();
    menu->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *message = menu->addMenu(QStringLiteral("&Message"));
    message->setObjectName(QStringLiteral("Message1"));
    message->addActions({a.acNewQuestion, a.acReply});
    message->addSeparator();
    message->addActions({a.acEdit, a.acDelete});
    message->addSeparator();
    message->addActions({a.acSend, a.acReceive, a.acPostAgain});
    message->addSeparator();
    message->addAction(a.Exit1);

    QMenu *edit = menu->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->addActions({a.EditCopy1, a.EditSelectAll1});

    QMenu *tools = menu->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("Tools1"));
    tools->addActions({a.actServers, a.acAccount, a.acNewsgroups, a.acCategories});

    QMenu *help = menu->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(a.HelpContents1);
    help->addSeparator();
    help->addAction(a.acAbout);
    // F10 opens the menu bar, as on other desktops; Alt with a letter opens its menu.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, menu, [menu, message] { menu->setActiveAction(message->menuAction()); });

    m_toolBar = addToolBar(QStringLiteral("Tool bar"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->addActions({a.acNewQuestion, a.acReply});
    m_toolBar->addSeparator();
    m_toolBar->addActions({a.acSend, a.acReceive});
    m_toolBar->addSeparator();
    m_toolBar->addAction(a.EditCopy1);
    m_toolBar->addSeparator();
    m_toolBar->addActions({a.acEdit, a.acDelete});
    m_toolBar->addSeparator();
    m_toolBar->addAction(a.HelpContents1);

    m_pmTeeMsg = new QMenu(this);
    m_pmTeeMsg->setObjectName(QStringLiteral("pmTeeMsg"));
    m_pmTeeMsg->addActions({a.acNewQuestion, a.acReply});
    m_pmTeeMsg->addSeparator();
    m_pmTeeMsg->addActions({a.acEdit, a.acDelete});
    m_pmTeeMsg->addSeparator();
    m_pmTeeMsg->addActions({a.acSend, a.acReceive, a.acPostAgain});

    m_pmRichEdit = new QMenu(this);
    m_pmRichEdit->setObjectName(QStringLiteral("pmRichEdit"));
    m_pmRichEdit->addActions({a.EditSelectAll1, a.EditCopy1});
    m_pmRichEdit->addSeparator();
    m_pmRichEdit->addActions({a.acSend, a.acReceive});
    m_attachmentMenu = new AttachmentMenu(m_pmRichEdit, this);

    // Shortcuts work wherever the focus is in the window, menus open or not.
    addActions(a.all());
}

void TfmMain::wire()
{
    MainActions &a = *m_actions;
    m_editActions = new EditActions(a.EditCopy1, a.EditSelectAll1, this);

    connect(m_outBar, &OutBar::currentChanged, this, &TfmMain::OutBarChange);
    connect(m_tree, &MessageTree::nodeSelected, this, &TfmMain::treeMessageItemSelectedChange);
    connect(m_tree, &MessageTree::nodeDoubleClicked, this, &TfmMain::treeMessageDblClick);
    connect(m_tree->widget(), &QTreeWidget::itemSelectionChanged, this, &TfmMain::updateActions);
    connect(m_tmrMain, &QTimer::timeout, this, &TfmMain::tmrMainTimer);
    connect(m_reView, &LinkView::linkClicked, this, &TfmMain::reViewURLClick);
    // Where a link leads, before it is followed.
    connect(m_reView, &LinkView::linkHovered, this, [this](const QString &address) {
        if (address.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(address);
    });

    connect(m_tree->widget(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_pmTeeMsg->popup(m_tree->widget()->viewport()->mapToGlobal(pos)); });
    connect(m_reView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_pmRichEdit->popup(m_reView->viewport()->mapToGlobal(pos)); });

    connect(a.HelpContents1, &QAction::triggered, this, &TfmMain::HelpContents1Execute);
    connect(a.acAbout, &QAction::triggered, this, &TfmMain::acAboutExecute);
    connect(a.acReceive, &QAction::triggered, this, &TfmMain::RetrieveAnswers);
    connect(a.acPostAgain, &QAction::triggered, this, &TfmMain::acPostAgainExecute);
    connect(a.Exit1, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    // Commands that show a window of their own.
    const std::pair<QAction *, const char *> dialogs[] = {
        {a.acSend, "fmSendGroup"},       {a.actServers, "fmServer"},       {a.acAccount, "fmAccount"},
        {a.acNewsgroups, "fmNewsgroup"}, {a.acCategories, "fmCategories"},
    };
    for (const auto &[action, window] : dialogs) {
        const QString name = QLatin1String(window);
        connect(action, &QAction::triggered, this, [this, name] {
            runCommand([&] {
                if (!m_windows)
                    return;
                m_windows->showModal(name);
                if (name == QLatin1String("fmSendGroup"))
                    showPostingTally();
            });
        });
    }
}

int TfmMain::currentFolder() const
{
    return m_outBar->currentIndex();
}

void TfmMain::selectFolder(int index)
{
    m_outBar->setCurrentIndex(index);
}

bool TfmMain::OpenStore()
{
    return runCommand([&] {
        m_dm.DataModuleCreate();
        m_dm.tbServer().open();
    });
}

void TfmMain::clearHeader()
{
    m_lbFrom->clear();
    m_lbNewsgroup->clear();
    m_lbSubject->clear();
    m_lbNotPosted->clear();
    m_lbNotPosted->hide();
}

void TfmMain::showNotPosted(int code)
{
    const QString text = UnpostedGroups::describe(UnpostedGroups(m_dm.MainConnection()).of(code));
    m_lbNotPosted->setText(text);
    m_lbNotPosted->setVisible(!text.isEmpty());
}

void TfmMain::OutBarChange(int index)
{
    if (m_shownFolder == folderCode(Folder::Inbox))
        m_inboxExpanded = m_tree->expandedCodes();
    m_shownFolder = index;
    m_previewCode = 0;
    runCommand([&] {
        m_tree->beginUpdate();
        const auto resume = qScopeGuard([&] { m_tree->endUpdate(); });
        clearHeader();
        m_tmrMain->stop();
        // The old folder's nodes go before the query is asked for the new one,
        // so that a failing store never leaves them shown under another folder.
        m_tree->clear();
        m_reView->clear();
        m_attachmentMenu->clear();
        if (!isFolderCode(index))
            return;
        const bool threads = index == folderCode(Folder::Inbox);
        RowSet &query = threads ? m_queries->qryThreads : m_dm.qryArticle();
        query.close();
        query.setParam(QStringLiteral("fld"), index);
        query.open();
        if (threads) {
            m_queries->qryAnswers.close();
            m_queries->qryAnswers.setParam(QStringLiteral("fld"), index);
            m_tree->LoadThread(query, m_queries->qryAnswers);
        } else {
            m_tree->LoadFlatList(query);
        }
    });
    if (index == folderCode(Folder::Inbox))
        m_tree->expandCodes(m_inboxExpanded);
    updateActions();
}

void TfmMain::treeMessageItemSelectedChange(ArticleItem *node)
{
    if (!node)
        return;
    // Stopped first: a wait begun for another message never counts for this one.
    m_tmrMain->stop();
    runCommand([&] {
        RowSet &query = m_queries->qryReadArticle;
        query.close();
        query.setParam(QStringLiteral("Id"), node->rec().Code);
        query.open();
        // Decoded here, when it is shown, not while the tree is built.
        const ShownArticle shown
            = ArticleText::ofStored(m_dm.MainConnection(), node->rec().Code, query.value(Column::Body));
        m_reView->setText(shown.displayText());
        m_attachmentMenu->setAttachments(shown.attachments);
        m_lbFrom->setText(DisplayText::header(query.value(Column::From)));
        m_lbNewsgroup->setText(query.asString(Column::Source));
        m_lbSubject->setText(DisplayText::header(query.value(Column::Subject)));
        m_previewCode = node->rec().Code;
        showNotPosted(node->rec().Code);
        if (!node->rec().IsRead)
            m_tmrMain->start();
    });
}

void TfmMain::tmrMainTimer()
{
    m_tmrMain->stop();
    ArticleItem *node = m_tree->selectedNode();
    if (!node || node->rec().IsRead)
        return;
    UnreadMark::markRead(node);
    const int code = node->rec().Code;
    runCommand([&] {
        RowSet &query = m_queries->qryReadArticle;
        query.close();
        query.setParam(QStringLiteral("Id"), code);
        query.open();
        query.edit();
        query.setValue(Column::IsRead, true);
        query.post();
        m_dm.checkpoint();
    });
}

void TfmMain::reViewURLClick(const QString &linkText)
{
    m_opener.open(LinkFinder::toUrl(linkText));
}

void TfmMain::treeMessageDblClick(ArticleItem *)
{
    if (m_actions->acEdit->isEnabled())
        m_actions->acEdit->trigger();
}

void TfmMain::HelpContents1Execute()
{
    showHelp(QString(), this);
}

void TfmMain::showHelp(const QString &section, QWidget *over)
{
    runCommand([&] {
        // One help window, going with the window it was last opened over.
        if (!m_help)
            m_help = new TfmHelp(m_opener, over);
        else if (m_help->parentWidget() != over)
            m_help->setParent(over, m_help->windowFlags());
        m_help->showSection(section);
    });
}

void TfmMain::acAboutExecute()
{
    if (!m_about)
        m_about = new TfmAbout(m_opener, this);
    m_about->exec();
}

void TfmMain::RetrieveAnswers()
{
    if (!m_windows)
        return;
    // No second run may start from a click seen while this one lets events run.
    m_actions->acSend->setEnabled(false);
    m_actions->acReceive->setEnabled(false);
    MainRunUi ui(*this);
    runCommand([&] { ::RetrieveAnswers(m_dm, ui, m_windows->folders()); });
    m_actions->acSend->setEnabled(true);
    m_actions->acReceive->setEnabled(true);
}

void TfmMain::showPostingTally()
{
    // What the run did stays readable after its window has closed by itself.
    if (auto *posting = qobject_cast<TfmSendGroup *>(m_windows->window(QStringLiteral("fmSendGroup")))) {
        setStatusText(0, posting->run().tally().text());
        setStatusText(1, QString());
    }
}

void TfmMain::acPostAgainExecute()
{
    ArticleItem *node = m_tree->selectedNode();
    if (!node || !m_actions->acPostAgain->isEnabled())
        return;
    const int code = node->rec().Code;
    runCommand([&] {
        if (PostAgain::move(m_dm, code) && currentFolder() == folderCode(Folder::Inbox))
            m_tree->DeleteArticleNode(code);
    });
    updateActions();
}

void TfmMain::updateActions()
{
    const ArticleItem *node = m_tree->selectedNode();
    const bool selected = node != nullptr;
    const int folder = currentFolder();
    m_actions->acReply->setEnabled(selected && folder == folderCode(Folder::Inbox));
    m_actions->acEdit->setEnabled(selected && folder != folderCode(Folder::Inbox));
    m_actions->acDelete->setEnabled(selected);
    bool again = false;
    // An enable rule reports nothing: a store that cannot answer leaves it off.
    try {
        again = selected && folder == folderCode(Folder::Inbox) && PostAgain::possible(m_dm, node->rec().Code);
    } catch (const StoreError &) {}
    m_actions->acPostAgain->setEnabled(again);
}

ArticleItem *TfmMain::AddArticleNode(ArticleItem *parent, const RowSet &query)
{
    return m_tree->AddArticleNode(parent, query);
}

void TfmMain::DeleteArticleNode(int code)
{
    m_tree->DeleteArticleNode(code);
    // The message on view has left the folder (posted, moved, deleted): its
    // text must not stay as if it were still here.
    if (m_previewCode != 0 && !m_tree->FindArticleNode(m_previewCode)) {
        m_previewCode = 0;
        m_tmrMain->stop();
        clearHeader();
        m_reView->clear();
    }
    updateActions();
}

ArticleItem *TfmMain::FindArticleNode(int code) const
{
    return m_tree->FindArticleNode(code);
}

void TfmMain::setStatusText(int panel, const QString &text)
{
    if (panel >= 0 && panel < 2)
        m_panels[panel]->setText(text);
}

QString TfmMain::statusText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void TfmMain::setReadDelay(int milliseconds)
{
    m_tmrMain->setInterval(milliseconds);
}

void TfmMain::keepPlace()
{
    m_centred = true;
}

void TfmMain::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        if (QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QMainWindow::showEvent(event);
}
