#include "directories/log.h"

Q_LOGGING_CATEGORY(lcDirectories, "quorbic.directories", QtWarningMsg)
