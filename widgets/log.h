#pragma once
// The logging category of the widgets: "quorbic.widgets", silent unless
// switched on (QT_LOGGING_RULES="quorbic.widgets.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
