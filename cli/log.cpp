#include "cli/log.h"

Q_LOGGING_CATEGORY(lcCli, "quorbic.cli", QtWarningMsg)
