#pragma once
// The tree's own events and the enumerations their arguments use. Each event
// is a std::function member of the tree that may be empty; the tree reaches
// it only through one virtual dispatch operation (Do...), which sets the var
// arguments to their starting values first.

#include <cstdint>
#include <functional>

#include <vector>

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Control.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Events.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "treeview/ViewNode.h"

class TBaseViewTree;
class TCanvas;
class TCustomImageList;
class TPopupMenu;
// The editor and drag-manager interfaces come with editing and drag and drop.
class IVTEditLink;
class IVTDragManager;

enum class TViewTreeState {
    tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing, tsToggleFocusedSelection,
    tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending, tsDrawSelPending, tsDrawSelecting,
    tsEditing, tsEditPending, tsExpanding, tsNodeHeightTracking, tsNodeHeightTrackPending, tsHint,
    tsInAnimation, tsIncrementalSearching, tsIncrementalSearchPending, tsIterating, tsKeyCheckPending,
    tsLeftButtonDown, tsLeftDblClick, tsMouseCheckPending, tsMiddleButtonDown, tsMiddleDblClick,
    tsNeedScale, tsNeedRootCountUpdate, tsOLEDragging, tsOLEDragPending, tsPainting, tsRightButtonDown,
    tsRightDblClick, tsPopupMenuShown, tsScrolling, tsScrollPending, tsSizing, tsStopValidation,
    tsStructureChangePending, tsSynchMode, tsThumbTracking, tsToggling, tsUpdateHiddenChildrenNeeded,
    tsUpdating, tsUseCache, tsUserDragObject, tsUseThemes, tsValidating, tsPreviouslySelectedLocked,
    tsValidationNeeded, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished, tsWheelPanning,
    tsWheelScrolling, tsWindowCreating, tsUseExplorerTheme,
};
using enum TViewTreeState;
RTL_ENUM(TViewTreeState, tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing,
         tsToggleFocusedSelection, tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending,
         tsDrawSelPending, tsDrawSelecting, tsEditing, tsEditPending, tsExpanding, tsNodeHeightTracking,
         tsNodeHeightTrackPending, tsHint, tsInAnimation, tsIncrementalSearching, tsIncrementalSearchPending,
         tsIterating, tsKeyCheckPending, tsLeftButtonDown, tsLeftDblClick, tsMouseCheckPending,
         tsMiddleButtonDown, tsMiddleDblClick, tsNeedScale, tsNeedRootCountUpdate, tsOLEDragging,
         tsOLEDragPending, tsPainting, tsRightButtonDown, tsRightDblClick, tsPopupMenuShown, tsScrolling,
         tsScrollPending, tsSizing, tsStopValidation, tsStructureChangePending, tsSynchMode, tsThumbTracking,
         tsToggling, tsUpdateHiddenChildrenNeeded, tsUpdating, tsUseCache, tsUserDragObject, tsUseThemes,
         tsValidating, tsPreviouslySelectedLocked, tsValidationNeeded, tsVCLDragging, tsVCLDragPending,
         tsVCLDragFinished, tsWheelPanning, tsWheelScrolling, tsWindowCreating, tsUseExplorerTheme);
using TViewTreeStates = TSet<TViewTreeState>;

enum class TChangeReason { crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved };
using enum TChangeReason;
RTL_ENUM(TChangeReason, crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied,
         crNodeMoved);

enum class TVTUpdateState { usBegin, usBeginSynch, usSynch, usEndSynch, usEnd, usUpdate };
using enum TVTUpdateState;
RTL_ENUM(TVTUpdateState, usBegin, usBeginSynch, usSynch, usEndSynch, usEnd, usUpdate);

enum class TViewNodeInitState { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using enum TViewNodeInitState;
RTL_ENUM(TViewNodeInitState, ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected);
using TViewNodeInitStates = TSet<TViewNodeInitState>;

enum class TSortDirection { sdAscending, sdDescending };
using enum TSortDirection;
RTL_ENUM(TSortDirection, sdAscending, sdDescending);

enum class TVTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
using enum TVTNodeAttachMode;
RTL_ENUM(TVTNodeAttachMode, amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast);

// A column of the header; −1 (no column) and the header's real columns.
using TColumnIndex = int;
constexpr TColumnIndex kNoColumn = -1;

using TVTGetNodeDataSizeEvent = std::function<void(TBaseViewTree* sender, int& nodeDataSize)>;
using TVTInitNodeEvent =
    std::function<void(TBaseViewTree* sender, PViewNode parentNode, PViewNode node, TViewNodeInitStates& initialStates)>;
using TVTInitChildrenEvent = std::function<void(TBaseViewTree* sender, PViewNode node, uint32_t& childCount)>;
using TVTFreeNodeEvent = std::function<void(TBaseViewTree* sender, PViewNode node)>;
using TVTChangeEvent = std::function<void(TBaseViewTree* sender, PViewNode node)>;
using TVTStructureChangeEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TChangeReason reason)>;
using TVTUpdatingEvent = std::function<void(TBaseViewTree* sender, TVTUpdateState state)>;
using TVTChangingEvent = std::function<void(TBaseViewTree* sender, PViewNode node, bool& allowed)>;
using TVTStateChangeEvent = std::function<void(TBaseViewTree* sender, TViewTreeStates enter, TViewTreeStates leave)>;
using TVTCompareEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node1, PViewNode node2, TColumnIndex column, int& result)>;
using TVTMeasureItemEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node, int& nodeHeight)>;
using TVTNodeMovingEvent = std::function<void(TBaseViewTree* sender, PViewNode node, PViewNode target, bool& allowed)>;
using TVTScrollEvent = std::function<void(TBaseViewTree* sender, int deltaX, int deltaY)>;
using TVTScrollbarShowEvent = std::function<void(TBaseViewTree* sender, int bar, bool show)>;
using TVTFocusChangingEvent = std::function<void(TBaseViewTree* sender, PViewNode oldNode, PViewNode newNode,
                                                 TColumnIndex oldColumn, TColumnIndex newColumn, bool& allowed)>;
using TVTFocusChangeEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column)>;
using TVTCheckChangingEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TCheckState& newState, bool& allowed)>;
using TVTHotNodeChangeEvent = std::function<void(TBaseViewTree* sender, PViewNode oldNode, PViewNode newNode)>;
using TVTGetCellIsEmptyEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, bool& isEmpty)>;
using TVTGetHelpContextEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, int& helpContext)>;
using TVTDragAllowedEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, bool& allowed)>;

enum class TVTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
using enum TVTImageKind;
RTL_ENUM(TVTImageKind, ikNormal, ikSelected, ikState, ikOverlay);

enum class TItemEraseAction { eaColor, eaDefault, eaNone };
using enum TItemEraseAction;
RTL_ENUM(TItemEraseAction, eaColor, eaDefault, eaNone);

enum class TVTCellPaintMode { cpmPaint, cpmGetContentMargin };
using enum TVTCellPaintMode;
RTL_ENUM(TVTCellPaintMode, cpmPaint, cpmGetContentMargin);

enum class TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };
using enum TDropMode;
RTL_ENUM(TDropMode, dmNowhere, dmAbove, dmOnNode, dmBelow);

using TFormatArray = std::vector<WORD>;
using TFormatEtcArray = std::vector<FORMATETC>;

// Painting.
using TVTPaintEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas)>;
using TVTBeforeItemEraseEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                                   TRect itemRect, TColor& itemColor, TItemEraseAction& eraseAction)>;
using TVTAfterItemEraseEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node, TRect itemRect)>;
using TVTBeforeItemPaintEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                                   TRect itemRect, bool& customDraw)>;
using TVTAfterItemPaintEvent = TVTAfterItemEraseEvent;
using TVTBeforeCellPaintEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node, TColumnIndex column,
                       TVTCellPaintMode cellPaintMode, TRect cellRect, TRect& contentRect)>;
using TVTAfterCellPaintEvent = std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, PViewNode node,
                                                  TColumnIndex column, TRect cellRect)>;
using TVTBackgroundPaintEvent =
    std::function<void(TBaseViewTree* sender, TCanvas* targetCanvas, TRect r, bool& handled)>;
using TVTGetLineStyleEvent = std::function<void(TBaseViewTree* sender, void*& bits)>;
using TVTGetImageEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TVTImageKind kind,
                                            TColumnIndex column, bool& ghosted, int& imageIndex)>;
using TVTGetImageExEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                       int& imageIndex, TCustomImageList*& imageList)>;
using TVTGetImageTextEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TVTImageKind kind,
                                                TColumnIndex column, String& imageText)>;

// Input.
using TVTKeyActionEvent =
    std::function<void(TBaseViewTree* sender, uint16_t& charCode, TShiftState& shift, bool& doDefault)>;
using TVTIncrementalSearchEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, const String& searchText, int& result)>;
using TVTPopupEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, TPoint p,
                                         bool& askParent, TPopupMenu*& popupMenu)>;
using TVTGetCursorEvent = std::function<void(TBaseViewTree* sender, TCursor& cursor)>;
using TVTNodeHeightTrackingEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, TShiftState shift,
                       TPoint& trackPoint, TPoint p, bool& allowed)>;
using TVTNodeHeightDblClickResizeEvent = std::function<void(
    TBaseViewTree* sender, PViewNode node, TColumnIndex column, TShiftState shift, TPoint p, bool& allowed)>;
using TVTColumnClickEvent = std::function<void(TBaseViewTree* sender, TColumnIndex column, TShiftState shift)>;

// Editing.
using TVTCreateEditorEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, TIntfPtr<IVTEditLink>& editLink)>;
using TVTEditChangingEvent =
    std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column, bool& allowed)>;
using TVTEditChangeEvent = std::function<void(TBaseViewTree* sender, PViewNode node, TColumnIndex column)>;
using TVTEditCancelEvent = std::function<void(TBaseViewTree* sender, TColumnIndex column)>;

// Drag and drop, clipboard.
using TVTDragOverEvent =
    std::function<void(TBaseViewTree* sender, TObject* source, TShiftState shift, TDragState state, TPoint pt,
                       TDropMode mode, int& effect, bool& accept)>;
using TVTDragDropEvent =
    std::function<void(TBaseViewTree* sender, TObject* source, IDataObject* dataObject, const TFormatArray& formats,
                       TShiftState shift, TPoint pt, int& effect, TDropMode mode)>;
using TVTCreateDataObjectEvent = std::function<void(TBaseViewTree* sender, TIntfPtr<IDataObject>& dataObject)>;
using TVTCreateDragManagerEvent =
    std::function<void(TBaseViewTree* sender, TIntfPtr<IVTDragManager>& dragManager)>;
using TVTRenderOLEDataEvent = std::function<void(TBaseViewTree* sender, const FORMATETC& formatEtcIn,
                                                 STGMEDIUM& medium, bool forClipboard, HRESULT& result)>;
using TVTGetUserClipboardFormatsEvent = std::function<void(TBaseViewTree* sender, TFormatEtcArray& formats)>;
