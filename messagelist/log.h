#pragma once
// The logging category of the message list: "quorbic.messagelist", silent unless
// switched on (QT_LOGGING_RULES="quorbic.messagelist.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMessageList)
