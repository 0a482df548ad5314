#pragma once
// The logging category of the news client: "quorbic.transport", silent unless
// switched on (QT_LOGGING_RULES="quorbic.transport.debug=true"). The session
// trace goes through it.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTransport)
