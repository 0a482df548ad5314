#pragma once
// The logging category of the runs: "quorbic.exchange", silent unless
// switched on (QT_LOGGING_RULES="quorbic.exchange.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcExchange)
