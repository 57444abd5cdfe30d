#include "exchangelog.h"

Q_LOGGING_CATEGORY(lcExchange, "ryd.exchange", QtInfoMsg)
Q_LOGGING_CATEGORY(lcParser, "ryd.parser", QtInfoMsg)
