#pragma once

#include "w_qwidget.h"

// The operator's device commands and the key that shows or hides the
// freeze-protection panel. Each key's text is also its name.
class W_Key : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Key(QWidget *parent = nullptr);
};
