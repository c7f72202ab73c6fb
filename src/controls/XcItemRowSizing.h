#pragma once
// The row sizing of the property inspector's items: an integer streamed
// through the identifiers irsNoReSize, irsNameHeight, irsValueHeight and
// irsItemHeight.

#include <cstdint>

#include "platform/rtl/TypeInfo.h"

using TItemRowSizing = int32_t;
constexpr TItemRowSizing irsNoReSize = 0;
constexpr TItemRowSizing irsNameHeight = 0x10000000;
constexpr TItemRowSizing irsValueHeight = 0x20000000;
constexpr TItemRowSizing irsItemHeight = 0x40000000;

const TTypeInfo* TItemRowSizingTypeInfo();
// Registers the identifiers with the object model's integer-constant registry.
void RegisterItemRowSizingIdents();
