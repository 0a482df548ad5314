#pragma once
// The logging category of the message windows: "quorbic.messages", silent unless
// switched on (QT_LOGGING_RULES="quorbic.messages.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMessages)
