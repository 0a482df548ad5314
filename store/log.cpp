#include "store/log.h"

Q_LOGGING_CATEGORY(lcStore, "quorbic.store", QtWarningMsg)
