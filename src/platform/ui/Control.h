#pragma once
// TControl: the base of every control. A control has a parent (a windowed
// control), bounds in its parent's client coordinates, visibility, a font,
// a colour, a text and a hint, and takes messages: WindowProc (replaceable,
// WndProc by default) hands them to the handler its class's message table
// names, else to DefaultHandler.
//
// A control without a window of its own (a graphic control) is painted by
// its parent and gets its mouse messages from it. Property changes become
// notifications (CM_): the control tells itself, and a parent's font,
// colour, show-hint and bidi-mode go to the children that follow the parent
// (ParentFont ...), which pass them on to theirs.

#include <functional>
#include <memory>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Set.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Events.h"
#include "platform/ui/Font.h"
#include "platform/ui/MessageTable.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
class TDragObject;
class IDragImages;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;
RTL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom);

enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
RTL_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom);
using TAnchors = TSet<TAnchorKind>;

enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
using enum TBiDiMode;
RTL_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly);

// Drag and drop (Drag.h): dmAutomatic starts a drag when the left button goes down.
enum class TDragMode { dmManual, dmAutomatic };
using enum TDragMode;
RTL_ENUM(TDragMode, dmManual, dmAutomatic);

// Docking drags are not supported: a control of kind dkDock starts no drag.
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;
RTL_ENUM(TDragKind, dkDrag, dkDock);

enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;
RTL_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove);

// OnStartDrag may give a drag object of its own (it stays the caller's);
// without one the framework makes a TDragControlObject.
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
// Source is the dragged control, or the drag object OnStartDrag gave. Accept starts true.
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
// Target is null when the drag was cancelled or refused.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

enum class TControlStyleFlag {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csParentBackground
};
using enum TControlStyleFlag;
RTL_ENUM(TControlStyleFlag, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
         csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
         csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csParentBackground);
using TControlStyle = TSet<TControlStyleFlag>;

enum class TControlStateFlag {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csRecreating, csAligning
};
using enum TControlStateFlag;
RTL_ENUM(TControlStateFlag, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
         csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csRecreating, csAligning);
using TControlState = TSet<TControlStateFlag>;

using TWindowProc = std::function<void(TMessage& message)>;

// Smallest and largest size a control may take; 0 is no limit.
class TSizeConstraints : public TPersistent {
    RTL_CLASS(TSizeConstraints, TPersistent);

public:
    explicit TSizeConstraints(TControl* control = nullptr) : control_(control) {}
    void Assign(TPersistent* source) override;

    int MaxHeight() const noexcept { return maxHeight_; }
    void SetMaxHeight(int value) { Set(maxHeight_, value); }
    int MaxWidth() const noexcept { return maxWidth_; }
    void SetMaxWidth(int value) { Set(maxWidth_, value); }
    int MinHeight() const noexcept { return minHeight_; }
    void SetMinHeight(int value) { Set(minHeight_, value); }
    int MinWidth() const noexcept { return minWidth_; }
    void SetMinWidth(int value) { Set(minWidth_, value); }

    TNotifyEvent OnChange;

private:
    void Set(int& field, int value);

    TControl* control_;
    int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

class TControl : public TComponent {
    RTL_CLASS(TControl, TComponent);

public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // --- Messages ------------------------------------------------------------
    static const TMessageTable& ClassMessages();
    virtual const TMessageTable& Messages() const { return ClassMessages(); }
    // Sends a message through WindowProc and answers its Result.
    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The class's handler for the message, else DefaultHandler.
    void Dispatch(TMessage& message);
    // What no handler took: a control without a window keeps its text here.
    virtual void DefaultHandler(TMessage& message);
    const TWindowProc& WindowProc() const noexcept { return windowProc_; }
    // An empty procedure restores WndProc.
    void SetWindowProc(TWindowProc value);

