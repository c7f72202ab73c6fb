#pragma once
// The receiving end of drag and drop: a component that makes windowed
// controls accept drops, follows the drag over them, reads the dropped data
// through its data formats and hands it to its owner in events. Every
// IDropTarget call catches what its handlers raise and answers E_UNEXPECTED
// with effect 0.

#include <atomic>
#include <vector>

#include "controls/dragdrop/DragDropComponent.h"
#include "controls/dragdrop/DropTargetHelper.h"
#include "controls/dragdrop/MouseSpeedMeter.h"
#include "controls/dragdrop/UnicodeStrings.h"
#include "platform/rtl/Geometry.h"
#include "platform/ui/WinControl.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/imagelist/ImageList.h"

class TTimer;

enum class TDragType { dtCopy, dtMove, dtLink };
using enum TDragType;
using TDragTypes = TSet<TDragType>;

// Client point of the current target; Effect in, the answer out.
using TDropTargetEvent = std::function<void(TObject* sender, TShiftState shift, TPoint point, DWORD& effect)>;
enum class TScrollDirection { sdUp, sdDown, sdLeft, sdRight };
using enum TScrollDirection;
using TScrollDirections = TSet<TScrollDirection>;

// Point: the last client point; the handler may change what scrolls and the
// milliseconds until the next step.
using TDropTargetScrollEvent =
    std::function<void(TObject* sender, TPoint point, TScrollDirections& scroll, int& interval)>;
using TAcceptFormatEvent = std::function<void(TObject* sender, TCustomDataFormat& format, bool& accept)>;

class TCustomDropTarget : public TImplements<TDragDropComponent, IDropTarget> {
    RTL_CLASS(TCustomDropTarget, TDragDropComponent);

public:
    explicit TCustomDropTarget(TComponent* owner);
    ~TCustomDropTarget() override;

    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) override;
    HRESULT DragOver(DWORD keyState, POINTL point, DWORD& effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) override;

    // Registers Target (through a proxy window with AutoRegister); with
    // MultiTarget false the others are unregistered first.
    void Register(TWinControl* target);
    // Null unregisters every control, the last first.
    void Unregister(TWinControl* target = nullptr);
    // The registered control under the cursor during a drag, else null.
    TWinControl* Target() const noexcept { return currentTarget_; }
    void SetTarget(TWinControl* value);
    const std::vector<TWinControl*>& Targets() const noexcept { return targets_; }
    IDataObject* DataObject() const noexcept { return dataObject_.get(); }

    // The effect of a paste, 0 when nothing could be read; raises
    // EOleSysError when the clipboard cannot be opened.
    DWORD PasteFromClipboard();
    bool CanPasteFromClipboard();

    // Shows or hides a drag image already shown.
    bool ShowImage() const noexcept { return showImage_; }
    void SetShowImage(bool value);
    // Client coordinates of the current target: inside it nothing scrolls.
    const TRect& NoScrollZone() const noexcept { return noScrollZone_; }

    // The first scroll after the cursor comes to rest, and between scrolls.
    static constexpr uint32_t kScrollDelay = 50;
    static constexpr uint32_t kScrollInterval = 50;

    TDragTypes DragTypes;
    bool GetDataOnEnter = false;
    bool Enabled = true;
    bool MultiTarget = false;
    bool AutoRegister = true;
    bool AutoScroll = true;
    bool OptimizedMove = false;
    // Lets a source in asynchronous mode be read on a worker thread after the drop.
    bool AllowAsyncTransfer = false;
    // An asynchronous transfer runs: from its start until its completion on the main thread.
    bool AsyncTransfer() const noexcept { return asyncTransfer_; }
    TNotifyEvent OnStartAsyncTransfer, OnEndAsyncTransfer;
    TDropTargetEvent OnEnter, OnDragOver, OnDrop, OnGetDropEffect;
    TNotifyEvent OnLeave;
    TDropTargetScrollEvent OnScroll;

    // Key state bits as a shift state.
    static TShiftState KeyStateToShiftState(DWORD keyState) noexcept;
    // The control under Point, or its first registered ancestor; null when none.
    virtual TWinControl* FindTarget(POINT screenPoint) const;

