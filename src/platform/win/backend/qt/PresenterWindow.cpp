#include "platform/win/backend/qt/PresenterWindow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "platform/win/backend/qt/IconImages.h"
#include "platform/win/backend/qt/KeyMap.h"
#include "platform/win/backend/qt/QtPresenter.h"
#include "platform/win/backend/qt/QtStrings.h"
#include "platform/win/dataxfer/DesktopDrop.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/input/Input.h"

namespace {

constexpr DWORD kClickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
constexpr int kNoLimit = (1 << 24) - 1; // QWindow's own maximum size

QRect QRectOf(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

POINT PointOf(const QPointF& p) { return POINT{int(std::floor(p.x())), int(std::floor(p.y()))}; }

QRegion RegionOf(const TRegion& region) {
    QRegion result;
    for (const RECT& r : region.Rects()) result += QRectOf(r);
    return result;
}

bool ButtonOf(Qt::MouseButton qt, TDesktopButton& button) {
    switch (qt) {
    case Qt::LeftButton: button = TDesktopButton::Left; return true;
    case Qt::RightButton: button = TDesktopButton::Right; return true;
    case Qt::MiddleButton: button = TDesktopButton::Middle; return true;
    case Qt::BackButton: button = TDesktopButton::X1; return true;
    case Qt::ForwardButton: button = TDesktopButton::X2; return true;
    default: return false;
    }
}

DWORD EffectsOf(Qt::DropActions actions) {
    DWORD effects = DROPEFFECT_NONE;
    if (actions & Qt::CopyAction) effects |= DROPEFFECT_COPY;
    if (actions & Qt::MoveAction) effects |= DROPEFFECT_MOVE;
    if (actions & Qt::LinkAction) effects |= DROPEFFECT_LINK;
    return effects;
}

Qt::DropAction ActionOf(DWORD reported) {
    switch (reported) {
    case DROPEFFECT_COPY: return Qt::CopyAction;
    case DROPEFFECT_LINK: return Qt::LinkAction;
    default: return Qt::IgnoreAction;
    }
}

DWORD KeyStateOf(const QDropEvent& event) {
    DWORD keys = 0;
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
    if (modifiers & Qt::AltModifier) keys |= MK_ALT;
    return keys;
}

// The pixels of a surface with alpha, one row run each (the rectangles of the
// region are then already in the order QRegion::setRects asks for).
QRegion OpaquePixels(const TSurface& surface) {
    std::vector<QRect> runs;
    for (int y = 0; y < surface.height; ++y) {
        const uint32_t* row = surface.Row(y);
        for (int x = 0; x < surface.width;) {
            if (!(row[x] >> 24)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < surface.width && (row[x] >> 24)) ++x;
            runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

uint32_t Premultiplied(uint32_t pixel) noexcept {
    const uint32_t a = pixel >> 24;
    if (a == 255) return pixel;
    if (a == 0) return 0;
    const auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | scale(pixel >> 16 & 0xFF) << 16 | scale(pixel >> 8 & 0xFF) << 8 | scale(pixel & 0xFF);
}

// A row with its alpha bytes made opaque (a full surface should cost about a memcpy).
void CopyOpaque(uint32_t* __restrict to, const uint32_t* __restrict from, int count) noexcept {
    int x = 0;
#if defined(__SSE2__)
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    for (; x + 4 <= count; x += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x),
                         _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x)), opaque));
#endif
    for (; x < count; ++x) to[x] = from[x] | 0xFF000000u;
}

struct TSizeLimits {
    QSize minimum, maximum;
};

// A tracking size as a QWindow size; a side not above 0 becomes Otherwise.
QSize TrackSizeOf(SIZE size, int otherwise) {
    const auto side = [otherwise](LONG n) { return n > 0 ? std::min<int>(n, kNoLimit) : otherwise; };
    return QSize(side(size.cx), side(size.cy));
}

// What the window manager may size a window to: a form keeps to the tracking
// sizes it answered (equal ones make it fixed), one without a sizing frame to
// Size; the other kinds are sized by us alone.
TSizeLimits SizeLimitsOf(const TTopLevelState& state, QSize size) {
    if (TopLevelKindOf(state) != TTopLevelKind::Form) return {QSize(0, 0), QSize(kNoLimit, kNoLimit)};
    if (!(state.style & WS_THICKFRAME)) return {size, size};
    const QSize minimum = TrackSizeOf(state.minTrackSize, 0);
    return {minimum, TrackSizeOf(state.maxTrackSize, kNoLimit).expandedTo(minimum)};
}

} // namespace

