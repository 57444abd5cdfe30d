#include "clilog.h"

Q_LOGGING_CATEGORY(lcCli, "ryd.cli", QtInfoMsg)
