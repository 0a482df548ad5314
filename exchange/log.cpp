#include "exchange/log.h"

Q_LOGGING_CATEGORY(lcExchange, "quorbic.exchange", QtWarningMsg)
