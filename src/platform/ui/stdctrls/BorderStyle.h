#pragma once
// The border a control's window may have: none, or a single line (a client
// edge with Ctl3D). The first two of the form border styles.

#include <cstdint>

#include "platform/ui/Forms.h"

enum class TBorderStyle : uint8_t {};
RTL_SUBRANGE(TBorderStyle, bsNone, bsSingle);

inline constexpr TBorderStyle kNoBorder = TBorderStyle(bsNone);
inline constexpr TBorderStyle kSingleBorder = TBorderStyle(bsSingle);

// Adds the window styles of Style to Params: a client edge with Ctl3D, else a plain border.
void AddBorderStyle(TCreateParams& params, TBorderStyle style, bool ctl3D);
