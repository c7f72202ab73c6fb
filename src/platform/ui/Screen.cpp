#include "platform/ui/Screen.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/WinGeometry.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/input/Input.h"
#include "platform/win/message/Messages.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/text/Text.h"
#include "platform/win/toplevel/Monitors.h"
#include "platform/win/window/Windows.h"

RTL_PUBLISHED_NONE(TScreen);

namespace {

// The program's screen, freed by FreeScreen at the framework's shut-down. Not a
// static owner: its fonts and cursors must go while the window system lives.
TScreen* programScreen = nullptr;

[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + String(std::to_string(index)) + ")");
}

DWORD MonitorFlags(TMonitorDefaultTo fallback) {
    switch (fallback) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    case mdNearest: break;
    }
    return MONITOR_DEFAULTTONEAREST;
}

int ScreenPixelsPerInch() {
    const HDC dc = GetDC(nullptr);
    const int perInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return perInch;
}

// A font described by the system (the handle goes to the font).
std::unique_ptr<TFont> SystemFont(const LOGFONTW* description) {
    auto font = std::make_unique<TFont>();
    if (description) font->SetHandle(CreateFontIndirectW(description));
    return font;
}

} // namespace

// --- TMonitor --------------------------------------------------------------------

MONITORINFO TMonitor::Info() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(handle_, &info);
    return info;
}

TRect TMonitor::BoundsRect() const { return ToTRect(Info().rcMonitor); }

TRect TMonitor::WorkareaRect() const { return ToTRect(Info().rcWork); }

bool TMonitor::Primary() const { return Info().dwFlags & MONITORINFOF_PRIMARY; }

// --- TScreen ---------------------------------------------------------------------

TScreen::TScreen(TComponent* owner) : TComponent(owner), pixelsPerInch_(ScreenPixelsPerInch()) {
    for (const TBuiltInCursor& builtIn : BuiltInCursors())
        cursors_[builtIn.Cursor] = builtIn.Shape ? LoadCursorW(nullptr, builtIn.Shape) : nullptr;

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool haveMetrics = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW iconTitle{};
    const bool haveIconTitle = SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0);
    hintFont_ = SystemFont(haveMetrics ? &metrics.lfStatusFont : nullptr);
    hintFont_->SetColor(clInfoText);
    iconFont_ = SystemFont(haveIconTitle ? &iconTitle : nullptr);
    menuFont_ = SystemFont(haveMetrics ? &metrics.lfMenuFont : nullptr);
}

TScreen::~TScreen() {
    std::vector<HCURSOR> held;
    for (const auto& [index, cursor] : cursors_) held.push_back(cursor);
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    for (HCURSOR cursor : held)
        if (cursor) DestroyCursor(cursor);
}

HCURSOR TScreen::Cursors(int index) const {
    const auto it = cursors_.find(index);
    return it != cursors_.end() ? it->second : cursors_.at(crDefault);
}

void TScreen::SetCursors(int index, HCURSOR cursor) {
    if (index == crDefault && !cursor) cursor = LoadCursorW(nullptr, IDC_ARROW);
    const auto [it, added] = cursors_.try_emplace(index, cursor);
    const HCURSOR old = added ? nullptr : std::exchange(it->second, cursor);
    if (old == cursor) return;
    // The screen cursor in force shows its new shape before the old one goes.
    if (index == cursor_ && cursor_ != crDefault) ::SetCursor(cursor);
    ReleaseCursor(old);
}

// Destroys a cursor no number holds any more.
void TScreen::ReleaseCursor(HCURSOR cursor) {
    if (!cursor || std::any_of(cursors_.begin(), cursors_.end(), [&](const auto& c) { return c.second == cursor; }))
        return;
    DestroyCursor(cursor);
}

void TScreen::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    if (value != crDefault) {
        ::SetCursor(Cursors(value));
        return;
    }
    // The window under the pointer shows its own cursor again, as if the
    // pointer had just moved there.
    POINT pt{};
    GetCursorPos(&pt);
    if (const HWND under = WindowFromPoint(pt)) {
        const auto hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(WORD(pt.x), WORD(pt.y)));
        SendMessageW(under, WM_SETCURSOR, WPARAM(under), MAKELPARAM(WORD(SHORT(hit)), WORD(WM_MOUSEMOVE)));
    }
}

void TScreen::RefreshMonitors() const {
    std::vector<HMONITOR> handles;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, RECT*, LPARAM list) {
            reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
            return TRUE;
        },
        LPARAM(&handles));
    std::vector<std::unique_ptr<TMonitor>> current;
    current.reserve(handles.size());
    for (HMONITOR handle : handles) {
        const auto kept = std::find_if(monitors_.begin(), monitors_.end(),
                                       [&](const auto& monitor) { return monitor && monitor->Handle() == handle; });
        current.push_back(kept != monitors_.end() ? std::move(*kept) : std::make_unique<TMonitor>(handle, 0));
        current.back()->monitorNum_ = static_cast<int>(current.size()) - 1;
    }
    monitors_ = std::move(current);
}

int TScreen::MonitorCount() const {
    RefreshMonitors();
    return static_cast<int>(monitors_.size());
}

TMonitor* TScreen::Monitors(int index) const {
    RefreshMonitors();
    if (index < 0 || index >= static_cast<int>(monitors_.size())) IndexError(index);
    return monitors_[static_cast<size_t>(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) const {
    if (!handle) return nullptr;
    RefreshMonitors();
    const auto it = std::find_if(monitors_.begin(), monitors_.end(),
                                 [&](const auto& monitor) { return monitor->Handle() == handle; });
    return it != monitors_.end() ? it->get() : nullptr;
}

TMonitor* TScreen::MonitorFromWindow(HWND hwnd, TMonitorDefaultTo fallback) const {
    return FindMonitor(::MonitorFromWindow(hwnd, MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback) const {
    return FindMonitor(::MonitorFromPoint(ToPOINT(point), MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback) const {
    const RECT r = ToRECT(rect);
    return FindMonitor(::MonitorFromRect(&r, MonitorFlags(fallback)));
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return TRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

TRect TScreen::WorkAreaRect() const {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return ToTRect(work);
}

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount()) IndexError(index);
    return forms_[static_cast<size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form) {
    if (form && std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    const auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it == forms_.end()) return;
    forms_.erase(it);
    if (form != activeForm_) return;
    SetActiveControl(nullptr);
    SetActiveForm(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* form) {
    if (form == activeForm_) return;
    activeForm_ = form;
    if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    activeControl_ = control;
    if (OnActiveControlChange) OnActiveControlChange(this);
}

// --- The program's screen ----------------------------------------------------------

TScreen& Screen() {
    if (!programScreen) programScreen = new TScreen(nullptr);
    return *programScreen;
}

void FreeScreen() { delete std::exchange(programScreen, nullptr); }
