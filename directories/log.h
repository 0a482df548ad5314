#pragma once
// The logging category of the directory windows: "quorbic.directories", silent unless
// switched on (QT_LOGGING_RULES="quorbic.directories.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectories)
