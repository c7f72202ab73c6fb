#pragma once
// TScreen: the desktop as the program sees it. It keeps the cursors by number
// and the cursor shown over every control, answers the monitors, the sizes of
// the screen, the virtual desktop and the work area, holds the system's hint,
// icon and menu fonts, and lists the program's forms with the active one.
// Screen() is the program's screen.

#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Geometry.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Events.h"
#include "platform/ui/Font.h"

class TCustomForm;
class TWinControl;

// What answers for a place on no monitor.
enum class TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };
using enum TMonitorDefaultTo;

// One monitor of the desktop; its rectangles are read from the desktop each
// time, in virtual-desktop coordinates.
class TMonitor : public TObject {
public:
    TMonitor(HMONITOR handle, int monitorNum) : handle_(handle), monitorNum_(monitorNum) {}

    HMONITOR Handle() const noexcept { return handle_; }
    // The place in the screen's list of monitors.
    int MonitorNum() const noexcept { return monitorNum_; }
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    bool Primary() const;

private:
    friend class TScreen;
    MONITORINFO Info() const;

    HMONITOR handle_;
    int monitorNum_;
};

class TScreen : public TComponent {
    RTL_CLASS(TScreen, TComponent);

public:
    explicit TScreen(TComponent* owner = nullptr);
    ~TScreen() override;

    // --- Cursors ---
    // A number without a cursor of its own answers the crDefault cursor.
    HCURSOR Cursors(int index) const;
    // The screen keeps the cursor and destroys it once no number holds it
    // any more (shared and standard cursors are left alone by the window
    // system). A null cursor for crDefault brings the arrow back.
    void SetCursors(int index, HCURSOR cursor);
    // The cursor shown over every control while not crDefault; controls ask
    // it before showing their own.
    TCursor Cursor() const noexcept { return cursor_; }
    // Shows the new cursor at once; back at crDefault the window under the
    // pointer chooses its cursor again.
    void SetCursor(TCursor value);

    // --- Monitors ---
    // The list follows the desktop: it is brought up to date on each call.
    // A monitor object lives as long as the desktop keeps its monitor.
    int MonitorCount() const;
    // Raises EListError "List index out of bounds (%d)".
    TMonitor* Monitors(int index) const;
    TMonitor* MonitorFromWindow(HWND hwnd, TMonitorDefaultTo fallback = mdNearest) const;
    TMonitor* MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback = mdNearest) const;
    // The monitor holding most of the rectangle.
    TMonitor* MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback = mdNearest) const;

    // --- Sizes ---
    int PixelsPerInch() const noexcept { return pixelsPerInch_; }
    // The primary monitor.
    int Width() const;
    int Height() const;
    // The virtual desktop spanning every monitor.
    TRect DesktopRect() const;
    int DesktopLeft() const { return DesktopRect().Left; }
    int DesktopTop() const { return DesktopRect().Top; }
    int DesktopWidth() const { return DesktopRect().Width(); }
    int DesktopHeight() const { return DesktopRect().Height(); }
    // The primary monitor less the desktop's panels.
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }

    // --- Fonts, as the system describes them when the screen is made ---
    TFont* HintFont() const noexcept { return hintFont_.get(); }
    TFont* IconFont() const noexcept { return iconFont_.get(); }
    TFont* MenuFont() const noexcept { return menuFont_.get(); }

    // --- Forms ---
    // Every form registers itself while it lives. Forms and custom forms are
    // one list: every form of the program is a custom form.
    int FormCount() const noexcept { return static_cast<int>(forms_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TCustomForm* Forms(int index) const;
    int CustomFormCount() const noexcept { return FormCount(); }
    TCustomForm* CustomForms(int index) const { return Forms(index); }
    void AddForm(TCustomForm* form);
    // Removing the active form leaves no active form and no active control.
    void RemoveForm(TCustomForm* form);

    TCustomForm* ActiveForm() const noexcept { return activeForm_; }
    TCustomForm* ActiveCustomForm() const noexcept { return activeForm_; }
    TWinControl* ActiveControl() const noexcept { return activeControl_; }
    // Set by the forms as activation and focus move; each raises its event
    // when the value changes.
    void SetActiveForm(TCustomForm* form);
    void SetActiveControl(TWinControl* control);

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    void ReleaseCursor(HCURSOR cursor);
    void RefreshMonitors() const;
    TMonitor* FindMonitor(HMONITOR handle) const;

    std::map<int, HCURSOR> cursors_;
    TCursor cursor_ = crDefault;
    mutable std::vector<std::unique_ptr<TMonitor>> monitors_;
    int pixelsPerInch_ = 96;
    std::unique_ptr<TFont> hintFont_;
    std::unique_ptr<TFont> iconFont_;
    std::unique_ptr<TFont> menuFont_;
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
};

// The program's screen: made by the framework's start-up or on first use,
// freed by the framework's shut-down.
TScreen& Screen();
// Frees the program's screen; the next Screen() makes a new one.
void FreeScreen();
