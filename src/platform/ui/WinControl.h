#pragma once
// TWinControl: a control with a window of its own, which may hold other
// controls. The window is made when the control first shows (or when code
// asks for Handle) from CreateParams, and its messages run through
// MainWndProc -> WindowProc; a class may wrap a predefined window class
// (CreateSubClass) whose procedure then is the default handler.
//
// Children are kept in two lists, window-less ones first: Controls(i)
// counts those, then the windowed ones, each list in z-order (bottom
// first). The window-less children are painted by this control after its
// own painting, and get their mouse messages from it.
//
// A child window's WM_COMMAND, WM_NOTIFY, WM_DRAWITEM... come back to the
// child's control as CN_ + message; the message loop hands key messages to
// the focused control as CN_KEYDOWN... before they are translated.

#include <memory>
#include <vector>

#include "platform/ui/Brush.h"
#include "platform/ui/Control.h"

struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSW WindowClass{};
    // The class registered for the window; the control's class name by default.
    String WinClassName;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
RTL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace);

enum class TBevelEdge { beLeft, beTop, beRight, beBottom };
using enum TBevelEdge;
RTL_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom);
using TBevelEdges = TSet<TBevelEdge>;

enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
using enum TBevelKind;
RTL_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat);

enum class TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                      imSHanguel, imHanguel };
using enum TImeMode;
RTL_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
         imSHanguel, imHanguel);

class TWinControl : public TControl {
    RTL_CLASS(TWinControl, TControl);
    UI_MESSAGES(TWinControl, TControl);

public:
    explicit TWinControl(TComponent* owner);
    // A control shown inside a window that is not a control (ParentWindow).
    static TWinControl* CreateParented(HWND parentWindow);
    ~TWinControl() override;

    // --- Window ----------------------------------------------------------------
    // Makes the window (and those of its parents) when there is none.
    HWND Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    void HandleNeeded();
    HWND ParentWindow() const noexcept { return parentWindow_; }
    void SetParentWindow(HWND value);
    // Destroys the window; it is made again, with the control's state, when needed.
    void RecreateWnd();
    // Calls the window's own procedure (the predefined class's, or DefWindowProcW).
    virtual void DefaultHandler(TMessage& message) override;
    LRESULT DefWndProc(TMessage& message);

    // --- Children ---------------------------------------------------------------
    int ControlCount() const noexcept { return int(controls_.size() + winControls_.size()); }
    TControl* Controls(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Whether Control is this one or lies inside it.
    bool ContainsControl(TControl* control) const;
    // The topmost visible child at a client point: window-less ones, and
    // windowed ones too with AllowWinControls; disabled ones with AllowDisabled.
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
    // The windowed child named Name.
    TWinControl* FindChildControl(const String& name) const;
    // Sends Message to every child until one answers non-zero.
    void Broadcast(TMessage& message);
    void NotifyControls(UINT message);
    // Makes Control visible with all parents (pages bring it to front).
    virtual void ShowControl(TControl* control);

    // --- Focus and keys -----------------------------------------------------------
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);
    // Windowed descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    virtual bool CanFocus();
    virtual bool Focused();
    virtual void SetFocus();
    // The next tab stop after Current (or the first), within this control.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    void SelectFirst();

