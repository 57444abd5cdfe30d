#include "emulatorlog.h"

Q_LOGGING_CATEGORY(lcEmulator, "ryd.emulator", QtInfoMsg)
