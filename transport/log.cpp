#include "transport/log.h"

Q_LOGGING_CATEGORY(lcTransport, "quorbic.transport", QtWarningMsg)
