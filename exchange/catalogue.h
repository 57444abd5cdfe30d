#pragma once

#include "parserparam.h"

// What the engine does when a transaction's sends are used up without a
// complete answer.
enum class TimeoutAction {
    Skip,   // drop it silently and go on with the queue
    Prompt, // ask the operator whether to go on (sgError)
    Judge,  // a radio-test poll: report it answered or not, poll the next address
};

// Everything known of one command kind. "%1" in the request stands for the
// value text. The radio-test poll has no texts here: it is built from the
// test address.
struct Command
{
    const char *request;
    const char *answer;
    const char *mask;
    quint8 repeats;
    quint16 interval;
    bool keepAfterAnswer;
    // Fields a complete answer must carry to be delivered as a setting; 0 for
    // the kinds whose answer delivers nothing.
    int deliveredFields;
    TimeoutAction onTimeout;
};

// The device's command set: one row per command kind.
class Catalogue
{
public:
    static bool contains(TypeParser type);
    // Only for a kind that contains() accepts.
    static const Command &command(TypeParser type);
};
