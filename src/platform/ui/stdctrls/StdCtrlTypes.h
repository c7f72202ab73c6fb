#pragma once
// Types the standard controls share: the case an edit forces, the state of an
// owner-drawn item (from the window system's ODS_ bits) and the owner-draw events.

#include <functional>

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/Types.h"

class TWinControl;

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;
RTL_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase);

enum class TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                                 odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using enum TOwnerDrawStateItem;
RTL_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
         odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit);
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// The state of DRAWITEMSTRUCT.itemState: ODS_SELECTED is bit 0 and the others
// follow in the same order.
inline TOwnerDrawState OwnerDrawState(UINT itemState) {
    TSetBits bits;
    bits.Words[0] = itemState & 0x1FFF;
    return TOwnerDrawState::FromBits(bits);
}

// Draws an owner-drawn item: its background and content in Rect, on the
// control's canvas, whose brush and font colour already show a selected item
// (odSelected). The focus rectangle is not the handler's: the control draws it
// after the handler returns, for an item with odFocused (a combo box not with
// odNoFocusRect); it is drawn by inverting, so a handler that drew it too would
// see the two cancel out.
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;
