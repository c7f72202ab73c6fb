// Alignment of a windowed control's children: top, bottom, left and right
// aligned children take strips off the client area in that order, the
// client-aligned ones fill what is left, and children with anchors other
// than left and top follow the parent's size.

#include <algorithm>

#include "platform/ui/WinControl.h"
#include "platform/win/User.h"

namespace {

// Whether C1 goes before C2 among the children of one alignment.
bool InsertBefore(TControl* c1, TControl* c2, TAlign kind) {
    switch (kind) {
    case alTop: return c1->Top() < c2->Top();
    case alBottom: return c1->Top() + c1->Height() >= c2->Top() + c2->Height();
    case alLeft: return c1->Left() < c2->Left();
    case alRight: return c1->Left() + c1->Width() >= c2->Left() + c2->Width();
    default: return false;
    }
}

bool IsAnchored(TControl* control) { return control->Align() == alNone && control->Anchors() != TAnchors{akLeft, akTop}; }

} // namespace

void TWinControl::EnableAlign() {
    if (--alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
    if (ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading)) return;
    if (alignLevel_ != 0) {
        controlState_.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    // Children move without painting; the window is painted once afterwards,
    // their borders (non-client areas) with it.
    const bool outermost = !redrawDeferred_;
    redrawDeferred_ = true;
    try {
        TRect rect = ClientRect();
        AlignControls(control, rect);
    } catch (...) {
        if (outermost) EndDeferredRedraw();
        controlState_.Exclude(csAlignmentNeeded);
        EnableAlign();
        throw;
    }
    if (outermost) EndDeferredRedraw();
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
}

void TWinControl::EndDeferredRedraw() {
    redrawDeferred_ = false;
    if (std::exchange(redrawNeeded_, false) && handle_)
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
    AdjustClientRect(rect);
    const TRect parentRect = rect;
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient, alNone}) AlignKind(kind, control, rect, parentRect);
    if (showing_) AdjustSize();
}

void TWinControl::AlignKind(TAlign kind, TControl* control, TRect& rect, const TRect& parentRect) {
    auto takes = [&](TControl* c) {
        if (!c->Visible()) return false;
        return kind == alNone ? IsAnchored(c) : c->Align() == kind;
    };
    std::vector<TControl*> list;
    if (control && takes(control)) list.push_back(control);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c == control || !takes(c)) continue;
        size_t j = 0;
        while (j < list.size() && !InsertBefore(c, list[j], kind)) ++j;
        list.insert(list.begin() + ptrdiff_t(j), c);
    }
    for (TControl* c : list) {
        int left = rect.Left, top = rect.Top, width = rect.Width(), height = rect.Height();
        switch (kind) {
        case alTop:
            height = c->Height();
            break;
        case alBottom:
            height = c->Height();
            top = rect.Bottom - height;
            break;
        case alLeft:
            width = c->Width();
            break;
        case alRight:
            width = c->Width();
            left = rect.Right - width;
            break;
        case alNone: {
            left = c->Left();
            top = c->Top();
            width = c->Width();
            height = c->Height();
            if (c->originalParentSize_.cx <= 0 && c->originalParentSize_.cy <= 0) {
                c->UpdateAnchorRules();
                continue;
            }
            const TAnchors anchors = c->Anchors();
            const int parentWidth = parentRect.Width(), parentHeight = parentRect.Height();
            const TSize original = c->originalParentSize_;
            const TPoint rules = c->anchorRules_;
            if (anchors.Contains(akRight)) {
                if (anchors.Contains(akLeft))
                    width = parentWidth - (original.cx - rules.X);
                else
                    left = rules.X + (parentWidth - original.cx);
            } else if (!anchors.Contains(akLeft) && original.cx > 0) {
                left = rules.X * parentWidth / original.cx - width / 2;
            }
            if (anchors.Contains(akBottom)) {
                if (anchors.Contains(akTop))
                    height = parentHeight - (original.cy - rules.Y);
                else
                    top = rules.Y + (parentHeight - original.cy);
            } else if (!anchors.Contains(akTop) && original.cy > 0) {
                top = rules.Y * parentHeight / original.cy - height / 2;
            }
            break;
        }
        default: break;
        }
        c->controlState_.Include(csAligning);
        try {
            c->SetBounds(left, top, std::max(0, width), std::max(0, height));
        } catch (...) {
            c->controlState_.Exclude(csAligning);
            throw;
        }
        c->controlState_.Exclude(csAligning);
        // Constraints may have kept another size: the strip is what the child took.
        switch (kind) {
        case alTop: rect.Top += c->Height(); break;
        case alBottom: rect.Bottom -= c->Height(); break;
        case alLeft: rect.Left += c->Width(); break;
        case alRight: rect.Right -= c->Width(); break;
        default: break;
        }
    }
}

bool TWinControl::CanAutoSize(int& newWidth, int& newHeight) {
    bool any = false;
    TRect extent{0, 0, 0, 0};
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() == alClient) continue;
        any = true;
        extent.Right = std::max(extent.Right, c->Left() + c->Width());
        extent.Bottom = std::max(extent.Bottom, c->Top() + c->Height());
    }
    if (!any) return false;
    const TRect client = ClientRect();
    newWidth = width_ - client.Width() + extent.Right;
    newHeight = height_ - client.Height() + extent.Bottom;
    return true;
}
