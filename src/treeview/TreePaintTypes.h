#pragma once
// The records the tree's painter fills and hands to its steps and to the
// owner: paint options of one render call, tree-line images, the per-cell
// paint record, and the step data of the expand/collapse animation.

#include <cstdint>
#include <vector>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Set.h"
#include "platform/ui/Control.h"
#include "platform/win/gdi/GdiTypes.h"
#include "treeview/ViewNode.h"
#include "treeview/ViewTreeEvents.h"

class TCanvas;
class TCustomImageList;

enum class TPaintTreeOption {
    ipBackground, ipColumnColor, ipDrawFocusRect, ipDrawSelection, ipDrawDropMark, ipGridLines, ipMainOnly,
    ipSelectedOnly,
};
using enum TPaintTreeOption;
using TPaintTreeOptions = TSet<TPaintTreeOption>;
// What the window paint asks for.
inline constexpr TPaintTreeOptions kWindowPaintOptions{ipBackground, ipColumnColor, ipDrawFocusRect,
                                                       ipDrawSelection, ipDrawDropMark, ipGridLines};

enum class TVTLineType { ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom };
using enum TVTLineType;
// One line type per indentation level of a row.
using TLineImage = std::vector<TVTLineType>;

enum TVTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

struct TVTImageInfo {
    int Index = -1;
    TCustomImageList* Images = nullptr;
    bool Ghosted = false;
    int XPos = 0;
    int YPos = 0;
};

struct TVTPaintInfo {
    TCanvas* Canvas = nullptr;
    TPaintTreeOptions PaintOptions;
    PViewNode Node = nullptr;
    TColumnIndex Column = kNoColumn;
    int Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TVTImageInfo ImageInfo[4];
    int VAlign = 0;
    TPoint BrushOrigin;
    bool IsMainColumn = true;
};

// How an area moves in one animation step.
enum class TToggleAnimationMode : uint8_t { tamScrollUp, tamScrollDown, tamNoScroll };
using enum TToggleAnimationMode;

struct TToggleStepData {
    HWND Window = nullptr;
    HDC DC = nullptr;
    HBRUSH Brush = nullptr;
    TRect R1;
    TRect R2;
    TToggleAnimationMode Mode1 = tamNoScroll;
    TToggleAnimationMode Mode2 = tamNoScroll;
    double ScaleFactor = 0;
    double MissedSteps = 0;
};

