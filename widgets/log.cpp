#include "widgets/log.h"

Q_LOGGING_CATEGORY(lcWidgets, "quorbic.widgets", QtWarningMsg)
