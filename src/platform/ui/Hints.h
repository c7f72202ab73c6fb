#pragma once
// Hints: the small window that shows a control's hint near the pointer, and
// the application's hint manager, which decides when it shows.
//
// A control's Hint may hold two parts, "short|long": the window shows the
// short part. The manager follows the pointer through the mouse messages the
// controls report and the application's idle work: once the pointer has rested
// HintPause milliseconds of the clock over a control with ShowHint (its own or
// a parent's), the control gets CM_HINTSHOW with a THintInfo it may change or
// refuse, then the application's OnShowHint, and the hint shows for
// HintHidePause milliseconds. While a hint is up, the next control's hint comes
// after HintShortPause. Leaving the control (or the info's CursorRect), a
// click or a key hides it.

#include <memory>

#include "platform/ui/CustomControl.h"

class TApplication;

// What CM_HINTSHOW hands the control about to show its hint; the control may
// change any of it.
struct THintInfo {
    TControl* HintControl = nullptr;
    // The class the hint window is made of: THintWindow or a descendant.
    TClass HintWindowClass = nullptr;
    // Screen position of the hint window's top-left corner.
    TPoint HintPos;
    // Text wider than this wraps.
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    // While the pointer stays inside (client coordinates of HintControl) the
    // hint stays; leaving it hides the hint and times the next one.
    TRect CursorRect;
    // The pointer, in client coordinates of HintControl.
    TPoint CursorPos;
    // Milliseconds after which the hint is asked for again; 0: never.
    int ReshowTimeout = 0;
    // Milliseconds the hint stays up.
    int HideTimeout = 0;
    String HintStr;
    // Handed to the hint window's ActivateHintData and CalcHintRect.
    void* HintData = nullptr;
};

// The part of "short|long" before the bar (all of a text without one), and
// the part after it (all of a text without one).
String GetShortHint(const String& hint);
String GetLongHint(const String& hint);

// A topmost popup in the hint colour that never takes activation and lets
// the pointer through to the window below.
class THintWindow : public TCustomControl {
    RTL_CLASS(THintWindow, TCustomControl);
    UI_MESSAGES(THintWindow, TCustomControl);

public:
    explicit THintWindow(TComponent* owner);

    // The window's size for the text wrapped at MaxWidth, as a rectangle at the origin.
    virtual TRect CalcHintRect(int maxWidth, const String& hint, void* data);
    // Shows the text in Rect (screen coordinates), moved inside the work area
    // of the pointer's monitor, above every window and without activation.
    virtual void ActivateHint(TRect rect, const String& hint);
    virtual void ActivateHintData(TRect rect, const String& hint, void* data);
    // Destroys the window; the next hint makes it again.
    void ReleaseHandle() { DestroyHandle(); }
    // Whether the message, about to be dispatched, cancels the hint: clicks,
    // keys, commands and activation do.
    virtual bool IsHintMsg(const MSG& msg);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    // Rect moved, at its size, into the work area of the monitor under the pointer.
    static TRect KeepInWorkArea(TRect rect);

private:
    void WMNCHitTest(TMessage& m);
};

// The class the application makes its hint window of; THintWindow unless changed.
TClass HintWindowClass();
void SetHintWindowClass(TClass value);

// The application's hint timing. Its window timers run on a utility window of
// its own, so they follow the run-time library's clock.
class THintManager {
public:
    explicit THintManager(TApplication& application);
    ~THintManager();
    THintManager(const THintManager&) = delete;
    THintManager& operator=(const THintManager&) = delete;

    // A mouse move a control took (Message in its client coordinates).
    void MouseMessage(TControl* control, const TMessage& message);
    // Cancels the hint when the hint window says the message, about to be
    // dispatched, ends it; true then. The message goes on all the same.
    bool IsHintMsg(const MSG& msg);
    // Hides the hint and forgets its control; the next hint waits the full pause.
    void CancelHint();
    void ControlDestroyed(TControl* control);
    // The window of the last hint shown (null before the first).
    THintWindow* HintWindow() const noexcept { return window_.get(); }

private:
    enum class TTimerMode { Show, Hide };
    void ShowHint();
    void HideHint();
    void StartTimer(int ms, TTimerMode mode);
    void StopTimer();
    void TimerExpired();
    THintWindow& WindowOfClass(TClass cls);

    TApplication& application_;
    std::unique_ptr<THintWindow> window_;
    HWND timerWindow_ = nullptr;
    TTimerMode timerMode_ = TTimerMode::Show;
    TControl* hintControl_ = nullptr;
    // Where the pointer keeps the hint, in screen coordinates.
    TRect cursorRect_;
    // A hint was shown (and not cancelled since): the next one comes after the short pause.
    bool hintActive_ = false;
};
