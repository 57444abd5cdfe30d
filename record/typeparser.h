#pragma once

#include <QMetaType>

// The 23 command kinds of the device. The numeric values are part of the
// protocol's vocabulary (debug logs print them), so they never change. They
// live beside the record because the settings table names the answer that
// carries each setting.
enum TypeParser : qint32 {
    E_CommandMode = 0,
    E_OnlineMode = 1,
    E_TestMode = 2,
    E_Test = 3,
    E_RestoreDefaults = 4,
    E_SetRs485 = 5,
    E_SetSubBand = 6,
    E_SetRadioDataRate = 7,
    E_SetChanel = 8,
    E_SetPower = 9,
    E_SetSerialTimeout = 10,
    E_SetSerialDataRate = 11,
    E_SetLinkRate = 12,
    E_SetFlowControl = 13,
    E_GetRs485 = 14,
    E_GetSubBand = 15,
    E_GetRadioDataRate = 16,
    E_GetChanel = 17,
    E_GetPower = 18,
    E_GetSerialTimeout = 19,
    E_GetFlowControl = 20,
    E_GetVersion = 21,
    E_GetModuleVersion = 22,
};

Q_DECLARE_METATYPE(TypeParser)
