#pragma once
// The extended control base: one pattern over each framework base (custom
// control, graphic control, form, edit, list box ...). The framework's
// notifications and a few window messages become virtual Handle...
// operations whose default hands the message on to the base's handling;
// the pointer's presence is tracked with OnMouseEnter and OnMouseLeave; a
// control has its own hint colour (clDefault asks the parent, clNone takes
// the application's) and, when windowed, an optional focus frame.
//
// Order with the inherited handling: OnMouseEnter before, OnMouseLeave and
// OnParentColorChange after; HandleBoundsChanged and HandleGetDlgCode after.
//
// The message 0xB7D0 asks whether the control implements
// IXcExControlQuery (answer 1) or not (0).

#include <type_traits>

#include "controls/XcDialogCodes.h"
#include "platform/rtl/Interfaces.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Control.h"
#include "platform/ui/Hints.h"
#include "platform/ui/WinControl.h"

constexpr UINT CM_XCEXQUERY = CM_BASE + 2000;

// Focus-frame colours.
constexpr TColor kXcFocusFrameColor = 0x733800;
constexpr TColor kXcUnfocusedFrameColor = 0x808080;

// Every extended base implements this marker.
class IXcExControl : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{8E6579C3-D683-4562-AFAB-D23C8526E386}");
};

// A control whose class implements this answers CM_XCEXQUERY with 1.
class IXcExControlQuery : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{76942BC0-2A6E-4DC4-BFC9-8E110DB7F601}");
};

// A message whose lParam points at a structure (the hint information), with
// Result 0, for the inherited handling.
struct TStructPtrMessage {
    TStructPtrMessage(UINT message, void* data, WPARAM wParam = 0) noexcept
        : Message{message, wParam, LPARAM(data), 0} {}
    TMessage Message;
};

template <class TBase>
class TXcExControl : public TBase, public IXcExControl {
public:
    static constexpr bool kWindowed = std::is_base_of_v<TWinControl, TBase>;

    explicit TXcExControl(TComponent* owner) : TBase(owner) {}

    bool GetInterface(const TGUID& iid, void** obj) override;

    TColor HintColor() const noexcept { return hintColor_; }
    void SetHintColor(TColor value) noexcept { hintColor_ = value; }
    bool MouseOver() const noexcept { return mouseOver_; }
    // The hint window's class, THintWindow or a descendant; null: the application's.
    TClass HintWindowClass() const noexcept { return hintWindowClass_; }
    void SetHintWindowClass(TClass value) noexcept { hintWindowClass_ = value; }
    // Windowed controls only: a two-pixel frame, blue while focused or hovered.
    bool DotNetHighlighting() const noexcept { return dotNetHighlighting_; }
    void SetDotNetHighlighting(bool value) noexcept { dotNetHighlighting_ = value; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

protected:
    void WndProc(TMessage& message) override;
    // A message of these numbers, through the base's handling; its Result.
    LRESULT InheritedResult(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void HandleTextChanged();
    // True when the control takes the key.
    virtual bool HandleDialogChar(WORD key, TShiftState shift, const String& character);
    // True when the point (client coordinates) hits the control.
    virtual bool HandleHitTest(int x, int y);
    virtual void HandleBoundsChanged() {}
    virtual void HandleGetDlgCode(TDialogCodeFlags& codes) {}
    virtual void HandleSetFocus(HWND losing);
    virtual void HandleKillFocus(HWND receiving);
    // True when erased.
    virtual bool HandleEraseBackground(TCanvas* canvas, LPARAM param);

    virtual void HandleFocusChanged(TWinControl* focused);
    virtual void HandleVisibleChanged();
    virtual void HandleEnabledChanged();
    virtual void HandleColorChanged();
    virtual void HandleFontChanged();
    virtual void HandleParentFontChanged();
    virtual void HandleParentColorChanged();
    virtual void HandleParentShowHintChanged();
    // True when the inherited handling refused the hint.
    virtual bool HandleHintShow(THintInfo& info);
    virtual void HandleMouseEnter(TControl* control);
    virtual void HandleMouseLeave(TControl* control);
    virtual void HandleCursorChanged();
    virtual void HandleShowingChanged();
    virtual void HandleShowHintChanged();
    virtual void HandleControlListChanging(TControl* control, bool inserting);
    virtual void HandleControlListChanged(TControl* control, bool inserting);

private:
    // The message being handled, handed on unchanged by the defaults.
    LRESULT ResendCurrent();
    // True when the message went to an operation.
    bool DispatchToOperation(TMessage& message);
    void ApplyHintColor(THintInfo& info);
    void DrawFocusFrame();
    void InvalidateFocusRing();

    TColor hintColor_ = clDefault;
    bool mouseOver_ = false;
    TClass hintWindowClass_ = nullptr;
    bool dotNetHighlighting_ = false;
    TMessage* current_ = nullptr;
};
