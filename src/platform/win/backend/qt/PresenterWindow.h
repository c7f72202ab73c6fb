#pragma once
// One top-level window of ours on the desktop: a QWindow showing the window's
// surface through a QBackingStore, and turning what Qt tells it into desktop
// events of the window system.

#include <span>

#include <QBackingStore>
#include <QWindow>

#include "platform/win/paint/Surface.h"

class TQtPresenter;

// What the desktop makes of a top-level window.
enum class TTopLevelKind {
    Form,  // decorated and moved by the window manager
    Alert, // an unowned topmost tool popup: managed, kept above, never focused
    Popup, // any other popup without caption: unmanaged, never focused
};
TTopLevelKind TopLevelKindOf(const TTopLevelState& state);
Qt::WindowFlags WindowFlagsOf(const TTopLevelState& state);

class TPresenterWindow : public QWindow {
public:
    TPresenterWindow(TQtPresenter& presenter, HWND hwnd);
    ~TPresenterWindow() override;

    HWND Handle() const noexcept { return hwnd_; }
    TTopLevelKind Kind() const noexcept { return kind_; }
    // Whether the desktop may give it the keyboard focus.
    bool AcceptsFocus() const noexcept;

    void Apply(const TTopLevelState& state);
    // Copies Dirty of the surface to the backing store and flushes it.
    void Present(const TSurface& surface, std::span<const RECT> dirty);
    // The window is being destroyed: no more desktop events for it.
    void Detach() noexcept { hwnd_ = nullptr; }
    // What the last flush covered (window coordinates).
    const QRegion& LastFlush() const noexcept { return lastFlush_; }

protected:
    bool event(QEvent* event) override;

private:
    void GeometryChanged();
    void StateChanged();
    void Expose();
    void Copy(const TSurface& surface, const QRegion& region);
    void UpdateMask(const TSurface* surface);
    void AnswerInputMethodQuery(class QInputMethodQueryEvent& query);
    void InputMethod(const class QInputMethodEvent& event);
    void DragEntered(class QDragEnterEvent& event);
    void DragMoved(class QDragMoveEvent& event);
    void Dropped(class QDropEvent& event);

    TQtPresenter& presenter_;
    HWND hwnd_;
    TTopLevelKind kind_ = TTopLevelKind::Form;
    QBackingStore store_;
    bool filled_ = false;     // the backing store holds the surface
    bool perPixelAlpha_ = false;
    bool shaped_ = false;
    QRegion shape_;
    QRegion lastFlush_;
    bool composing_ = false;
    DWORD style_ = 0;
    HICON smallIcon_ = nullptr, bigIcon_ = nullptr;
    QRect rect_;              // ours, in screen coordinates
};
