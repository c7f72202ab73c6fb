#pragma once
// What an owner-drawn item looks like now, from the window system's ODS_ bits.

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Types.h"

enum class TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                                 odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using enum TOwnerDrawStateItem;
RTL_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
         odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit);
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// ODS_SELECTED is bit 0 and the others follow in the same order.
inline TOwnerDrawState OwnerDrawStateOf(UINT itemState) {
    TOwnerDrawState state;
    for (int bit = 0; bit <= int(odComboBoxEdit); ++bit)
        if (itemState & (1u << bit)) state.Include(TOwnerDrawStateItem(bit));
    return state;
}
