// Surfaces reach the desktop; the GUI thread idles in Qt's event loop.

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QImage>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>

#include "FreshTestFolder.h"
#include "PresenterFixture.h"
#include "platform/rtl/Threads.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Composite.h"

namespace {

using PresentTest = PresenterTest;

constexpr COLORREF kGrey = RGB(0xC0, 0xC0, 0xC0), kRed = RGB(0xFF, 0, 0), kBlue = RGB(0, 0, 0xFF);

TEST_F(PresentTest, OnlyTheDirtyRectanglesAreFlushedAfterTheFirstFullOne) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    EXPECT_EQ(QtWindow(form)->LastFlush(), QRegion(0, 0, 400, 300));
    const RECT strip{0, 299, 400, 300};
    InvalidateRect(form, &strip, FALSE);
    SettleDesktop();
    EXPECT_EQ(QtWindow(form)->LastFlush(), QRegion(0, 299, 400, 1));
}

TEST_F(PresentTest, AnExposeFlushesAgainWithoutAskingForPaint) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    RECT corner{0, 0, 10, 10};
    InvalidateRect(form, &corner, FALSE);
    SettleDesktop();
    ASSERT_EQ(QtWindow(form)->LastFlush(), QRegion(0, 0, 10, 10));
    ClearRecord();
    // The desktop hides and shows it again (our window stays visible throughout).
    QtWindow(form)->hide();
    QtWindow(form)->show();
    SettleDesktop();
    EXPECT_EQ(QtWindow(form)->LastFlush(), QRegion(0, 0, 400, 300));
    EXPECT_TRUE(Recorded({WM_PAINT, WM_ERASEBKGND}).empty());
}

TEST_F(PresentTest, TheCompositeShowsAFormsChildrenAtTheirClientPositions) {
    const HWND form = Show(WS_POPUP, RECT{100, 100, 500, 400}, 0, nullptr, kGrey);
    const HWND left = Create(WS_CHILD | WS_VISIBLE, RECT{10, 20, 110, 120}, form);
    const HWND right = Create(WS_CHILD | WS_VISIBLE, RECT{200, 50, 380, 250}, form);
    PaintIn(left, kRed);
    PaintIn(right, kBlue);
    SettleDesktop();
    const TDesktopImage image = ComposeDesktop(RECT{0, 0, 600, 500});
    EXPECT_EQ(image.Pixel(99, 99), 0u); // the desktop outside
    EXPECT_EQ(image.Pixel(100, 100), PixelOf(kGrey));
    EXPECT_EQ(image.Pixel(110, 120), PixelOf(kRed));
    EXPECT_EQ(image.Pixel(209, 219), PixelOf(kRed));
    EXPECT_EQ(image.Pixel(210, 220), PixelOf(kGrey));
    EXPECT_EQ(image.Pixel(300, 150), PixelOf(kBlue));
    EXPECT_EQ(image.Pixel(479, 349), PixelOf(kBlue));
    EXPECT_EQ(image.Pixel(480, 350), PixelOf(kGrey));

    const QString path = QDir(QString::fromStdString(FreshTestFolder().string())).filePath("desktop.png");
    ASSERT_TRUE(WriteDesktopPng(RECT{0, 0, 600, 500}, path));
    const QImage written(path);
    ASSERT_EQ(written.size(), QSize(600, 500));
    EXPECT_EQ(written.pixel(150, 150), PixelOf(kRed));
    EXPECT_EQ(written.pixel(300, 150), PixelOf(kBlue));
    EXPECT_EQ(qAlpha(written.pixel(50, 50)), 0);
}

