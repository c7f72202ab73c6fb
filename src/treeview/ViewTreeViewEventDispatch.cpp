// The dispatch operations of the painting, input, editing and drag-and-drop
// events: var arguments start at their documented values, and the handler is
// called when one is assigned.

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"

void TBaseViewTree::DoBeforePaint(TCanvas* canvas) {
    if (OnBeforePaint) OnBeforePaint(this, canvas);
}

void TBaseViewTree::DoAfterPaint(TCanvas* canvas) {
    if (OnAfterPaint) OnAfterPaint(this, canvas);
}

void TBaseViewTree::DoBeforeItemErase(TCanvas* canvas, PViewNode node, TRect itemRect, TColor& itemColor,
                                      TItemEraseAction& eraseAction) {
    if (OnBeforeItemErase) OnBeforeItemErase(this, canvas, node, itemRect, itemColor, eraseAction);
}

void TBaseViewTree::DoAfterItemErase(TCanvas* canvas, PViewNode node, TRect itemRect) {
    if (OnAfterItemErase) OnAfterItemErase(this, canvas, node, itemRect);
}

bool TBaseViewTree::DoBeforeItemPaint(TCanvas* canvas, PViewNode node, TRect itemRect) {
    bool customDraw = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, canvas, node, itemRect, customDraw);
    return customDraw;
}

void TBaseViewTree::DoAfterItemPaint(TCanvas* canvas, PViewNode node, TRect itemRect) {
    if (OnAfterItemPaint) OnAfterItemPaint(this, canvas, node, itemRect);
}

void TBaseViewTree::DoBeforeCellPaint(TCanvas* canvas, PViewNode node, TColumnIndex column, TVTCellPaintMode mode,
                                      TRect cellRect, TRect& contentRect) {
    if (!OnBeforeCellPaint) return;
    if (mode != cpmGetContentMargin || !HandleAllocated()) {
        OnBeforeCellPaint(this, canvas, node, column, mode, cellRect, contentRect);
        return;
    }
    // The owner may paint while it answers; what was due for repainting stays due (the
    // window system tells no pending area, so the whole client is due again, without erasing).
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    try {
        OnBeforeCellPaint(this, canvas, node, column, mode, cellRect, contentRect);
    } catch (...) {
        SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        throw;
    }
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TBaseViewTree::DoAfterCellPaint(TCanvas* canvas, PViewNode node, TColumnIndex column, TRect cellRect) {
    if (OnAfterCellPaint) OnAfterCellPaint(this, canvas, node, column, cellRect);
}

bool TBaseViewTree::DoPaintBackground(TCanvas* canvas, TRect r) {
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, canvas, r, handled);
    return handled;
}

void TBaseViewTree::DoGetLineStyle(void*& bits) {
    if (OnGetLineStyle) OnGetLineStyle(this, bits);
}

int TBaseViewTree::DoGetImageIndex(PViewNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                                   TCustomImageList*& imageList) {
    int index = -1;
    imageList = nullptr;
    if (OnGetImageIndexEx) OnGetImageIndexEx(this, node, kind, column, ghosted, index, imageList);
    else if (OnGetImageIndex) OnGetImageIndex(this, node, kind, column, ghosted, index);
    if (!imageList) imageList = kind == ikState ? stateImages_ : images_;
    return index;
}

bool TBaseViewTree::DoKeyAction(uint16_t& charCode, TShiftState& shift) {
    bool doDefault = true;
    if (OnKeyAction) OnKeyAction(this, charCode, shift, doDefault);
    return doDefault;
}

int TBaseViewTree::DoIncrementalSearch(PViewNode node, const String& searchText) {
    int result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, node, searchText, result);
    return result;
}

TPopupMenu* TBaseViewTree::DoGetPopupMenu(PViewNode node, TColumnIndex column, TPoint position) {
    TPopupMenu* menu = nullptr;
    if (!OnGetPopupMenu) return menu;
    bool askParent = true;
    if (!node || node == root_) {
        OnGetPopupMenu(this, nullptr, kNoColumn, position, askParent, menu);
        return menu;
    }
    for (PViewNode run = node; run && run != root_ && !menu && askParent; run = run->parent)
        OnGetPopupMenu(this, run, column, position, askParent, menu);
    return menu;
}

void TBaseViewTree::DoGetCursor(TCursor& cursor) {
    if (OnGetCursor) OnGetCursor(this, cursor);
}

bool TBaseViewTree::DoNodeHeightTracking(PViewNode node, TColumnIndex column, TShiftState shift, TPoint& trackPoint,
                                         TPoint p) {
    bool allowed = true;
    if (OnNodeHeightTracking) OnNodeHeightTracking(this, node, column, shift, trackPoint, p, allowed);
    return allowed;
}

bool TBaseViewTree::DoNodeHeightDblClickResize(PViewNode node, TColumnIndex column, TShiftState shift, TPoint p) {
    bool allowed = true;
    if (OnNodeHeightDblClickResize) OnNodeHeightDblClickResize(this, node, column, shift, p, allowed);
    return allowed;
}

void TBaseViewTree::DoColumnClick(TColumnIndex column, TShiftState shift) {
    if (OnColumnClick) OnColumnClick(this, column, shift);
}

void TBaseViewTree::DoColumnDblClick(TColumnIndex column, TShiftState shift) {
    if (OnColumnDblClick) OnColumnDblClick(this, column, shift);
}

bool TBaseViewTree::DoEditing(PViewNode node, TColumnIndex column, bool allowed) {
    if (OnEditing) OnEditing(this, node, column, allowed);
    return allowed;
}

void TBaseViewTree::DoEdited(PViewNode node, TColumnIndex column) {
    if (OnEdited) OnEdited(this, node, column);
}

void TBaseViewTree::DoEditCancelled(TColumnIndex column) {
    if (OnEditCancelled) OnEditCancelled(this, column);
}

bool TBaseViewTree::DoDragOver(TObject* source, TShiftState shift, TDragState state, TPoint pt, TDropMode mode,
                               int& effect) {
    bool accept = false;
    if (OnDragOver) OnDragOver(this, source, shift, state, pt, mode, effect, accept);
    return accept;
}

void TBaseViewTree::DoDragDrop(TObject* source, IDataObject* dataObject, const TFormatArray& formats,
                               TShiftState shift, TPoint pt, int& effect, TDropMode mode) {
    if (OnDragDrop) OnDragDrop(this, source, dataObject, formats, shift, pt, effect, mode);
}

TIntfPtr<IDataObject> TBaseViewTree::DoCreateDataObject() {
    TIntfPtr<IDataObject> dataObject;
    if (OnCreateDataObject) OnCreateDataObject(this, dataObject);
    return dataObject;
}

HRESULT TBaseViewTree::DoRenderOLEData(const FORMATETC& formatEtcIn, STGMEDIUM& medium, bool forClipboard) {
    HRESULT result = E_FAIL;
    if (OnRenderOLEData) OnRenderOLEData(this, formatEtcIn, medium, forClipboard, result);
    return result;
}

void TBaseViewTree::DoGetUserClipboardFormats(TFormatEtcArray& formats) {
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, formats);
}
