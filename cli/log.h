#pragma once
// The logging category of quorbic-cli: "quorbic.cli", silent unless
// switched on (QT_LOGGING_RULES="quorbic.cli.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCli)