    // --- Painting ----------------------------------------------------------------
    TBrush* Brush() const noexcept { return brush_.get(); }
    bool DoubleBuffered() const noexcept { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    // The control and its children painted into DC with its top-left at (X, Y).
    void PaintTo(HDC dc, int x, int y);
    // Paints the window-less children from First (all: null) up in z-order, each clipped to its bounds.
    void PaintControls(HDC dc, TControl* first);
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetBorderWidth(int value);
    bool Ctl3D() const noexcept { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const noexcept { return parentCtl3D_; }
    void SetParentCtl3D(bool value);
    TBevelEdges BevelEdges() const noexcept { return bevelEdges_; }
    void SetBevelEdges(TBevelEdges value) { SetBevel(bevelEdges_, value); }
    TBevelCut BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TBevelCut value) { SetBevel(bevelInner_, value); }
    TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value) { SetBevel(bevelOuter_, value); }
    TBevelKind BevelKind() const noexcept { return bevelKind_; }
    void SetBevelKind(TBevelKind value) { SetBevel(bevelKind_, value); }
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int value) { SetBevel(bevelWidth_, value); }
    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode value) { imeMode_ = value; }
    const String& ImeName() const noexcept { return imeName_; }
    void SetImeName(const String& value) { imeName_ = value; }

    // --- Alignment ----------------------------------------------------------------
    void DisableAlign() { ++alignLevel_; }
    void EnableAlign();
    void Realign();
    // A child's bounds or alignment changed.
    void AlignControl(TControl* control);

    // --- Overrides -------------------------------------------------------------------
    void SetBounds(int left, int top, int width, int height) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    bool Showing() override { return showing_; }
    void SetZOrder(bool topMost) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    void WndProc(TMessage& message) override;
    // Entry from the window: WindowProc, with exceptions to the application.
    LRESULT MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    virtual void CreateParams(TCreateParams& params);
    // Registers a private copy of a predefined window class (e.g. "EDIT")
    // whose procedure the control then wraps.
    void CreateSubClass(TCreateParams& params, const char16_t* controlClassName);
    void CreateHandle();
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void DestroyHandle();
    // The window is about to go; it comes back through CreateWnd.
    void UpdateShowing();
    void UpdateControlState();
    // Whether the control is a window on its own (a form) rather than a part of one.
    virtual bool IsRootWindow() const { return parentWindow_ != nullptr; }

    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char16_t& key);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    // Form key preview, then KeyDown; true when the key was taken (set to 0).
    bool DoKeyDown(TMessage& m);
    bool DoKeyPress(TMessage& m);
    bool DoKeyUp(TMessage& m);

    virtual void PaintWindow(HDC dc);
    void PaintHandler(TMessage& m);
    virtual void AlignControls(TControl* control, TRect& rect);
    // The part of the client area the aligned children share.
    virtual void AdjustClientRect(TRect& rect);
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void ChangeScale(int multiplier, int divider) override;
    void Loaded() override;
    String GetText() override;
    void SetTextValue(const String& value) override;

    // Focus bookkeeping of the enclosing form; the window keeps the real focus.
    void RemoveFocus(bool removing);
    void MoveGraphicControl(TControl* control, bool topMost);
    void UpdateBounds();
    void UpdateTabOrder(int value);

    // Handlers.
    void WMPaint(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMPrintClient(TMessage& m);
    void WMNCCalcSize(TMessage& m);
    void WMNCPaint(TMessage& m);
    void WMWindowPosChanged(TMessage& m);
    void WMSize(TMessage& m);
    void WMMove(TMessage& m);
    void WMGetMinMaxInfo(TMessage& m);
    void WMSetCursor(TMessage& m);
    void WMKeyDown(TMessage& m);
    void WMSysKeyDown(TMessage& m);
    void WMKeyUp(TMessage& m);
    void WMSysKeyUp(TMessage& m);
    void WMChar(TMessage& m);
    void WMReflect(TMessage& m);
    void WMDrawItem(TMessage& m);
    void WMMeasureItem(TMessage& m);
    void WMContextMenu(TMessage& m);
    void WMSysColorChange(TMessage& m);
    void WMCancelMode(TMessage& m);
    void WMNCDestroy(TMessage& m);
    void WMUIState(TMessage& m);
    void CNKeyDown(TMessage& m);
    void CNKeyUp(TMessage& m);
    void CNChar(TMessage& m);
    void CMEnter(TMessage& m);
    void CMExit(TMessage& m);
    void CMFocusChanged(TMessage& m);
    void CMShowingChanged(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMColorChanged(TMessage& m);
    void CMShowHintChanged(TMessage& m);
    void CMBiDiModeChanged(TMessage& m);
    void CMCursorChanged(TMessage& m);
    void CMCtl3DChanged(TMessage& m);
    void CMParentCtl3DChanged(TMessage& m);
    void CMSysColorChange(TMessage& m);
    void CMRecreateWnd(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMChildKey(TMessage& m);

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool showing_ = false;
    bool tabStop_ = false;

private:
    template <class T>
    void SetBevel(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWnd();
    }
    // Showing changes go down the tree: a control that stops showing takes
    // its windowed descendants with it; showing again, UpdateShowing brings back the visible ones.
    void SetShowing(bool value);
    void HideChildren();
    void InsertIntoList(TControl* control);
    void EndDeferredRedraw();
    bool IsControlMouseMsg(TMessage& m);
    // Places the visible children of one alignment within Rect, Control first among its equals.
    void AlignKind(TAlign kind, TControl* control, TRect& rect, const TRect& parentRect);
    void SetWindowFont();
    void PaintNonClient(HDC dc);
    // Space the frame, bevels and border take from each side of the window.
    TRect NonClientMargins() const;

    HWND parentWindow_ = nullptr;
    WNDPROC objectInstance_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> winControls_;
    std::vector<TWinControl*> tabList_;
    std::unique_ptr<TBrush> brush_;
    bool doubleBuffered_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    int borderWidth_ = 0;
    TBevelEdges bevelEdges_{beLeft, beTop, beRight, beBottom};
    TBevelCut bevelInner_ = bvRaised;
    TBevelCut bevelOuter_ = bvLowered;
    TBevelKind bevelKind_ = bkNone;
    int bevelWidth_ = 1;
    TImeMode imeMode_ = imDontCare;
    String imeName_;
    int alignLevel_ = 0;
    // While the children are aligned their moves paint nothing; the window is painted once after.
    bool redrawDeferred_ = false;
    bool redrawNeeded_ = false;
    // TabOrder set while loading, applied when every sibling is there.
    int pendingTabOrder_ = -1;

    friend class TControl;
};

// The control of a window made by the framework; null for other windows.
TWinControl* FindControl(HWND hwnd);
// The deepest enabled control at a screen point, window-less ones included.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
// Hands a key message to the focused control as CN_KEYDOWN... before it is
// translated, or to the window holding the capture while one does; true
// when it was taken.
bool IsKeyMessage(MSG& msg);
