#include "catalogue.h"

namespace {

constexpr quint8 repeats = 2;
constexpr quint16 interval = 1000;
constexpr auto Skip = TimeoutAction::Skip;
constexpr auto Prompt = TimeoutAction::Prompt;

constexpr Command commands[] = {
    {"+++", "OK\r", "111", repeats, interval, false, 0, Skip},          // E_CommandMode
    {"ATO\r", "OK\r", "111", repeats, interval, false, 0, Skip},        // E_OnlineMode
    {"XMwn\r", "OK\r", "111", repeats, interval, false, 0, Skip},       // E_TestMode
    // The poll and its answer are built from the test address. One poll per
    // interval; the answer is judged when the interval ends.
    {nullptr, nullptr, nullptr, 1, interval, true, 0, TimeoutAction::Judge}, // E_Test
    {"ATR\r", "OK\r", "111", repeats, interval, false, 0, Skip},        // E_RestoreDefaults
    {"$0%1", "OK\r", "111", repeats, interval, false, 0, Skip},         // E_SetRs485
    {"ATS206=%1\r", "OK\r", "111", repeats, interval, false, 0, Prompt}, // E_SetSubBand
    {"ATS201=%1\r", "OK\r", "111", repeats, interval, false, 0, Prompt}, // E_SetRadioDataRate
    {"ATS200=%1\r", "OK\r", "111", repeats, interval, false, 0, Prompt}, // E_SetChanel
    {"ATS202=%1\r", "OK\r", "111", repeats, interval, false, 0, Prompt}, // E_SetPower
    {"ATS214=%1\r", "OK\r", "111", repeats, interval, false, 0, Prompt}, // E_SetSerialTimeout
    {"ATS210=%1\r", "OK\r", "111", repeats, interval, false, 0, Skip},  // E_SetSerialDataRate
    {"$3%1", "OK\r", "111", repeats, interval, false, 0, Skip},         // E_SetLinkRate
    {"ATS216=%1\r", "OK\r", "111", repeats, interval, false, 0, Skip},  // E_SetFlowControl
    {"$1", "adr=x,spd=x,d1=x,d2=x,par=x,res=x,wdt=x,bit=x\r",
     "1111X11111X1111X1111X11111011111X11111X1111101", repeats, interval, false, 8, Skip}, // E_GetRs485
    {"ATS206?\r", "S206=x\r", "1111101", repeats, interval, false, 1, Prompt}, // E_GetSubBand
    {"ATS201?\r", "S201=x\r", "1111101", repeats, interval, false, 1, Prompt}, // E_GetRadioDataRate
    {"ATS200?\r", "S200=x\r", "11111X1", repeats, interval, false, 1, Prompt}, // E_GetChanel
    {"ATS202?\r", "S202=x\r", "1111101", repeats, interval, false, 1, Prompt}, // E_GetPower
    {"ATS214?\r", "S214=x\r", "11111X1", repeats, interval, false, 1, Prompt}, // E_GetSerialTimeout
    {"ATS216?\r", "S216=x\r", "11111X1", repeats, interval, false, 1, Skip},   // E_GetFlowControl
    {"$2", "firmware=x,pp=x\r", "111111111X1111X1", repeats, interval, false, 2, Skip}, // E_GetVersion
    {"AT/V\r", "x\r", "X1", repeats, interval, false, 1, Prompt},              // E_GetModuleVersion
};
static_assert(sizeof(commands) / sizeof(commands[0]) == E_GetModuleVersion + 1,
              "one catalogue row per command kind");

} // namespace

bool Catalogue::contains(TypeParser type)
{
    return type >= E_CommandMode && type <= E_GetModuleVersion;
}

const Command &Catalogue::command(TypeParser type)
{
    return commands[type];
}
