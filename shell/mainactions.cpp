#include "shell/mainactions.h"

#include "shell/icons.h"

#include <QAction>
#include <QKeySequence>
#include <optional>

namespace {

const char kCategory[] = "category";
const char kHint[] = "hint";

struct Spec
{
    QAction *MainActions::*member;
    const char *name;
    const char *category;
    const char *caption;
    const char *hint;
    QKeySequence shortcut;
    std::optional<Icons::Role> role;
};

} // namespace

MainActions::MainActions(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("ActionList1"));
    using R = Icons::Role;
    const Spec specs[] = {
        {&MainActions::acNewQuestion, "acNewQuestion", "File", "&New Question", "Create a new question",
         QKeySequence(Qt::CTRL | Qt::Key_N), R::NewQuestion},
        {&MainActions::acReply, "acReply", "File", "&Reply", "Reply to Newsgroup", QKeySequence(Qt::CTRL | Qt::Key_R),
         R::Reply},
        {&MainActions::acSend, "acSend", "File", "&Post", "Post questions and replies to newsgroups",
         QKeySequence(Qt::CTRL | Qt::Key_P), R::Send},
        {&MainActions::acReceive, "acReceive", "File", "Re&trieve", "Retrieve the answers", QKeySequence(Qt::Key_F5),
         R::Receive},
        {&MainActions::acPostAgain, "acPostAgain", "File", "Post &Again",
         "Post the message to the newsgroups it did not reach", {}, std::nullopt},
        {&MainActions::acEdit, "acEdit", "File", "&Edit", "View or edit the selected message",
         QKeySequence(Qt::Key_Return), R::Edit},
        {&MainActions::acDelete, "acDelete", "Edit", "&Delete", "Delete the selected message",
         QKeySequence(QKeySequence::Delete), R::Delete},
        {&MainActions::EditCopy1, "EditCopy1", "Edit", "&Copy",
         "Copy|Copies the selection and puts it on the Clipboard", QKeySequence(Qt::CTRL | Qt::Key_C), R::Copy},
        {&MainActions::EditSelectAll1, "EditSelectAll1", "Edit", "Select &All",
         "Select All|Selects the entire document", QKeySequence(Qt::CTRL | Qt::Key_A), R::SelectAll},
        {&MainActions::actServers, "actServers", "Tool", "&News Servers...", "", {}, std::nullopt},
        {&MainActions::acAccount, "acAccount", "Tool", "&Accounts...", "", {}, std::nullopt},
        {&MainActions::acNewsgroups, "acNewsgroups", "Tool", "News&groups...", "", {}, std::nullopt},
        {&MainActions::acCategories, "acCategories", "Tool", "Ca&tegories...", "", {}, std::nullopt},
        {&MainActions::HelpContents1, "HelpContents1", "Help", "&Contents", "Help Contents", QKeySequence(Qt::Key_F1),
         R::Help},
        {&MainActions::acAbout, "acAbout", "Help", "&About...", "About Quorbic", {}, R::About},
        {&MainActions::Exit1, "Exit1", "", "E&xit", "", {}, R::Exit},
    };
    for (const Spec &spec : specs) {
        auto *action = new QAction(QString::fromLatin1(spec.caption), this);
        action->setObjectName(QLatin1String(spec.name));
        action->setProperty(kCategory, QString::fromLatin1(spec.category));
        const QString hint = QString::fromLatin1(spec.hint);
        action->setProperty(kHint, hint);
        if (!hint.isEmpty())
            action->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        if (!spec.shortcut.isEmpty())
            action->setShortcut(spec.shortcut);
        if (spec.role)
            action->setIcon(Icons::icon(*spec.role));
        this->*spec.member = action;
    }
    Exit1->setMenuRole(QAction::QuitRole);
    // The keypad's Enter opens a message as Return does.
    acEdit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    HelpContents1->setShortcutContext(Qt::WindowShortcut);
}

QList<QAction *> MainActions::all() const
{
    return {acNewQuestion,  acReply,    acSend,    acReceive,    acPostAgain,  acEdit,        acDelete, EditCopy1,
            EditSelectAll1, actServers, acAccount, acNewsgroups, acCategories, HelpContents1, acAbout,  Exit1};
}

QString MainActions::category(const QAction *action)
{
    return action->property(kCategory).toString();
}

QString MainActions::hint(const QAction *action)
{
    return action->property(kHint).toString();
}
