#include "platform/win/backend/qt/QtPresenter.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethod>
#include <QPixmap>
#include <QThread>

#include <optional>

#include "platform/win/backend/qt/IconImages.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/input/Input.h"
#include "platform/win/window/Windows.h"

namespace {

Qt::CursorShape ShapeOf(HCURSOR cursor) {
    if (!cursor) return Qt::BlankCursor;
    switch (reinterpret_cast<uintptr_t>(cursor)) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32640:
    case 32646: return Qt::SizeAllCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
    case 32760: return Qt::DragCopyCursor;
    case 32761: return Qt::DragMoveCursor;
    case 32762: return Qt::DragLinkCursor;
    default: return Qt::ArrowCursor;
    }
}

// An image cursor as its picture with its hot spot; none for the standard ones.
std::optional<QCursor> ImageCursorOf(HCURSOR cursor) {
    POINT hot{};
    const QImage image = ImageOfIcon(HICON(cursor), &hot);
    if (image.isNull()) return std::nullopt;
    return QCursor(QPixmap::fromImage(image), hot.x, hot.y);
}

} // namespace

TQtPresenter::TQtPresenter() {
    QObject::connect(static_cast<QGuiApplication*>(QCoreApplication::instance()), &QGuiApplication::focusWindowChanged,
                     &context_, [this](QWindow* focus) { FocusWindowChanged(focus); });
}

TQtPresenter::~TQtPresenter() = default;

bool TQtPresenter::OnGuiThread() const { return QThread::currentThread() == context_.thread(); }

TPresenterWindow* TQtPresenter::WindowOf(HWND top) const {
    const auto found = windows_.find(top);
    return found != windows_.end() ? found->second.get() : nullptr;
}

void TQtPresenter::Present(HWND window, const TSurface& surface, std::span<const RECT> dirty) {
    if (!OnGuiThread()) return;
    if (TPresenterWindow* w = WindowOf(window)) w->Present(surface, dirty);
}

void TQtPresenter::TopLevelChanged(HWND window, const TTopLevelState& state) {
    if (!OnGuiThread()) return;
    TPresenterWindow* w = WindowOf(window);
    if (!w) {
        if (!state.visible) return;
        w = windows_.emplace(window, std::make_unique<TPresenterWindow>(*this, window)).first->second.get();
    }
    w->Apply(state);
    if (state.visible && GetCapture() && GetAncestor(GetCapture(), GA_ROOT) == window) CaptureChanged(GetCapture());
}

void TQtPresenter::TopLevelDestroyed(HWND window) {
    if (!OnGuiThread()) return;
    const auto found = windows_.find(window);
    if (found == windows_.end()) return;
    std::unique_ptr<TPresenterWindow> w = std::move(found->second);
    windows_.erase(found);
    w->Detach();
    w->hide();
    for (auto& [hwnd, other] : windows_)
        if (other->transientParent() == w.get()) other->setTransientParent(nullptr);
    if (eventDepth_ > 0) retired_.push_back(std::move(w));
}

void TQtPresenter::EndDesktopEvent() {
    if (--eventDepth_ == 0) retired_.clear();
}

bool TQtPresenter::StartSystemMove(HWND window) {
    if (!OnGuiThread()) return false;
    TPresenterWindow* w = WindowOf(window);
    return w && w->isVisible() && w->startSystemMove();
}

bool TQtPresenter::StartSystemResize(HWND window, UINT edge) {
    if (!OnGuiThread()) return false;
    TPresenterWindow* w = WindowOf(window);
    if (!w || !w->isVisible()) return false;
    Qt::Edges edges;
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) edges |= Qt::LeftEdge;
    if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) edges |= Qt::RightEdge;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) edges |= Qt::TopEdge;
    if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) edges |= Qt::BottomEdge;
    return edges && w->startSystemResize(edges);
}

void TQtPresenter::ActiveChanged(HWND active) {
    if (!OnGuiThread()) return;
    TPresenterWindow* w = WindowOf(active);
    if (w && w->AcceptsFocus() && w->isVisible() && QGuiApplication::focusWindow() != w) w->requestActivate();
}

void TQtPresenter::FocusWindowChanged(QWindow* focus) {
    const QPointer<QWindow> previous = qtFocus_;
    qtFocus_ = focus;
    auto* w = dynamic_cast<TPresenterWindow*>(focus);
    if (!w || !w->Handle()) {
        // Another program took the focus, unless our own hiding or destroying
        // of the focused window left Qt without one.
        const bool ownDoing = !focus && (!previous || !previous->isVisible());
        if (!ownDoing && GetActiveWindow()) DesktopActivate(nullptr);
        return;
    }
    if (!w->AcceptsFocus()) return;
    // The keyboard reaches a window that is active, or owns the active popup, as it is.
    for (HWND active = GetActiveWindow(); active; active = GetWindow(active, GW_OWNER))
        if (active == w->Handle()) return;
    if (IsWindowEnabled(w->Handle())) {
        DesktopActivate(w->Handle());
        return;
    }
    // A window disabled by a modal window it owns: that one is activated instead.
    for (const auto& [hwnd, other] : windows_)
        if (GetWindow(hwnd, GW_OWNER) == w->Handle() && IsWindowEnabled(hwnd) && IsWindowVisible(hwnd) &&
            other->AcceptsFocus()) {
            DesktopActivate(hwnd);
            return;
        }
}

void TQtPresenter::CaptureChanged(HWND capture) {
    if (!OnGuiThread()) return;
    TPresenterWindow* top = capture ? WindowOf(GetAncestor(capture, GA_ROOT)) : nullptr;
    // Whatever holds the capture (a menu, a dropped-down list, a drag) has
    // every click, also one in another program's window, which then closes
    // it as a click elsewhere in ours does.
    QWindow* grab = top && top->isVisible() ? top : nullptr;
    if (grab != grab_) {
        if (grab_) grab_->setMouseGrabEnabled(false);
        grab_ = grab;
        if (grab_) grab_->setMouseGrabEnabled(true);
    }
    ApplyCursor();
}

void TQtPresenter::CursorChanged() {
    if (OnGuiThread()) ApplyCursor();
}

void TQtPresenter::PointerOver(TPresenterWindow* window) {
    if (pointerWindow_ == window) return;
    pointerWindow_ = window;
    ApplyCursor();
}

// The cursor shows over the window under the pointer, or everywhere over the
// capture's window while it grabs the pointer.
void TQtPresenter::ApplyCursor() {
    QWindow* target = pointerWindow_;
    if (const HWND capture = GetCapture())
        if (TPresenterWindow* top = WindowOf(GetAncestor(capture, GA_ROOT))) target = top;
    if (cursorWindow_ && cursorWindow_ != target) cursorWindow_->unsetCursor();
    cursorWindow_ = target;
    if (!target) return;
    const HCURSOR cursor = DesktopCursor();
    if (cursor == imageCursor_ && target->cursor().shape() == Qt::BitmapCursor) return;
    if (const std::optional<QCursor> image = ImageCursorOf(cursor)) {
        target->setCursor(*image);
        imageCursor_ = cursor;
        return;
    }
    imageCursor_ = nullptr;
    const Qt::CursorShape shape = ShapeOf(cursor);
    if (target->cursor().shape() != shape) target->setCursor(shape);
}

void TQtPresenter::TextInputChanged() {
    if (OnGuiThread()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImCursorRectangle | Qt::ImHints);
}
