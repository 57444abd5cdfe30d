#include "widgetslog.h"

Q_LOGGING_CATEGORY(lcWAdres, "ryd.w_adres", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWSubBand, "ryd.w_subband", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWTest, "ryd.w_test", QtInfoMsg)
