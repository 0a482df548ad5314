#include "shell/appwindows.h"

#include "directories/accountlist.h"
#include "directories/accprop.h"
#include "directories/catchoice.h"
#include "directories/categ.h"
#include "directories/categed.h"
#include "directories/newsgroup.h"
#include "directories/recnews.h"
#include "runwindows/sendgroup.h"
#include "directories/serverlist.h"
#include "directories/srvedit.h"
#include "messages/messageactions.h"
#include "messages/question.h"
#include "messages/reply.h"
#include "shell/main.h"
#include "shell/mainactions.h"
#include "shell/mainfolderview.h"

#include <QAction>
#include <QDialog>

const std::vector<AppWindows::Entry> &AppWindows::order()
{
    static const std::vector<Entry> entries = {
        {"fmServer", "News Servers"},
        {"fmEditServer", "Server Properties"},
        {"fmNewsgroup", "Newsgroups"},
        {"fmCategories", "Expert Category Manager"},
        {"fmCategoryEdit", "Categories"},
        {"fmAccountProperty", "Account Properties"},
        {"fmAccount", "Accounts"},
        {"fmRecNewsgroup", "Loading Newsgroups"},
        {"fmReply", "Reply"},
        {"fmCategChoice", "Choose  Expert Category"},
        {"fmSendGroup", "Sending..."},
        {"fmQuestion", "Question"},
    };
    return entries;
}

AppWindows::AppWindows(Tdm &dm, TfmMain *owner)
    : m_folders(std::make_unique<MainFolderView>(*owner))
{
    for (const Entry &entry : order()) {
        QDialog *window = make(entry, dm, owner);
        window->hide();
        m_windows.push_back(window);
    }
    wireMessageCommands(dm, owner);
}

AppWindows::~AppWindows() = default;

QDialog *AppWindows::make(const Entry &entry, Tdm &dm, TfmMain *owner)
{
    const QString name = QLatin1String(entry.name);
    // The property dialogs belong to their lists, which made them.
    if (name == QLatin1String("fmServer"))
        return new TfmServer(dm, owner);
    if (name == QLatin1String("fmEditServer"))
        return &qobject_cast<TfmServer *>(window(QStringLiteral("fmServer")))->editServer();
    // The account list comes after its dialog in the order; it is made when
    // the dialog's turn comes.
    if (name == QLatin1String("fmAccountProperty")) {
        m_accounts = new TfmAccount(dm, owner);
        return &m_accounts->accountProperty();
    }
    if (name == QLatin1String("fmAccount"))
        return m_accounts;
    if (name == QLatin1String("fmNewsgroup"))
        return new TfmNewsgroup(dm, owner);
    if (name == QLatin1String("fmRecNewsgroup"))
        return &qobject_cast<TfmNewsgroup *>(window(QStringLiteral("fmNewsgroup")))->recNewsgroup();
    if (name == QLatin1String("fmCategories"))
        return new TfmCategories(dm, owner);
    if (name == QLatin1String("fmCategoryEdit"))
        return &qobject_cast<TfmCategories *>(window(QStringLiteral("fmCategories")))->categoryEdit();
    if (name == QLatin1String("fmSendGroup"))
        return new TfmSendGroup(dm, *m_folders, owner);
    if (name == QLatin1String("fmCategChoice"))
        return new TfmCategChoice(dm, owner);
    if (name == QLatin1String("fmReply"))
        return new TfmReply(dm, *m_folders, owner);
    if (name == QLatin1String("fmQuestion")) {
        auto *chooser = qobject_cast<TfmCategChoice *>(window(QStringLiteral("fmCategChoice")));
        return new TfmQuestion(
            dm, *m_folders,
            [chooser](QString &path, int preselected) { return chooser->ChooseCategory(path, preselected); }, owner);
    }
    qFatal("AppWindows: no window is made for %s", entry.name);
}

void AppWindows::wireMessageCommands(Tdm &dm, TfmMain *owner)
{
    MessageActions::Windows windows{qobject_cast<TfmEditServer *>(window(QStringLiteral("fmEditServer"))),
                                    qobject_cast<TfmAccountProperty *>(window(QStringLiteral("fmAccountProperty"))),
                                    qobject_cast<TfmQuestion *>(window(QStringLiteral("fmQuestion"))),
                                    qobject_cast<TfmReply *>(window(QStringLiteral("fmReply")))};
    const EditorHelp::Shows help{[owner](const QString &section, QWidget *over) { owner->showHelp(section, over); },
                                 [owner] { owner->acAboutExecute(); }};
    windows.fmQuestion->help()->setShows(help);
    windows.fmReply->help()->setShows(help);
    m_messageActions = std::make_unique<MessageActions>(dm, *m_folders, windows);
    MessageActions *actions = m_messageActions.get();
    const MainActions &a = owner->actions();
    QObject::connect(a.acNewQuestion, &QAction::triggered, actions, &MessageActions::acNewQuestionExecute);
    QObject::connect(a.acReply, &QAction::triggered, actions, &MessageActions::acReplyExecute);
    QObject::connect(a.acEdit, &QAction::triggered, actions, &MessageActions::acEditExecute);
    QObject::connect(a.acDelete, &QAction::triggered, actions, &MessageActions::acDeleteExecute);
}

QDialog *AppWindows::window(const QString &name) const
{
    for (QDialog *window : m_windows) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

QStringList AppWindows::names() const
{
    QStringList result;
    for (const QDialog *window : m_windows)
        result << window->objectName();
    return result;
}

int AppWindows::showModal(const QString &name)
{
    QDialog *dialog = window(name);
    return dialog ? dialog->exec() : -1;
}