TTopLevelKind TopLevelKindOf(const TTopLevelState& state) {
    const bool caption = (state.style & WS_CAPTION) == WS_CAPTION;
    if (!(state.style & WS_POPUP) || caption) return TTopLevelKind::Form;
    const DWORD alert = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    return (state.exStyle & alert) == alert && !state.owner ? TTopLevelKind::Alert : TTopLevelKind::Popup;
}

Qt::WindowFlags WindowFlagsOf(const TTopLevelState& state) {
    Qt::WindowFlags flags;
    switch (TopLevelKindOf(state)) {
    case TTopLevelKind::Form:
        flags = (state.exStyle & WS_EX_TOOLWINDOW ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint |
                Qt::WindowTitleHint;
        if (state.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (state.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
        if (state.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
        break;
    case TTopLevelKind::Alert:
        flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
        break;
    case TTopLevelKind::Popup: flags = Qt::ToolTip | Qt::FramelessWindowHint; break;
    }
    if (state.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    if (state.exStyle & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
    if ((state.exStyle & kClickThrough) == kClickThrough) flags |= Qt::WindowTransparentForInput;
    return flags;
}

TPresenterWindow::TPresenterWindow(TQtPresenter& presenter, HWND hwnd)
    : presenter_(presenter), hwnd_(hwnd), store_(this) {}

TPresenterWindow::~TPresenterWindow() = default;

bool TPresenterWindow::AcceptsFocus() const noexcept {
    return kind_ == TTopLevelKind::Form && !(flags() & Qt::WindowDoesNotAcceptFocus);
}

void TPresenterWindow::Apply(const TTopLevelState& state) {
    kind_ = TopLevelKindOf(state);
    style_ = state.style;
    const Qt::WindowFlags flags = WindowFlagsOf(state);
    if (flags != this->flags()) setFlags(flags);
    // An alpha channel needs a surface format chosen before the platform window exists.
    if (state.perPixelAlpha != perPixelAlpha_) {
        perPixelAlpha_ = state.perPixelAlpha;
        if (handle()) destroy();
        QSurfaceFormat format = requestedFormat();
        format.setAlphaBufferSize(perPixelAlpha_ ? 8 : -1);
        setFormat(format);
        filled_ = false;
    }
    const QString title = QStringOf(state.title);
    if (title != this->title()) setTitle(title);
    if (state.smallIcon != smallIcon_ || state.bigIcon != bigIcon_) {
        smallIcon_ = state.smallIcon;
        bigIcon_ = state.bigIcon;
        setIcon(WindowIconOf(smallIcon_, bigIcon_));
    }
    const qreal opacity = state.alpha / 255.0;
    if (opacity != this->opacity()) setOpacity(opacity);
    QWindow* owner = state.owner ? presenter_.WindowOf(state.owner) : nullptr;
    if (owner != transientParent()) setTransientParent(owner);
    shaped_ = state.shaped;
    shape_ = shaped_ ? RegionOf(state.shape) : QRegion();
    UpdateMask(perPixelAlpha_ ? WindowSurface(hwnd_) : nullptr);

    const bool minimized = state.style & WS_MINIMIZE;
    const bool maximized = state.style & WS_MAXIMIZE;
    rect_ = QRectOf(state.rect);
    // A minimized window's rectangle is our parking place, not the desktop's;
    // a maximized one's is the desktop's to choose.
    if (!minimized && !maximized) {
        const TSizeLimits limits = SizeLimitsOf(state, rect_.size());
        // The new rectangle may lie outside the old limits: they widen first.
        setMinimumSize(minimumSize().boundedTo(limits.minimum));
        setMaximumSize(maximumSize().expandedTo(limits.maximum));
        if (!rect_.isEmpty() && geometry() != rect_) setGeometry(rect_);
        setMinimumSize(limits.minimum);
        setMaximumSize(limits.maximum);
    }
    const Qt::WindowStates states = minimized ? Qt::WindowMinimized : maximized ? Qt::WindowMaximized : Qt::WindowNoState;
    if (states != windowStates()) setWindowStates(states);
    const bool visible = state.visible && (minimized || !rect_.isEmpty());
    if (visible != isVisible()) setVisible(visible);
}

bool TPresenterWindow::event(QEvent* event) {
    if (!hwnd_) return QWindow::event(event);
    presenter_.BeginDesktopEvent();
    struct TEnd {
        TQtPresenter& presenter;
        ~TEnd() { presenter.EndDesktopEvent(); }
    } end{presenter_};
    switch (event->type()) {
    case QEvent::Expose:
        Expose();
        return true;
    case QEvent::Move:
    case QEvent::Resize:
        GeometryChanged();
        return QWindow::event(event);
    case QEvent::WindowStateChange:
        StateChanged();
        return QWindow::event(event);
    case QEvent::Close:
        event->ignore();
        DesktopCloseRequest(hwnd_);
        return true;
    case QEvent::Enter:
        presenter_.PointerOver(this);
        DesktopMouseMove(PointOf(static_cast<QEnterEvent*>(event)->globalPosition()));
        return true;
    case QEvent::Leave:
        DesktopMouseLeave(PointOf(QCursor::pos(screen())));
        return true;
    case QEvent::MouseMove:
        presenter_.PointerOver(this);
        DesktopMouseMove(PointOf(static_cast<QMouseEvent*>(event)->globalPosition()));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        presenter_.PointerOver(this);
        TDesktopButton button;
        if (ButtonOf(mouse->button(), button))
            DesktopMouseButton(button, event->type() == QEvent::MouseButtonPress, PointOf(mouse->globalPosition()));
        return true;
    }
    case QEvent::MouseButtonDblClick: return true; // the window system makes its own
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const POINT pt = PointOf(wheel->globalPosition());
        // Qt's units are ours; to the right is negative in Qt, positive in ours.
        if (wheel->angleDelta().y()) DesktopMouseWheel(wheel->angleDelta().y(), false, pt);
        if (wheel->angleDelta().x()) DesktopMouseWheel(-wheel->angleDelta().x(), true, pt);
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const QString platform = QGuiApplication::platformName();
        if (const auto key = DesktopKeyOf(*static_cast<QKeyEvent*>(event), platform == "xcb" || platform == "wayland"))
            DesktopKey(*key);
        return true;
    }
    case QEvent::InputMethodQuery:
        AnswerInputMethodQuery(*static_cast<QInputMethodQueryEvent*>(event));
        return true;
    case QEvent::InputMethod:
        InputMethod(*static_cast<QInputMethodEvent*>(event));
        return true;
    case QEvent::DragEnter:
        DragEntered(*static_cast<QDragEnterEvent*>(event));
        return true;
    case QEvent::DragMove:
        DragMoved(*static_cast<QDragMoveEvent*>(event));
        return true;
    case QEvent::DragLeave:
        presenter_.Drops().Leave();
        return true;
    case QEvent::Drop:
        Dropped(*static_cast<QDropEvent*>(event));
        return true;
    default: return QWindow::event(event);
    }
}

void TPresenterWindow::GeometryChanged() {
    if (style_ & WS_MINIMIZE || !isVisible()) return;
    const QRect now = geometry();
    if (now == rect_) return;
    const HWND hwnd = hwnd_;
    if (now.topLeft() != rect_.topLeft()) DesktopMoveWindow(hwnd, POINT{now.x(), now.y()});
    if (hwnd_ && now.size() != rect_.size()) DesktopResizeWindow(hwnd, SIZE{now.width(), now.height()});
}

void TPresenterWindow::StateChanged() {
    const Qt::WindowStates states = windowStates();
    UINT command = 0;
    if (states & Qt::WindowMinimized) {
        if (!(style_ & WS_MINIMIZE)) command = SC_MINIMIZE;
    } else if (states & Qt::WindowMaximized) {
        if (!(style_ & WS_MAXIMIZE)) command = SC_MAXIMIZE;
    } else if (style_ & (WS_MINIMIZE | WS_MAXIMIZE)) {
        command = SC_RESTORE;
    }
    if (command) DesktopSysCommand(hwnd_, command);
}

void TPresenterWindow::Expose() {
    if (!isExposed()) return;
    const QRect all(QPoint(0, 0), size());
    if (!filled_ || store_.size() != size()) {
        const TSurface* surface = WindowSurface(hwnd_);
        if (!surface || surface->width != width() || surface->height != height()) return;
        store_.resize(size());
        Copy(*surface, all);
        filled_ = true;
    }
    store_.flush(all);
    lastFlush_ = all;
}

void TPresenterWindow::Present(const TSurface& surface, std::span<const RECT> dirty) {
    if (!handle() || surface.width <= 0 || surface.height <= 0) return;
    const QSize size(surface.width, surface.height);
    const QRect all(QPoint(0, 0), size);
    QRegion region;
    if (!filled_ || store_.size() != size) {
        store_.resize(size);
        region = all;
        filled_ = true;
    } else {
        for (const RECT& r : dirty) region += QRectOf(r);
        region &= all;
    }
    if (region.isEmpty()) return;
    Copy(surface, region);
    if (perPixelAlpha_) UpdateMask(&surface);
    if (!isExposed()) return;
    store_.flush(region);
    lastFlush_ = region;
}

void TPresenterWindow::Copy(const TSurface& surface, const QRegion& region) {
    store_.beginPaint(region);
    QPaintDevice* device = store_.paintDevice();
    QImage* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const bool direct = image && image->size() == QSize(surface.width, surface.height) &&
                        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32 ||
                         image->format() == QImage::Format_ARGB32_Premultiplied);
    if (direct) {
        const bool opaque = !perPixelAlpha_ || image->format() == QImage::Format_RGB32;
        const bool premultiply = image->format() == QImage::Format_ARGB32_Premultiplied;
        for (const QRect& r : region) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const uint32_t* from = surface.Row(y) + r.left();
                auto* to = reinterpret_cast<uint32_t*>(image->scanLine(y)) + r.left();
                if (opaque)
                    CopyOpaque(to, from, r.width());
                else if (premultiply)
                    for (int x = 0; x < r.width(); ++x) to[x] = Premultiplied(from[x]);
                else
                    std::memcpy(to, from, size_t(r.width()) * sizeof(uint32_t));
            }
        }
    } else if (device) {
        // Scaled or unusual stores: let Qt convert.
        const QImage source(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width, surface.height,
                            surface.width * 4, perPixelAlpha_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        QPainter painter(device);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : region) painter.drawImage(r, source, r);
    }
    store_.endPaint();
}

void TPresenterWindow::UpdateMask(const TSurface* surface) {
    QRegion mask = shape_;
    if (perPixelAlpha_ && surface) mask = shaped_ ? mask & OpaquePixels(*surface) : OpaquePixels(*surface);
    if (!shaped_ && !perPixelAlpha_) mask = QRegion();
    if (mask != this->mask()) setMask(mask);
}

void TPresenterWindow::AnswerInputMethodQuery(QInputMethodQueryEvent& query) {
    const Qt::InputMethodQueries queries = query.queries();
    if (queries & Qt::ImEnabled) query.setValue(Qt::ImEnabled, ImeAcceptsText());
    if (queries & Qt::ImCursorRectangle) {
        const RECT r = ImeCursorRect();
        const QPoint origin = geometry().topLeft();
        query.setValue(Qt::ImCursorRectangle, QRectOf(r).translated(-origin));
    }
    if (queries & Qt::ImHints) query.setValue(Qt::ImHints, int(Qt::ImhNone));
    query.accept();
}

void TPresenterWindow::InputMethod(const QInputMethodEvent& event) {
    if (!event.commitString().isEmpty()) {
        DesktopImeCommit(StringOf(event.commitString()));
        composing_ = false;
    }
    const QString preedit = event.preeditString();
    if (!preedit.isEmpty() || composing_) {
        int cursor = int(preedit.size());
        for (const QInputMethodEvent::Attribute& attribute : event.attributes())
            if (attribute.type == QInputMethodEvent::Cursor) cursor = attribute.start;
        DesktopImePreedit(StringOf(preedit), cursor);
        composing_ = !preedit.isEmpty();
    }
}

// The offer is read here once; nothing refers to the event's data afterwards.
void TPresenterWindow::DragEntered(QDragEnterEvent& event) {
    const QMimeData* data = event.mimeData();
    QByteArray uriList;
    TDesktopOffer offer;
    if (data && data->hasFormat(QStringLiteral("text/uri-list"))) {
        uriList = data->data(QStringLiteral("text/uri-list"));
        offer.uriList = std::string_view(uriList.constData(), size_t(uriList.size()));
    }
    if (data && data->hasText()) offer.text = StringOf(data->text());
    presenter_.Drops().Enter(offer);
    DragMoved(event);
}

// The answer rectangle stays empty so that every position is reported.
void TPresenterWindow::DragMoved(QDragMoveEvent& event) {
    const POINT pt = PointOf(mapToGlobal(event.position()));
    const DWORD reported = presenter_.Drops().Move(pt, KeyStateOf(event), EffectsOf(event.possibleActions()));
    if (reported == DROPEFFECT_NONE) {
        event.ignore(QRect());
        return;
    }
    event.setDropAction(ActionOf(reported));
    event.accept(QRect());
}

void TPresenterWindow::Dropped(QDropEvent& event) {
    const POINT pt = PointOf(mapToGlobal(event.position()));
    const DWORD reported = presenter_.Drops().Drop(pt, KeyStateOf(event), EffectsOf(event.possibleActions()));
    if (reported == DROPEFFECT_NONE) {
        event.ignore();
        return;
    }
    event.setDropAction(ActionOf(reported));
    event.accept();
}
