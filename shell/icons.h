#pragma once
// The pictures of the program by role: the desktop icon theme's standard icon
// where the theme has one, so that the program looks native, and a picture of
// our own from the resources where it does not.

#include <QIcon>

namespace Icons {

enum class Role {
    Application,
    NewQuestion,
    Reply,
    Send,
    Receive,
    Edit,
    Delete,
    Copy,
    SelectAll,
    Help,
    About,
    Exit,
    Inbox,
    Outbox,
    Drafts,
    Trash,
};

QIcon icon(Role role);
// Our own picture alone, without the theme.
QIcon fallback(Role role);

} // namespace Icons