// What is drawn on the screen shows in a topmost, click-through overlay above
// the form, shaped to the drawn pixels; copying back the background saved
// before hides the overlay again.
TEST_F(PresentTest, DrawingOnTheScreenShowsInAnOverlayAboveTheFormUntilTheBackgroundIsBack) {
    Show(WS_OVERLAPPEDWINDOW, RECT{50, 50, 300, 300}, 0, nullptr, kBlue);
    const HDC screen = GetDC(nullptr);
    const HDC saved = CreateCompatibleDC(screen);
    const HBITMAP background = CreateCompatibleBitmap(screen, 10, 10);
    const HGDIOBJ old = SelectObject(saved, ToGdiObject(background));
    ASSERT_TRUE(BitBlt(saved, 0, 0, 10, 10, screen, 100, 100, SRCCOPY));
    const HBRUSH red = CreateSolidBrush(kRed);
    const RECT square{100, 100, 110, 110};
    FillRect(screen, &square, red);
    SettleDesktop();

    const HWND overlay = ScreenOverlayWindow();
    ASSERT_NE(overlay, nullptr);
    const TPresenterWindow* window = QtWindow(overlay);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const Qt::WindowFlags above = Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput | Qt::FramelessWindowHint;
    EXPECT_EQ(window->flags() & above, above);
    // One run per row: compared as areas, not as lists of rectangles.
    EXPECT_TRUE(window->mask().translated(window->position()).xored(QRegion(100, 100, 10, 10)).isEmpty());
    const TDesktopImage shown = ComposeDesktop(RECT{90, 90, 120, 120});
    EXPECT_EQ(shown.Pixel(100, 100), PixelOf(kRed));
    EXPECT_EQ(shown.Pixel(109, 109), PixelOf(kRed));
    EXPECT_EQ(shown.Pixel(110, 110), PixelOf(kBlue));
    const QString path = QDir(QString::fromStdString(FreshTestFolder().string())).filePath("overlay.png");
    EXPECT_TRUE(WriteDesktopPng(RECT{0, 0, 400, 400}, path));

    ASSERT_TRUE(BitBlt(screen, 100, 100, 10, 10, saved, 0, 0, SRCCOPY));
    SettleDesktop();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ComposeDesktop(RECT{100, 100, 101, 101}).Pixel(100, 100), PixelOf(kBlue));

    SelectObject(saved, old);
    DeleteDC(saved);
    DeleteObject(ToGdiObject(background));
    DeleteObject(ToGdiObject(red));
    ReleaseDC(nullptr, screen);
}

// The worker acts once the GUI thread is about to block inside Qt's wait; the
// GUI thread's GetMessageW returns the message the worker's act leads to. On
// the test's manual clock no timer ends a wait: only the wake can.
TEST_F(PresentTest, AWorkersPostSendOrDispatcherCallWakesTheGuiThreadIdlingInQtsWait) {
    constexpr UINT kDone = WM_USER + 7;
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    Answer(form, WM_USER, [form](WPARAM, LPARAM) -> std::optional<LRESULT> {
        PostMessageW(form, kDone, 42, 0);
        return 0;
    });
    struct TWake {
        const char* name;
        std::function<void()> act; // on the worker
    };
    const TWake wakes[] = {
        {"post", [form] { PostMessageW(form, kDone, 42, 0); }},
        {"send", [form] { SendMessageW(form, WM_USER, 0, 0); }},
        {"dispatcher call", [form] { TThread::Queue(nullptr, [form] { PostMessageW(form, kDone, 42, 0); }); }},
    };
    for (const TWake& wake : wakes) {
        SCOPED_TRACE(wake.name);
        TEvent blocking(false);
        std::atomic<int> blocks = 0;
        const QMetaObject::Connection connection =
            QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [&] {
                ++blocks;
                blocking.SetEvent();
            });
        std::thread worker([&] {
            blocking.WaitFor(30'000); // acts anyway when the GUI thread never blocks in Qt
            wake.act();
        });
        MSG msg;
        ASSERT_TRUE(GetMessageW(&msg, form, kDone, kDone));
        worker.join();
        QObject::disconnect(connection);
        EXPECT_EQ(msg.wParam, WPARAM(42));
        EXPECT_GE(blocks.load(), 1); // it idled in Qt's wait when the worker acted
    }
}

} // namespace

namespace {

// A form's child with a client edge and both scroll bars, as the classic
// frame painter draws it into the composed desktop.
class ScrolledChildTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
        child = Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, RECT{20, 20, 320, 220}, form, WS_EX_CLIENTEDGE);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 80, 0};
        SetScrollInfo(child, SB_VERT, &si, TRUE); // the thumb at the bottom of its track
        si.nPos = 0;
        SetScrollInfo(child, SB_HORZ, &si, TRUE); // at the left
        SettleDesktop();
        GetWindowRect(child, &w);
        ASSERT_NE(QtWindow(form), nullptr);
    }
    static uint32_t Colour(int index) { return PixelOf(GetSysColor(index)); }
    static TDesktopImage Desktop() { return ComposeDesktop(kArea); }
    // The composed desktop written where a developer can look at it.
    static void WritePng(const char* name) {
        const QString path = QDir(QString::fromStdString(FreshTestFolder().string())).filePath(name);
        EXPECT_TRUE(WriteDesktopPng(kArea, path));
    }
    // The vertical bar's down arrow on the screen (the horizontal bar below it).
    RECT DownArrow() const {
        return RECT{w.right - 2 - kBar, w.bottom - 2 - 2 * kBar, w.right - 2, w.bottom - 2 - kBar};
    }

    static constexpr RECT kArea{0, 0, 600, 500};
    const int kBar = GetSystemMetrics(SM_CXVSCROLL);
    HWND form = nullptr, child = nullptr;
    RECT w{}; // the child's window rectangle
};

