#include "messages/log.h"

Q_LOGGING_CATEGORY(lcMessages, "quorbic.messages", QtWarningMsg)
