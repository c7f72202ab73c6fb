#pragma once
// Controls that paint themselves on a canvas: TCustomControl has a window,
// TGraphicControl has none and is painted by its parent. Both override
// Paint; the canvas draws only while a paint is under way or after it made
// a device context of its own.

#include <functional>
#include <memory>

#include "platform/ui/Canvas.h"
#include "platform/ui/WinControl.h"

// A canvas on a control: its device context is the control's, made on
// demand (a window-less control's is its parent's, moved to its corner and clipped to it).
class TControlCanvas : public TCanvas {
    RTL_CLASS(TControlCanvas, TCanvas);

public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const noexcept { return control_; }
    void SetControl(TControl* control);
    // Gives the device context made on demand back to its window.
    void FreeHandle();
    // Keeps TextFlags in step with the control's reading order.
    void UpdateTextFlags();
    // Runs Paint with the canvas drawing on a paint message's device context.
    void PaintOn(HDC dc, const std::function<void()>& paint);

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    HDC dc_ = nullptr;
    HWND window_ = nullptr;
};

class TCustomControl : public TWinControl {
    RTL_CLASS(TCustomControl, TWinControl);

public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

class TGraphicControl : public TControl {
    RTL_CLASS(TGraphicControl, TControl);
    UI_MESSAGES(TGraphicControl, TControl);

public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const noexcept { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& m);

private:
    std::unique_ptr<TControlCanvas> canvas_;
};
