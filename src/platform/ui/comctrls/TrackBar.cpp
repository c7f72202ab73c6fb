#include "platform/ui/comctrls/TrackBar.h"

#include "platform/ui/ControlMessages.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

RTL_PUBLISHED(TTrackBar, c) {
    c.Property("Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10);
    c.Property("Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0);
    c.Property("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation).Default(trHorizontal);
    c.Property("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1);
    c.Property("Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0);
    c.Property("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize).Default(1);
    c.Property("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2);
    c.Property("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd).Default(0);
    c.Property("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart).Default(0);
    c.Property("SliderVisible", &TTrackBar::SliderVisible, &TTrackBar::SetSliderVisible).Default(true);
    c.Property("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength).Default(20);
    c.Property("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks).Default(tmBottomRight);
    c.Property("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle).Default(tsAuto);
    c.Property("OnChange", &TTrackBar::OnChange, &TTrackBar::OnChange);
}

UI_MESSAGE_MAP(TTrackBar, t) {
    t.On<&TTrackBar::CNHScroll>(CN_HSCROLL);
    t.On<&TTrackBar::CNHScroll>(CN_VSCROLL);
}

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(Left(), Top(), 150, 45);
    SetTabStop(true);
}

LRESULT TTrackBar::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return HandleAllocated() ? SendMessageW(const_cast<TTrackBar*>(this)->Handle(), message, wParam, lParam) : 0;
}

void TTrackBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, u"msctls_trackbar32");
    params.Style |= TBS_ENABLESELRANGE | TBS_FIXEDLENGTH;
    if (orientation_ == trVertical) params.Style |= TBS_VERT;
    switch (tickStyle_) {
    case tsNone: params.Style |= TBS_NOTICKS; break;
    case tsAuto: params.Style |= TBS_AUTOTICKS; break;
    case tsManual: break;
    }
    if (tickMarks_ == tmTopLeft) params.Style |= TBS_TOP;
    if (tickMarks_ == tmBoth) params.Style |= TBS_BOTH;
    if (!sliderVisible_) params.Style |= TBS_NOTHUMB;
}

void TTrackBar::CreateWnd() {
    TWinControl::CreateWnd();
    Send(TBM_SETTHUMBLENGTH, WPARAM(thumbLength_), 0);
    Send(TBM_SETLINESIZE, 0, lineSize_);
    Send(TBM_SETPAGESIZE, 0, pageSize_);
    Send(TBM_SETRANGEMIN, FALSE, min_);
    Send(TBM_SETRANGEMAX, FALSE, max_);
    Send(TBM_SETTICFREQ, WPARAM(frequency_), 0);
    if (tickStyle_ == tsManual)
        for (int tick : manualTicks_) Send(TBM_SETTIC, 0, tick);
    Send(TBM_SETSELSTART, FALSE, selStart_);
    Send(TBM_SETSELEND, FALSE, selEnd_);
    Send(TBM_SETPOS, TRUE, position_);
}

void TTrackBar::DestroyWnd() {
    position_ = Position();
    TWinControl::DestroyWnd();
}

int TTrackBar::Position() const { return HandleAllocated() ? int(Send(TBM_GETPOS, 0, 0)) : position_; }

void TTrackBar::SetPosition(int value) {
    value = std::clamp(value, min_, max_);
    if (value == Position()) return;
    position_ = value;
    Send(TBM_SETPOS, TRUE, value);
    Changed();
}

void TTrackBar::SetRange(int min, int max) {
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    Send(TBM_SETRANGEMIN, FALSE, min_);
    Send(TBM_SETRANGEMAX, TRUE, max_);
    if (const int position = std::clamp(Position(), min_, max_); position != position_ || !HandleAllocated()) {
        position_ = position;
        Send(TBM_SETPOS, TRUE, position_);
    }
}

void TTrackBar::SetFrequency(int value) {
    if (value == frequency_) return;
    frequency_ = value;
    Send(TBM_SETTICFREQ, WPARAM(value), 0);
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (value == orientation_) return;
    orientation_ = value;
    // The bar turns: its width and height change places.
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TTrackBar::SetPageSize(int value) {
    pageSize_ = value;
    Send(TBM_SETPAGESIZE, 0, value);
}

void TTrackBar::SetLineSize(int value) {
    lineSize_ = value;
    Send(TBM_SETLINESIZE, 0, value);
}

void TTrackBar::SetSelStart(int value) {
    selStart_ = value;
    Send(TBM_SETSELSTART, TRUE, value);
}

void TTrackBar::SetSelEnd(int value) {
    selEnd_ = value;
    Send(TBM_SETSELEND, TRUE, value);
}

void TTrackBar::SetThumbLength(int value) {
    thumbLength_ = value;
    Send(TBM_SETTHUMBLENGTH, WPARAM(value), 0);
}

void TTrackBar::SetTick(int value) {
    if (tickStyle_ != tsManual) return;
    manualTicks_.push_back(value);
    Send(TBM_SETTIC, 0, value);
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

void TTrackBar::CNHScroll(TMessage& m) {
    position_ = Position();
    Changed();
    m.Result = 0;
}
