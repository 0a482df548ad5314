#pragma once
// The logging category of the store: "quorbic.store", silent unless
// switched on (QT_LOGGING_RULES="quorbic.store.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStore)
