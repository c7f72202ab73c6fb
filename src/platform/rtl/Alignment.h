#pragma once
// Horizontal alignment of text and pictures.

#include "platform/rtl/TypeInfo.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
RTL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter);
