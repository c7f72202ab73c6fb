#pragma once
// Texts of the control classes (resource strings 0xE010-0xE03F).

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec SParentRequired{0xE010, u"Control '%s' has no parent window"};
inline constexpr TResStringRec SControlParentSetToSelf{0xE011, u"A control cannot have itself as its parent"};
inline constexpr TResStringRec SWindowCreate{0xE012, u"Error creating window"};
inline constexpr TResStringRec SWindowClass{0xE013, u"Error creating window class"};
inline constexpr TResStringRec SCannotFocus{0xE014, u"Cannot focus a disabled or invisible window"};
inline constexpr TResStringRec SCannotShowModal{0xE015, u"Cannot make a visible window modal"};
inline constexpr TResStringRec SListIndexError{0xE016, u"List index out of bounds (%d)"};
inline constexpr TResStringRec SCannotDragForm{0xE017, u"Cannot drag a form"};
inline constexpr TResStringRec SMenuReinserted{0xE018, u"Menu inserted twice"};
inline constexpr TResStringRec SMenuIndexError{0xE019, u"Menu index out of range"};

inline constexpr const TResStringRec* kControlStrings[] = {
    &SParentRequired, &SControlParentSetToSelf, &SWindowCreate, &SWindowClass,
    &SCannotFocus,    &SCannotShowModal,        &SListIndexError, &SCannotDragForm,
    &SMenuReinserted, &SMenuIndexError,
};
