#pragma once
// TTrackBar: the framework's track bar over the "msctls_trackbar32" window
// class. The control keeps range, position, ticks, sizes and selection, so a
// re-created window (a new orientation or tick style) shows the same bar.
// Every scroll message the window sends fires OnChange.

#include <algorithm>
#include <vector>

#include "platform/ui/WinControl.h"

enum class TTrackBarOrientation { trHorizontal, trVertical };
using enum TTrackBarOrientation;
RTL_ENUM(TTrackBarOrientation, trHorizontal, trVertical);

enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
using enum TTickMark;
RTL_ENUM(TTickMark, tmBottomRight, tmTopLeft, tmBoth);

enum class TTickStyle { tsNone, tsAuto, tsManual };
using enum TTickStyle;
RTL_ENUM(TTickStyle, tsNone, tsAuto, tsManual);

class TTrackBar : public TWinControl {
    RTL_CLASS(TTrackBar, TWinControl);
    UI_MESSAGES(TTrackBar, TWinControl);

public:
    explicit TTrackBar(TComponent* owner);

    int Min() const noexcept { return min_; }
    void SetMin(int value) { SetRange(value, std::max(value, max_)); }
    int Max() const noexcept { return max_; }
    void SetMax(int value) { SetRange(std::min(value, min_), value); }
    // The window's position while there is one (the user moves it), else the kept one.
    int Position() const;
    void SetPosition(int value);
    // With tsAuto, a tick every Frequency positions.
    int Frequency() const noexcept { return frequency_; }
    void SetFrequency(int value);
    TTickStyle TickStyle() const noexcept { return tickStyle_; }
    void SetTickStyle(TTickStyle value) { SetAndRecreate(tickStyle_, value); }
    TTickMark TickMarks() const noexcept { return tickMarks_; }
    void SetTickMarks(TTickMark value) { SetAndRecreate(tickMarks_, value); }
    TTrackBarOrientation Orientation() const noexcept { return orientation_; }
    void SetOrientation(TTrackBarOrientation value);
    int PageSize() const noexcept { return pageSize_; }
    void SetPageSize(int value);
    int LineSize() const noexcept { return lineSize_; }
    void SetLineSize(int value);
    // The selection drawn in the channel; equal ends: none.
    int SelStart() const noexcept { return selStart_; }
    void SetSelStart(int value);
    int SelEnd() const noexcept { return selEnd_; }
    void SetSelEnd(int value);
    bool SliderVisible() const noexcept { return sliderVisible_; }
    void SetSliderVisible(bool value) { SetAndRecreate(sliderVisible_, value); }
    int ThumbLength() const noexcept { return thumbLength_; }
    void SetThumbLength(int value);
    // A tick at Value with tsManual.
    void SetTick(int value);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Changed();

    void CNHScroll(TMessage& m);

private:
    template <class T>
    void SetAndRecreate(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWnd();
    }
    void SetRange(int min, int max);
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int frequency_ = 1;
    int pageSize_ = 2;
    int lineSize_ = 1;
    int selStart_ = 0;
    int selEnd_ = 0;
    int thumbLength_ = 20;
    std::vector<int> manualTicks_;
    TTickStyle tickStyle_ = tsAuto;
    TTickMark tickMarks_ = tmBottomRight;
    TTrackBarOrientation orientation_ = trHorizontal;
    bool sliderVisible_ = true;
};
