#include "shell/icons.h"

#include <QString>
#include <initializer_list>

namespace Icons {

namespace {

struct Source
{
    Role role;
    const char *file; // our picture, :/icons/<file>-<size>.png
    std::initializer_list<const char *> themeNames; // first the theme has wins
};

const Source kSources[] = {
    {Role::Application, "quorbic", {}},
    {Role::NewQuestion, "newquestion", {"mail-message-new"}},
    {Role::Reply, "reply", {"mail-reply-sender"}},
    {Role::Send, "send", {"mail-send"}},
    {Role::Receive, "receive", {"mail-receive", "mail-send-receive"}},
    {Role::Edit, "edit", {"document-edit", "document-properties"}},
    {Role::Delete, "delete", {"edit-delete"}},
    {Role::Copy, "copy", {"edit-copy"}},
    {Role::SelectAll, "selectall", {"edit-select-all"}},
    {Role::Help, "help", {"help-contents"}},
    {Role::About, "about", {"help-about"}},
    {Role::Exit, "exit", {"application-exit"}},
    {Role::Inbox, "inbox", {"mail-folder-inbox"}},
    {Role::Outbox, "outbox", {"mail-folder-outbox"}},
    {Role::Drafts, "drafts", {"mail-folder-drafts", "folder-documents"}},
    {Role::Trash, "trash", {"user-trash"}},
};

const Source &source(Role role)
{
    for (const Source &s : kSources) {
        if (s.role == role)
            return s;
    }
    return kSources[0];
}

} // namespace

QIcon fallback(Role role)
{
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(source(role).file)).arg(size),
                     QSize(size, size));
    return icon;
}

QIcon icon(Role role)
{
    for (const char *name : source(role).themeNames) {
        const QString themeName = QLatin1String(name);
        if (QIcon::hasThemeIcon(themeName)) {
            const QIcon themed = QIcon::fromTheme(themeName);
            // A theme icon Qt cannot draw (an SVG without the SVG plugin) has no sizes.
            if (!themed.availableSizes().isEmpty() || !themed.pixmap(16).isNull())
                return themed;
        }
    }
    return fallback(role);
}

} // namespace Icons
