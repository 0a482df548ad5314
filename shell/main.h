#pragma once
// The main window `fmMain`: folder bar, message tree, header labels, preview,
// menus, tool bar, pop-up menus and status bar, and the commands behind them.
//
// It works on the data module it is given, which must outlive it. The read
// timer `tmrMain` marks the selected message read once it has stayed selected
// for the read delay (5000 ms; tests shorten it). Other commands keep the tree
// in step through AddArticleNode, DeleteArticleNode and FindArticleNode and
// read the current folder to decide how.

#include <QMainWindow>
#include <QSet>
#include <memory>

class AppWindows;
class ArticleItem;
class AttachmentMenu;
class DesktopOpener;
class EditActions;
class LinkView;
class MainActions;
class MainQueries;
class MessageTree;
class OutBar;
class QLabel;
class TfmHelp;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class RowSet;
class TfmAbout;
class Tdm;

class TfmMain : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kReadDelay = 5000;

    TfmMain(Tdm &dm, DesktopOpener &opener, QWidget *parent = nullptr);
    ~TfmMain() override;

    // The index of the selected folder-bar item (0 Inbox, 1 Outbox, 2 Drafts,
    // 3 Deleted messages), -1 while none is selected.
    int currentFolder() const;
    // Selects a folder-bar item, as a click on it would.
    void selectFolder(int index);

    ArticleItem *AddArticleNode(ArticleItem *parent, const RowSet &query);
    void DeleteArticleNode(int code);
    ArticleItem *FindArticleNode(int code) const;

    Tdm &dm() const { return m_dm; }
    MainQueries &queries() const { return *m_queries; }
    MessageTree &messageTree() const { return *m_tree; }
    MainActions &actions() const { return *m_actions; }
    LinkView *preview() const { return m_reView; }
    OutBar *outBar() const { return m_outBar; }
    QTimer *readTimer() const { return m_tmrMain; }
    QMenu *treeMenu() const { return m_pmTeeMsg; }
    QMenu *previewMenu() const { return m_pmRichEdit; }
    AttachmentMenu *attachmentMenu() const { return m_attachmentMenu; }

    // The two panels of the status bar `stMain` (400 and 50 wide).
    void setStatusText(int panel, const QString &text);
    QString statusText(int panel) const;

    void setReadDelay(int milliseconds);
    void setWindows(AppWindows *windows) { m_windows = windows; }
    void setAboutBox(TfmAbout *about) { m_about = about; }

    // Connects the store when the data module could not, reporting the error.
    bool OpenStore();

    // Handlers, named after the component and the event.
    void OutBarChange(int index);
    void treeMessageItemSelectedChange(ArticleItem *node);
    void tmrMainTimer();
    void reViewURLClick(const QString &linkText);
    void treeMessageDblClick(ArticleItem *node);
    void HelpContents1Execute();
    // The help window at a section of the manual (empty: its first page),
    // over the window asking: a modal editor blocks every window but its own.
    void showHelp(const QString &section, QWidget *over);
    TfmHelp *helpWindow() const { return m_help; }
    void acAboutExecute();
    void RetrieveAnswers();
    // The window was given its place (the size and place of the last run):
    // it is not centred when first shown.
    void keepPlace();
    void acPostAgainExecute();

    // The enable rules of the message actions that depend on this window only.
    void updateActions();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The status bar after the posting window has closed: what the run did.
    void showPostingTally();
    void buildLayout();
    void buildMenus();
    void wire();
    void clearHeader();
    void showNotPosted(int code);

    Tdm &m_dm;
    DesktopOpener &m_opener;
    TfmHelp *m_help = nullptr; // made at the first Help > Contents
    std::unique_ptr<MainQueries> m_queries;
    MainActions *m_actions;
    EditActions *m_editActions = nullptr;
    OutBar *m_outBar = nullptr;
    MessageTree *m_tree = nullptr;
    LinkView *m_reView = nullptr;
    QLabel *m_lbFrom = nullptr;
    QLabel *m_lbNewsgroup = nullptr;
    QLabel *m_lbSubject = nullptr;
    QLabel *m_lbNotPosted = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
    QToolBar *m_toolBar = nullptr;
    QMenu *m_pmTeeMsg = nullptr;
    QMenu *m_pmRichEdit = nullptr;
    AttachmentMenu *m_attachmentMenu = nullptr;
    QTimer *m_tmrMain;
    AppWindows *m_windows = nullptr;
    TfmAbout *m_about = nullptr;
    bool m_centred = false;
    int m_shownFolder = -1; // the folder the tree was last loaded with
    int m_previewCode = 0; // the message in the preview, 0 for none
    QSet<int> m_inboxExpanded; // the Inbox's open threads while another folder is shown
};
