#include "messagelist/log.h"

Q_LOGGING_CATEGORY(lcMessageList, "quorbic.messagelist", QtWarningMsg)
