#pragma once
// The logging category of the main window: "quorbic.shell", silent unless
// switched on (QT_LOGGING_RULES="quorbic.shell.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
