#pragma once

#include "typeparser.h"

#include <QByteArray>

// One command as the catalogue describes it: what is sent, the template and
// mask that recognise the answer, and the transaction's timing.
struct ParserParam
{
    TypeParser type = E_CommandMode;
    QByteArray request;
    QByteArray answer;
    QByteArray mask;
    quint8 repeats = 3;
    quint16 interval = 200;
    quint8 keepAfterAnswer = 0;
};
