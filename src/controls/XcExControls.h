#pragma once
// The extended bases of self-painted controls: with a window, and without.

#include "controls/XcExControl.h"
#include "platform/ui/CustomControl.h"

class TXcExCustomControl : public TXcExControl<TCustomControl> {
public:
    using TXcExControl<TCustomControl>::TXcExControl;
};

class TXcExGraphicControl : public TXcExControl<TGraphicControl> {
public:
    using TXcExControl<TGraphicControl>::TXcExControl;
};