protected:
    void GetCompatibleClipboardFormats(TClass dataFormatClass, TClipboardFormats& formats) override;
    void Notification(TComponent* component, TOperation operation) override;

    virtual DWORD ChooseDropEffect(TShiftState shift, TPoint point, DWORD effect);
    virtual void HandleEnter(TShiftState shift, TPoint point, DWORD& effect);
    virtual void HandleDragOver(TShiftState shift, TPoint point, DWORD& effect);
    virtual void HandleDrop(TShiftState shift, TPoint point, DWORD& effect);
    virtual void HandleLeave();
    virtual void HandleScroll(TPoint point, TScrollDirections& scroll, int& interval);
    // Reads the formats, or starts an asynchronous transfer that will.
    virtual bool FetchData(DWORD effect);
    virtual bool ReadFormats() = 0;
    virtual void ClearFormats() = 0;
    virtual bool HasValidFormats(IDataObject& data) = 0;
    virtual DWORD ReadPreferredDropEffect();

private:
    friend class TDropTargetTransferThread;
    // On the transfer thread: reads the formats and handles the drop.
    void TransferData(DWORD& effect);
    // On the main thread after the transfer thread.
    void EndAsyncTransfer();
    bool StartAsyncTransfer(DWORD effect);
    // Lets the data object go, unless a transfer thread still reads it.
    void ReleaseDataObject();
    // The control the drag is over is being freed.
    void EndDragOverFreedTarget();

    TPoint ClientPoint(POINTL screen) const;
    // The target's client point in coordinates of its window rectangle.
    POINT WindowPoint(TPoint client) const;

    // Auto-scroll (DropTargetScroll.cpp).
    void SetUpAutoScroll();
    bool MouseRests(POINT screen);
    void ControlScrollTimer(DWORD effect, POINTL screen);
    void StopScrollTimer();
    void ScrollStep();
    TScrollDirections ScrollWanted();

    // The drag image (DropTargetImage.cpp).
    void CreateDragCursorImage();
    void DragImageEnter(IDataObject* data, POINTL screen, DWORD effect);
    void DragImageMove(POINTL screen, TPoint client, DWORD effect);
    void DragImageLeave();
    void DragImageDrop(IDataObject* data, POINTL screen, DWORD effect);
    void HideDragImage();
    void ShowDragImageAgain();

    TIntfPtr<IDataObject> dataObject_;
    std::vector<TWinControl*> targets_;
    TWinControl* currentTarget_ = nullptr;
    TPoint lastPoint_{};
    bool horizontalBar_ = false, verticalBar_ = false;
    TRect noScrollZone_{};
    TTimer* scrollTimer_;
    TMouseSpeedMeter mouseSpeed_;
    bool showImage_ = true;
    HIMAGELIST imageList_ = nullptr;
    HIMAGELIST dragImage_ = nullptr;
    TIntfPtr<IDropTargetHelper> dropTargetHelper_;
    std::atomic<bool> asyncTransfer_ = false;
};

// A drop target reading every data format it holds.
class TCustomDropMultiTarget : public TCustomDropTarget {
    RTL_CLASS(TCustomDropMultiTarget, TCustomDropTarget);

public:
    explicit TCustomDropMultiTarget(TComponent* owner);
    // Frees the data formats still held, the last first.
    ~TCustomDropMultiTarget() override;

    TAcceptFormatEvent OnAcceptFormat;

protected:
    bool ReadFormats() override;
    void ClearFormats() override;
    bool HasValidFormats(IDataObject& data) override;
    virtual void HandleAcceptFormat(TCustomDataFormat& format, bool& accept);
};

class TFileDataFormat;
class TFileMapDataFormat;

// Files dropped from file managers: their full paths in Files, and the names
// they are to get in MappedNames when the source gives them.
class TDropFileTarget : public TCustomDropMultiTarget {
    RTL_CLASS(TDropFileTarget, TCustomDropMultiTarget);

public:
    explicit TDropFileTarget(TComponent* owner);
    ~TDropFileTarget() override;

    TUnicodeStrings& Files();
    TUnicodeStrings& MappedNames();

protected:
    // A source naming no preferred effect prefers a copy.
    DWORD ReadPreferredDropEffect() override;

private:
    TFileDataFormat* fileFormat_;
    TFileMapDataFormat* fileMapFormat_;
};

// A hidden child window that carries the registration of its parent: it
// registers the parent when its window is made and revokes it when its
// window goes, so the registration follows every new window of the parent.
class TWinControlProxy : public TWinControl {
    RTL_CLASS(TWinControlProxy, TWinControl);

public:
    TWinControlProxy(TCustomDropTarget* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    TCustomDropTarget* dropTarget_;
};
