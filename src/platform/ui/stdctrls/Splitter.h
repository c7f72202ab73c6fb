#pragma once
// TSplitter: a bar between aligned controls that the user drags to resize
// the control aligned on the same side just before it. The control resizes
// live while the bar is dragged (rsNone: once, when it is released), kept
// between MinSize and what leaves its opposite neighbours MinSize; with
// AutoSnap a size at or below MinSize collapses it to nothing.

#include <functional>

#include "platform/ui/CustomControl.h"

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using enum TResizeStyle;
RTL_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern);

// NewSize may be changed; Accept false leaves the control as it is.
using TCanResizeEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

class TSplitter : public TGraphicControl {
    RTL_CLASS(TSplitter, TGraphicControl);

public:
    explicit TSplitter(TComponent* owner);

    // Left and right bars take the split cursor crHSplit, top and bottom ones crVSplit.
    void SetAlign(TAlign value) override;
    int MinSize() const noexcept { return minSize_; }
    void SetMinSize(int value) { minSize_ = value < 1 ? 1 : value; }
    bool AutoSnap() const noexcept { return autoSnap_; }
    void SetAutoSnap(bool value) { autoSnap_ = value; }
    // Two lines along the bar.
    bool Beveled() const noexcept { return beveled_; }
    void SetBeveled(bool value);
    TResizeStyle ResizeStyle() const noexcept { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle value) { resizeStyle_ = value; }

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual bool CanResize(int& newSize);

private:
    bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
    // The visible, enabled sibling whose edge touches the bar on its aligned side.
    TControl* FindResizedControl() const;
    int SizeOf(const TControl* control) const;
    // The size the dragged control may grow to: what the other controls aligned along the same axis leave.
    int MaximumSize() const;
    // The size the pointer at the client point asks for, within the limits.
    int RequestedSize(int x, int y) const;
    void Resize(int newSize);

    int minSize_ = 30;
    bool autoSnap_ = true;
    bool beveled_ = false;
    TResizeStyle resizeStyle_ = rsPattern;
    // While dragging: the control, where the drag began in the parent, the size then and the limit.
    TControl* control_ = nullptr;
    TPoint downPos_{};
    int startSize_ = 0;
    int maxSize_ = 0;
    int pendingSize_ = -1;
};