TEST_F(ScrolledChildTest, TheComposedDesktopShowsAClientEdgeBothScrollBarsTheirThumbsAndTheSizeBox) {
    const TDesktopImage image = Desktop();
    EXPECT_EQ(image.Pixel(w.left, w.top + 50), Colour(COLOR_BTNSHADOW));      // the sunken edge, outer
    EXPECT_EQ(image.Pixel(w.left + 1, w.top + 50), Colour(COLOR_3DDKSHADOW)); // and inner
    EXPECT_EQ(image.Pixel(w.right - 1, w.top + 50), Colour(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.Pixel(w.right - 4, w.bottom - 4), Colour(COLOR_BTNFACE)); // the size box
    // The arrow buttons' faces.
    const int vx = w.right - 2 - kBar / 2;
    EXPECT_EQ(image.Pixel(vx - 5, w.top + 2 + 3), Colour(COLOR_BTNFACE));
    // The vertical thumb sits just above the down arrow: solid face there,
    // the checkered track just below the up arrow.
    const int thumbY = w.bottom - 2 - kBar - kBar - 6;
    EXPECT_EQ(image.Pixel(vx, thumbY), Colour(COLOR_BTNFACE));
    EXPECT_EQ(image.Pixel(vx, thumbY + 1), Colour(COLOR_BTNFACE));
    const int trackY = w.top + 2 + kBar + 3;
    EXPECT_NE(image.Pixel(vx, trackY), image.Pixel(vx, trackY + 1));
    // The horizontal thumb sits just right of the left arrow.
    const int hy = w.bottom - 2 - kBar / 2;
    EXPECT_EQ(image.Pixel(w.left + 2 + kBar + 6, hy), Colour(COLOR_BTNFACE));
    EXPECT_EQ(image.Pixel(w.left + 2 + kBar + 7, hy), Colour(COLOR_BTNFACE));
    WritePng("scrollbars.png");
}

// The press comes through the form's QWindow; while the tracker holds the
// button the arrow is painted pushed (flat, in the shadow colour), and after
// the release raised again.
TEST_F(ScrolledChildTest, TheDownArrowHeldByThePointerIsDrawnPushedUntilTheRelease) {
    const RECT arrow = DownArrow();
    const QPoint press = QPoint((arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2) -
                         QtWindow(form)->geometry().topLeft();
    const auto corners = [&arrow] {
        const TDesktopImage image = Desktop();
        return std::vector<uint32_t>{image.Pixel(arrow.left, arrow.top), image.Pixel(arrow.right - 1, arrow.bottom - 1)};
    };
    const std::vector<uint32_t> raised{Colour(COLOR_3DLIGHT), Colour(COLOR_3DDKSHADOW)};
    EXPECT_EQ(corners(), raised);

    bool scrolled = false;
    std::vector<uint32_t> held;
    Answer(child, WM_VSCROLL, [&](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        scrolled = scrolled || LOWORD(wParam) == SB_LINEDOWN;
        return 0;
    });
    // The frame painted while the tracker holds the button.
    Answer(child, WM_NCPAINT, [&](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        DefWindowProcW(child, WM_NCPAINT, wParam, lParam);
        if (scrolled && held.empty()) {
            held = corners();
            WritePng("held-arrow.png");
            QTest::mouseRelease(QtWindow(form), Qt::LeftButton, Qt::NoModifier, press);
        }
        return 0;
    });
    QTest::mousePress(QtWindow(form), Qt::LeftButton, Qt::NoModifier, press);
    SettleDesktop();

    EXPECT_EQ(held, (std::vector<uint32_t>{Colour(COLOR_BTNSHADOW), Colour(COLOR_BTNSHADOW)}));
    const auto scrolls = Recorded({WM_VSCROLL});
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0].wParam, WPARAM(SB_LINEDOWN));
    EXPECT_EQ(scrolls[1].wParam, WPARAM(SB_ENDSCROLL));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(corners(), raised);
}

} // namespace
