#include "applog.h"

Q_LOGGING_CATEGORY(lcCore, "ryd.core", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMainWindow, "ryd.mainwindow", QtInfoMsg)
