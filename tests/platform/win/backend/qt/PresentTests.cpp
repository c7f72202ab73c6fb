// Surfaces reach the desktop; the GUI thread idles in Qt's event loop.

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QImage>

#include <atomic>
#include <functional>
#include <thread>

#include "FreshTestFolder.h"
#include "PresenterFixture.h"
#include "platform/rtl/Threads.h"
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
TEST_F(PresenterTest, TheComposedDesktopShowsAClientEdgeBothScrollBarsTheirThumbsAndTheSizeBox) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    const HWND child = Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, RECT{20, 20, 320, 220}, form, WS_EX_CLIENTEDGE);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 80, 0};
    SetScrollInfo(child, SB_VERT, &si, TRUE); // the thumb at the bottom of its track
    si.nPos = 0;
    SetScrollInfo(child, SB_HORZ, &si, TRUE); // at the left
    SettleDesktop();

    RECT w{};
    GetWindowRect(child, &w);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const TDesktopImage image = ComposeDesktop(RECT{0, 0, 600, 500});
    const auto colour = [](int index) { return PixelOf(GetSysColor(index)); };
    EXPECT_EQ(image.Pixel(w.left, w.top + 50), colour(COLOR_BTNSHADOW));          // the sunken edge, outer
    EXPECT_EQ(image.Pixel(w.left + 1, w.top + 50), colour(COLOR_3DDKSHADOW));     // and inner
    EXPECT_EQ(image.Pixel(w.right - 1, w.top + 50), colour(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.Pixel(w.right - 4, w.bottom - 4), colour(COLOR_BTNFACE)); // the size box
    // The arrow buttons' faces.
    const int vx = w.right - 2 - bar / 2;
    EXPECT_EQ(image.Pixel(vx - 5, w.top + 2 + 3), colour(COLOR_BTNFACE));
    // The vertical thumb sits just above the down arrow: solid face there,
    // the checkered track just below the up arrow.
    const int thumbY = w.bottom - 2 - bar - bar - 6;
    EXPECT_EQ(image.Pixel(vx, thumbY), colour(COLOR_BTNFACE));
    EXPECT_EQ(image.Pixel(vx, thumbY + 1), colour(COLOR_BTNFACE));
    const int trackY = w.top + 2 + bar + 3;
    EXPECT_NE(image.Pixel(vx, trackY), image.Pixel(vx, trackY + 1));
    // The horizontal thumb sits just right of the left arrow.
    const int hy = w.bottom - 2 - bar / 2;
    EXPECT_EQ(image.Pixel(w.left + 2 + bar + 6, hy), colour(COLOR_BTNFACE));
    EXPECT_EQ(image.Pixel(w.left + 2 + bar + 7, hy), colour(COLOR_BTNFACE));

    const QString path = QDir(QString::fromStdString(FreshTestFolder().string())).filePath("scrollbars.png");
    EXPECT_TRUE(WriteDesktopPng(RECT{0, 0, 600, 500}, path));
}

} // namespace