    // --- Parent and bounds -----------------------------------------------------
    TWinControl* Parent() const noexcept { return parent_; }
    virtual void SetParent(TWinControl* value);
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    int Left() const noexcept { return left_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    int Top() const noexcept { return top_; }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    int Width() const noexcept { return width_; }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    int Height() const noexcept { return height_; }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    TRect BoundsRect() const noexcept { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    // Applies constraints, moves the window or repaints the parent, asks the
    // parent to realign and reports WM_WINDOWPOSCHANGED to a window-less control.
    virtual void SetBounds(int left, int top, int width, int height);
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    void SetClientWidth(int value);
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientHeight(int value);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint point);
    TPoint ScreenToClient(TPoint point);

    // --- Visibility and state --------------------------------------------------
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    void Show();
    void Hide() { SetVisible(false); }
    // Visible, and so is every parent up to a showing window.
    virtual bool Showing();
    bool Enabled() const noexcept { return enabled_; }
    virtual void SetEnabled(bool value);
    TControlStyle ControlStyle() const noexcept { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState ControlState() const noexcept { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }

    // --- Alignment ------------------------------------------------------------
    TAlign Align() const noexcept { return align_; }
    virtual void SetAlign(TAlign value);
    TAnchors Anchors() const noexcept { return anchors_; }
    void SetAnchors(TAnchors value);
    TSizeConstraints* Constraints() const noexcept { return constraints_.get(); }
    void SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }
    bool AutoSize() const noexcept { return autoSize_; }
    virtual void SetAutoSize(bool value);
    // The anchor distances taken now stay: a control anchored right and
    // bottom keeps its distance to those edges of the parent.
    void UpdateAnchorRules();

    // --- Appearance -----------------------------------------------------------
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool value);
    // Caption and Text are one value; a windowed control keeps it in its window.
    String Text();
    void SetText(const String& value);
    String Caption() { return Text(); }
    void SetCaption(const String& value) { SetText(value); }
    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& value) { hint_ = value; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const noexcept { return parentShowHint_; }
    void SetParentShowHint(bool value);
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor value);
    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    // Kept and passed on; layout stays left to right.
    TBiDiMode BiDiMode() const noexcept { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const noexcept { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }

    // --- Z-order and painting ---------------------------------------------------
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }
    virtual void SetZOrder(bool topMost);
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // --- Mouse ----------------------------------------------------------------
    bool MouseCapture() const;
    void SetMouseCapture(bool value);
    // The control offered first for this window-less control's messages.
    static TControl* CaptureControl();
    static void SetCaptureControl(TControl* control);

    // --- Action -----------------------------------------------------------------
    // The action whose caption, enabled state, hint, visibility and help
    // context the control shows; a click executes it unless OnClick is set.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);
    TControlActionLink* ActionLink() const noexcept { return actionLink_.get(); }
    // Updates the action (idle passes call it for the clients of showing forms).
    virtual void InitiateAction();

    // Scaling between resolutions; the program runs at 96 pixels per inch and never calls it.
    void ScaleBy(int multiplier, int divider);

    // --- Drag and drop (Drag.cpp) ------------------------------------------------
    TDragMode DragMode() const noexcept { return dragMode_; }
    void SetDragMode(TDragMode value) { dragMode_ = value; }
    TCursor DragCursor() const noexcept { return dragCursor_; }
    void SetDragCursor(TCursor value) { dragCursor_ = value; }
    TDragKind DragKind() const noexcept { return dragKind_; }
    void SetDragKind(TDragKind value) { dragKind_ = value; }
    // Starts dragging this control: at once, or when the pointer has moved
    // Threshold pixels (below 0: Mouse().DragThreshold()). Raises
    // EInvalidOperation for a form; does nothing while a drag runs.
    void BeginDrag(bool immediate, int threshold = -1);
    // Ends this control's drag, dropping it on the target under the pointer or cancelling it.
    void EndDrag(bool drop);
    bool Dragging() const;
    // The image shown beside the pointer while this control is dragged; none by default.
    virtual IDragImages* GetDragImages() { return nullptr; }
    // Drops Source here at the client point: OnDragDrop.
    virtual void DragDrop(TObject* source, int x, int y);

    // --- Events ---------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent OnResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

protected:
    // Inside a handler: the parent class's handler for the message, else DefaultHandler.
    void DispatchFrom(const TMessageTable& table, TMessage& message);
    void InheritedMessage(TMessage& message) { DefaultHandler(message); }
    virtual void WndProc(TMessage& message);

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // True when the wheel was handled here.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    virtual void DoContextPopup(TPoint mousePos, bool& handled);
    virtual void Resize();
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    virtual void ChangeScale(int multiplier, int divider);
    // Takes the action's values; with CheckDefaults only into properties still at their defaults.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
    // The link this kind of control keeps with its action.
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();
    // A property that affects the parent's layout changed: realign the parent.
    void RequestAlign();
    virtual void AdjustSize();
    // Grows or shrinks to the content when AutoSize is on.
    virtual bool CanAutoSize(int& newWidth, int& newHeight);
    void DoAutoSize();
    void Changed() { Perform(CM_CHANGED, 0, LPARAM(this)); }
    // Constraints as OnConstrainedResize leaves them; 0 is no limit.
    struct TSizeLimits {
        int minWidth, minHeight, maxWidth, maxHeight;
    };
    TSizeLimits SizeLimits();
    // Fits the size into Constraints and OnConstrainedResize.
    void ApplyConstraints(int& width, int& height);
    virtual void VisibleChanging() {}
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // Bounds without side effects, for the parent's alignment.
    void UpdateBoundsRect(const TRect& r);
    void InvalidateControl(bool isVisible, bool isOpaque);
    void SendCancelMode(TControl* sender);
    // Text storage of a control without a window.
    virtual String GetText();
    virtual void SetTextValue(const String& value);
    TWinControl* ParentInternal() const noexcept { return parent_; }

