#include "runwindows/log.h"

Q_LOGGING_CATEGORY(lcRunWindows, "quorbic.runwindows", QtWarningMsg)
