#include "platform/ui/Canvas.h"

#include <vector>

#include "platform/ui/WinGeometry.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/win/text/Text.h"

RTL_PUBLISHED_NONE(TCanvas);

namespace {

std::vector<POINT> ToPOINTs(std::span<const TPoint> points) {
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const TPoint& p : points) result.push_back(ToPOINT(p));
    return result;
}

} // namespace

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    font_->OnChange = [this](TObject*) { ObjectChanged(csFontValid); };
    pen_->OnChange = [this](TObject*) { ObjectChanged(csPenValid); };
    brush_->OnChange = [this](TObject*) { ObjectChanged(csBrushValid); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
    RequiredState(TCanvasState{csHandleValid});
    return handle_;
}

void TCanvas::SetHandle(HDC value) {
    if (value == handle_) return;
    if (handle_) DeselectHandles();
    handle_ = value;
    state_ = value ? TCanvasState{csHandleValid} : TCanvasState{};
}

void TCanvas::RequiredState(TCanvasState required) {
    if (required.Contains(csHandleValid) && !handle_) {
        CreateHandle();
        if (!handle_) throw EInvalidOperation(LoadResString(SNoCanvasHandle));
    }
    if (required.Contains(csFontValid) && !state_.Contains(csFontValid)) SelectFont();
    if (required.Contains(csPenValid) && !state_.Contains(csPenValid)) SelectPen();
    if (required.Contains(csBrushValid) && !state_.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::SelectFont() {
    SelectObject(handle_, ToGdiObject(font_->Handle()));
    SetTextColor(handle_, ColorToRGB(font_->Color()));
    state_.Include(csFontValid);
}

void TCanvas::SelectPen() {
    SelectObject(handle_, ToGdiObject(pen_->Handle()));
    SetROP2(handle_, PenModeToRop2(pen_->Mode()));
    state_.Include(csPenValid);
}

// A solid brush also gives text its background; any other lets what lies
// beneath show between hatches and glyphs.
void TCanvas::SelectBrush() {
    SelectObject(handle_, ToGdiObject(brush_->Handle()));
    const COLORREF color = ColorToRGB(brush_->Color());
    if (brush_->Style() == bsSolid) {
        SetBkColor(handle_, color);
        SetBkMode(handle_, OPAQUE);
    } else {
        SetBkColor(handle_, ~color & 0x00FFFFFF);
        SetBkMode(handle_, TRANSPARENT);
    }
    state_.Include(csBrushValid);
}

void TCanvas::DeselectHandles() {
    if (state_.Contains(csFontValid)) SelectObject(handle_, GetStockObject(SYSTEM_FONT));
    if (state_.Contains(csPenValid)) SelectObject(handle_, GetStockObject(BLACK_PEN));
    if (state_.Contains(csBrushValid)) SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
    state_.Exclude(csFontValid);
    state_.Exclude(csPenValid);
    state_.Exclude(csBrushValid);
}

// The object's old handle may be deleted now: the DC lets go of it at once.
void TCanvas::ObjectChanged(TCanvasStates selection) {
    if (!state_.Contains(selection)) return;
    const int stock = selection == csFontValid ? SYSTEM_FONT : selection == csPenValid ? BLACK_PEN : HOLLOW_BRUSH;
    SelectObject(handle_, GetStockObject(stock));
    state_.Exclude(selection);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (graphic) StretchDraw(TRect{x, y, x + graphic->Width(), y + graphic->Height()}, graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    // Monochrome pictures meet colour through the font's and the brush's colours.
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    graphic->Draw(this, rect);
    Changed();
}

void TCanvas::Refresh() {
    if (handle_) DeselectHandles();
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::Lock() {
    lock_.lock();
    ++lockCount_;
}

bool TCanvas::TryLock() {
    if (!lock_.try_lock()) return false;
    ++lockCount_;
    return true;
}

void TCanvas::Unlock() {
    --lockCount_;
    lock_.unlock();
}

TPoint TCanvas::PenPos() {
    RequiredState(TCanvasState{csHandleValid});
    POINT p{};
    GetCurrentPositionEx(handle_, &p);
    return TPoint{p.x, p.y};
}

TRect TCanvas::ClipRect() {
    RequiredState(TCanvasState{csHandleValid});
    RECT box{};
    GetClipBox(handle_, &box);
    return ToTRect(box);
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    const RECT r = ToRECT(rect);
    ::FillRect(handle_, &r, brush_->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    const RECT r = ToRECT(rect);
    ::FrameRect(handle_, &r, brush_->Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csBrushValid});
    const RECT r = ToRECT(rect);
    ::DrawFocusRect(handle_, &r);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(handle_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(handle_, x1, y1, x2, y2, cornerWidth, cornerHeight);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(handle_, x1, y1, x2, y2);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    const std::vector<POINT> p = ToPOINTs(points);
    ::Polygon(handle_, p.data(), int(p.size()));
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    const std::vector<POINT> p = ToPOINTs(points);
    ::Polyline(handle_, p.data(), int(p.size()));
    Changed();
}

void TCanvas::MoveTo(int x, int y) {
    RequiredState(TCanvasState{csHandleValid});
    MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid, csBrushValid});
    ::LineTo(handle_, x, y);
    Changed();
}

TColor TCanvas::Pixel(int x, int y) {
    RequiredState(TCanvasState{csHandleValid});
    return TColor(GetPixel(handle_, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csPenValid});
    ::SetPixel(handle_, x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::TextOut(int x, int y, const String& text) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    ExtTextOutW(handle_, x, y, UINT(textFlags_), nullptr, text.data(), UINT(text.size()), nullptr);
    MoveTo(x + TextWidth(text), y);
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const String& text) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    UINT options = ETO_CLIPPED | UINT(textFlags_);
    if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
    const RECT r = ToRECT(rect);
    ExtTextOutW(handle_, x, y, options, &r, text.data(), UINT(text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(TRect& rect, String& text, UINT format) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    RECT r = ToRECT(rect);
    if (format & DT_MODIFYSTRING) {
        std::u16string buffer(text.data(), text.size());
        buffer.resize(text.size() + 5, u'\0');
        DrawTextW(handle_, buffer.data(), int(text.size()), &r, format);
        text = String(buffer.c_str());
    } else {
        DrawTextW(handle_, text.data(), int(text.size()), &r, format);
    }
    if (format & DT_CALCRECT) rect = ToTRect(r);
    Changed();
}

TSize TCanvas::TextExtent(const String& text) {
    RequiredState(TCanvasState{csHandleValid, csFontValid});
    SIZE size{};
    GetTextExtentPoint32W(handle_, text.data(), int(text.size()), &size);
    return TSize{size.cx, size.cy};
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
    Changing();
    RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    canvas->RequiredState(TCanvasState{csHandleValid, csBrushValid});
    StretchBlt(handle_, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->handle_, source.Left, source.Top,
               source.Width(), source.Height(), DWORD(copyMode_));
    Changed();
}
