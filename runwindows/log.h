#pragma once
// The logging category of the run windows: "quorbic.runwindows", silent unless
// switched on (QT_LOGGING_RULES="quorbic.runwindows.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRunWindows)
