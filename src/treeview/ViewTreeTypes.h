#pragma once
// Enumerations of the tree's published properties.

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"

enum class TCheckImageKind {
    ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat, ckSystemDefault
};
using enum TCheckImageKind;
RTL_ENUM(TCheckImageKind, ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat,
         ckSystemDefault);

enum class TVTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
using enum TVTButtonFillMode;
RTL_ENUM(TVTButtonFillMode, fmTreeColor, fmWindowColor, fmShaded, fmTransparent);

enum class TVTButtonStyle { bsRectangle, bsTriangle };
using enum TVTButtonStyle;
RTL_ENUM(TVTButtonStyle, bsRectangle, bsTriangle);

enum class TVTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
using enum TVTDragImageKind;
RTL_ENUM(TVTDragImageKind, diComplete, diMainColumnOnly, diNoImage);

enum class TDragOperation { doCopy, doMove, doLink };
using enum TDragOperation;
RTL_ENUM(TDragOperation, doCopy, doMove, doLink);
using TDragOperations = TSet<TDragOperation>;

enum class TVTDragType { dtOLE, dtVCL };
using enum TVTDragType;
RTL_ENUM(TVTDragType, dtOLE, dtVCL);

enum class TVTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
using enum TVTDrawSelectionMode;
RTL_ENUM(TVTDrawSelectionMode, smDottedRectangle, smBlendedRectangle);

enum class THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
using enum THintAnimationType;
RTL_ENUM(THintAnimationType, hatNone, hatFade, hatSlide, hatSystemDefault);

enum class TVTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
using enum TVTHintMode;
RTL_ENUM(TVTHintMode, hmDefault, hmHint, hmHintAndDefault, hmTooltip);

enum class TVTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
using enum TVTIncrementalSearch;
RTL_ENUM(TVTIncrementalSearch, isAll, isNone, isInitializedOnly, isVisibleOnly);

enum class TVTSearchDirection { sdForward, sdBackward };
using enum TVTSearchDirection;
RTL_ENUM(TVTSearchDirection, sdForward, sdBackward);

enum class TVTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };
using enum TVTSearchStart;
RTL_ENUM(TVTSearchStart, ssAlwaysStartOver, ssLastHit, ssFocusedNode);

enum class TVTLineMode { lmNormal, lmBands };
using enum TVTLineMode;
RTL_ENUM(TVTLineMode, lmNormal, lmBands);

enum class TVTLineStyle { lsCustomStyle, lsDotted, lsSolid };
using enum TVTLineStyle;
RTL_ENUM(TVTLineStyle, lsCustomStyle, lsDotted, lsSolid);

enum class TVTNodeAlignment { naFromBottom, naFromTop, naProportional };
using enum TVTNodeAlignment;
RTL_ENUM(TVTNodeAlignment, naFromBottom, naFromTop, naProportional);