    // Drag and drop.
    // The left button went down on a control with DragMode dmAutomatic.
    virtual void BeginAutoDrag();
    virtual void DoStartDrag(TDragObject*& dragObject);
    // Whether Source may be dropped at the client point: OnDragOver, refused without one.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    // The drag of this control was cancelled or refused; OnEndDrag follows.
    virtual void DragCanceled() {}
    virtual void DoEndDrag(TObject* target, int x, int y);
    // CM_DRAG on the target: the drag messages become DragOver and DragDrop.
    void DoDragMsg(TMessage& m);

    // Handlers.
    void WMLButtonDown(TMessage& m);
    void WMLButtonUp(TMessage& m);
    void WMLButtonDblClk(TMessage& m);
    void WMRButtonDown(TMessage& m);
    void WMRButtonUp(TMessage& m);
    void WMRButtonDblClk(TMessage& m);
    void WMMButtonDown(TMessage& m);
    void WMMButtonUp(TMessage& m);
    void WMMButtonDblClk(TMessage& m);
    void WMMouseMove(TMessage& m);
    void WMMouseWheel(TMessage& m);
    void WMContextMenu(TMessage& m);
    void WMCancelMode(TMessage& m);
    void CMVisibleChanged(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMColorChanged(TMessage& m);
    void CMParentFontChanged(TMessage& m);
    void CMParentColorChanged(TMessage& m);
    void CMParentShowHintChanged(TMessage& m);
    void CMParentBiDiModeChanged(TMessage& m);
    void CMHitTest(TMessage& m);
    void CMMouseEnter(TMessage& m);
    void CMMouseLeave(TMessage& m);
    void CMMouseWheel(TMessage& m);
    void CMDrag(TMessage& m);

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool autoSize_ = false;
    bool parentFont_ = true;
    bool parentColor_ = true;
    bool parentShowHint_ = true;
    bool parentBiDiMode_ = true;
    bool showHint_ = false;

private:
    bool IsColorStored() const { return !parentColor_; }
    bool IsFontStored() const { return !parentFont_; }
    bool IsShowHintStored() const { return !parentShowHint_; }
    bool IsBiDiModeStored() const { return !parentBiDiMode_; }
    void FontChanged();
    void DoMouseDown(TMessage& m, TMouseButton button, TShiftState shift);
    void DoMouseUp(TMessage& m, TMouseButton button);
    void ClickIfInside(TMessage& m);
    // Sends a notification to the control's window-less and windowed children
    // whose Parent flag is set; used by the setters of the parent's values.
    void NotifyChildren(UINT message);

    TWinControl* parent_ = nullptr;
    TWindowProc windowProc_;
    TAnchors anchors_{akLeft, akTop};
    // Distances kept for right and bottom anchors.
    TPoint anchorRules_;
    TSize originalParentSize_;
    std::unique_ptr<TSizeConstraints> constraints_;
    TColor color_ = clWindow;
    std::unique_ptr<TFont> font_;
    String text_;
    String hint_;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TBiDiMode biDiMode_ = bdLeftToRight;
    int helpContext_ = 0;
    int wheelAccumulator_ = 0;
    std::unique_ptr<TControlActionLink> actionLink_;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
    TDragKind dragKind_ = dkDrag;

    friend class TWinControl;
    friend class TBaseDragControlObject;
};

// What the application learns from every control: the mouse messages it
// takes (for hints) and its end.
class IControlObserver {
public:
    virtual ~IControlObserver() = default;
    virtual void MouseMessage(TControl* control, const TMessage& message) = 0;
    virtual void ControlDestroyed(TControl* control) = 0;
};
// Registers the observer (null: none) and returns the previous one.
IControlObserver* SetControlObserver(IControlObserver* observer);

// The form a control sits on: the topmost one, or the nearest with TopForm false.
TCustomForm* GetParentForm(TControl* control, bool topForm = true);

// The shift state of a mouse message's key flags.
TShiftState KeysToShiftState(WPARAM keys);
// The shift state of the keyboard now (Shift, Ctrl and Alt).
TShiftState KeyboardStateToShiftState();
