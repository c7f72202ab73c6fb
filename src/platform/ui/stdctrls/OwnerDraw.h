#pragma once
// What owner-drawn list and combo boxes tell their OnDrawItem: the state of
// the item, one flag per ODS_ bit in the same order.

#include <functional>

#include "platform/rtl/Geometry.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Types.h"

class TWinControl;

enum class TOwnerDrawStateFlag { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                                 odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using enum TOwnerDrawStateFlag;
RTL_ENUM(TOwnerDrawStateFlag, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
         odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit);
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;

// The state of DRAWITEMSTRUCT.itemState.
inline TOwnerDrawState OwnerDrawState(UINT itemState) {
    TSetBits bits;
    bits.Words[0] = itemState & 0x1FFF;
    return TOwnerDrawState::FromBits(bits);
}

using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;
