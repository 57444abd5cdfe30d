#include "sessionlog.h"

Q_LOGGING_CATEGORY(lcSession, "ryd.session", QtInfoMsg)
