// Qt's input on a presenter window becomes the window system's messages.

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include "PresenterFixture.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"

namespace {

class InputTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        form_ = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
        child_ = Create(WS_CHILD | WS_VISIBLE, RECT{50, 60, 250, 160}, form_);
        SettleDesktop();
        ASSERT_NE(QtWindow(form_), nullptr);
        ClearRecord();
    }
    QWindow* FormWindow() { return QtWindow(form_); }
    std::vector<TRecord> Keys() { return Recorded({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR}); }
    void Send(QEvent& event) {
        QCoreApplication::sendEvent(FormWindow(), &event);
        SettleDesktop();
    }

    HWND form_ = nullptr, child_ = nullptr;
};

TEST_F(InputTest, AClickReachesTheChildUnderThePointWithItsClientCoordinates) {
    QTest::mouseClick(FormWindow(), Qt::LeftButton, Qt::NoModifier, QtPoint(child_, 7, 9));
    SettleDesktop();
    const auto clicks = Recorded({WM_LBUTTONDOWN, WM_LBUTTONUP});
    ASSERT_EQ(clicks.size(), 2u);
    for (const TRecord& r : clicks) {
        EXPECT_EQ(r.hwnd, child_);
        EXPECT_EQ(r.lParam, MAKELPARAM(7, 9));
    }
    EXPECT_EQ(clicks[0].message, UINT(WM_LBUTTONDOWN));
}

TEST_F(InputTest, QtsDoubleClicksAreIgnoredAndTheWindowSystemMakesItsOwn) {
    const HWND plain = child_;
    const HWND doubleClicking = Create(WS_CHILD | WS_VISIBLE, RECT{260, 60, 360, 160}, form_, 0, kDoubleClickClass);
    SettleDesktop();
    QTest::mouseDClick(FormWindow(), Qt::LeftButton, Qt::NoModifier, QtPoint(plain, 5, 5));
    QTest::mouseDClick(FormWindow(), Qt::LeftButton, Qt::NoModifier, QtPoint(doubleClicking, 5, 5));
    SettleDesktop();
    EXPECT_EQ(MessagesOf(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
    EXPECT_EQ(MessagesOf(doubleClicking, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
}

TEST_F(InputTest, WheelAnglesAreWheelDeltasToTheRightIsPositive) {
    const QPoint local = QtPoint(child_, 5, 5);
    const QPointF global = FormWindow()->mapToGlobal(QPointF(local));
    QWheelEvent vertical(local, global, QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    Send(vertical);
    QWheelEvent horizontal(local, global, QPoint(), QPoint(-120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    Send(horizontal);
    std::vector<TRecord> wheels;
    for (const TRecord& r : Recorded({WM_MOUSEWHEEL, WM_MOUSEHWHEEL}))
        if (r.hwnd == child_) wheels.push_back(r); // not what the default handling passes on
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].message, UINT(WM_MOUSEWHEEL));
    EXPECT_EQ(SHORT(HIWORD(wheels[0].wParam)), -240);
    EXPECT_EQ(wheels[1].message, UINT(WM_MOUSEHWHEEL));
    EXPECT_EQ(SHORT(HIWORD(wheels[1].wParam)), 120);
}

TEST_F(InputTest, KeysBecomeVirtualKeysWithScanCodesExtendedBitsAndCharacters) {
    SetFocus(child_);
    ClearRecord();
    QTest::keyClick(FormWindow(), Qt::Key_Down);
    QTest::keyClick(FormWindow(), Qt::Key_Plus, Qt::KeypadModifier);
    QTest::sendKeyEvent(QTest::Press, FormWindow(), Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier);
    SettleDesktop();
    const auto downs = Recorded({WM_KEYDOWN});
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].hwnd, child_);
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_DOWN));
    EXPECT_TRUE(downs[0].lParam & (1 << 24));
    EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, 0x50);
    EXPECT_EQ(downs[1].wParam, WPARAM(VK_ADD));
    EXPECT_FALSE(downs[1].lParam & (1 << 24));
    EXPECT_EQ(downs[2].wParam, WPARAM(VK_PACKET));
    const auto chars = Recorded({WM_CHAR});
    ASSERT_FALSE(chars.empty());
    EXPECT_EQ(chars.back().wParam, WPARAM(0xE9));
}

TEST_F(InputTest, AKeypadNavigationKeyHasNoExtendedBit) {
    SetFocus(child_);
    ClearRecord();
    QTest::keyClick(FormWindow(), Qt::Key_Down, Qt::KeypadModifier);
    SettleDesktop();
    const auto downs = Recorded({WM_KEYDOWN});
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_DOWN));
    EXPECT_FALSE(downs[0].lParam & (1 << 24));
}

TEST_F(InputTest, DesktopAutoRepeatSetsTheRepeatBitsAndItsReleasesAreDropped) {
    SetFocus(child_);
    ClearRecord();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a", true);
    QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a", true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    for (QKeyEvent* event : {&press, &repeatRelease, &repeatPress, &release}) Send(*event);
    const auto keys = Recorded({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].message, UINT(WM_KEYDOWN));
    EXPECT_FALSE(keys[0].lParam & (1 << 30));
    EXPECT_EQ(keys[1].message, UINT(WM_KEYDOWN));
    EXPECT_TRUE(keys[1].lParam & (1 << 30));
    EXPECT_EQ(keys[1].wParam, WPARAM('A'));
    EXPECT_EQ(keys[2].message, UINT(WM_KEYUP));
    EXPECT_EQ(Recorded({WM_CHAR}).size(), 2u);
}

TEST_F(InputTest, AltGrIsNotAltSoWhatItTypesArrivesAsPlainCharacters) {
    SetFocus(child_);
    ClearRecord();
    QKeyEvent altGr(QEvent::KeyPress, Qt::Key_AltGr, Qt::GroupSwitchModifier);
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_E, Qt::GroupSwitchModifier, QString::fromUtf8("€"));
    QKeyEvent euroUp(QEvent::KeyRelease, Qt::Key_E, Qt::GroupSwitchModifier);
    QKeyEvent altGrUp(QEvent::KeyRelease, Qt::Key_AltGr, Qt::NoModifier);
    for (QKeyEvent* event : {&altGr, &euro, &euroUp, &altGrUp}) Send(*event);
    EXPECT_TRUE(Recorded({WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR}).empty());
    const auto chars = Recorded({WM_CHAR});
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, WPARAM(0x20AC));
    EXPECT_FALSE(GetKeyState(VK_MENU) & 0x8000);
}

class InputMethodTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        Answer(child_, WM_GETDLGCODE, [](WPARAM, LPARAM) { return std::optional<LRESULT>(DLGC_WANTCHARS); });
        SetFocus(child_);
        // The thread's input context keeps its composition window across windows.
        const COMPOSITIONFORM placedByCaret{CFS_DEFAULT, POINT{}, RECT{}};
        ImmSetCompositionWindow(ImmGetContext(child_), &placedByCaret);
        CreateCaret(child_, nullptr, 2, 16);
        SetCaretPos(30, 40);
        SettleDesktop();
        ClearRecord();
    }
    QVariant Query(Qt::InputMethodQuery query) {
        QInputMethodQueryEvent event(query);
        QCoreApplication::sendEvent(FormWindow(), &event);
        return event.value(query);
    }
};

TEST_F(InputMethodTest, PreeditAndCommitBecomeCompositionMessagesAndCharacters) {
    QInputMethodEvent preedit(QString("shi"), {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 3, 1)});
    Send(preedit);
    EXPECT_EQ(MessagesOf(child_, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}),
              (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    const HIMC context = ImmGetContext(child_);
    char16_t composition[8]{};
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_COMPSTR, composition, sizeof composition), 6);
    EXPECT_EQ(std::u16string(composition), u"shi");
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 3);
    ClearRecord();

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("视频"));
    Send(commit);
    const auto composition_ = Recorded({WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION});
    ASSERT_EQ(composition_.size(), 2u);
    EXPECT_EQ(composition_[0].lParam, LPARAM(GCS_RESULTSTR));
    EXPECT_EQ(composition_[1].message, UINT(WM_IME_ENDCOMPOSITION));
    const auto chars = Recorded({WM_CHAR});
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, WPARAM(0x89C6));
    EXPECT_EQ(chars[1].wParam, WPARAM(0x9891));
    ImmReleaseContext(child_, context);
}

TEST_F(InputMethodTest, AnEmptyPreeditEndsTheComposition) {
    QInputMethodEvent preedit(QString("shi"), {});
    Send(preedit);
    QInputMethodEvent cancel(QString(), {});
    Send(cancel);
    EXPECT_EQ(MessagesOf(child_, {WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}),
              (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_TRUE(Recorded({WM_CHAR}).empty());
}

TEST_F(InputMethodTest, TheQueryAnswersTheCaretInWindowCoordinatesAndWhetherTheFocusTakesText) {
    // The child's client origin is (50, 60) in the form; the caret is at (30, 40) in it.
    EXPECT_EQ(Query(Qt::ImCursorRectangle).toRect(), QRect(80, 100, 2, 16));
    EXPECT_TRUE(Query(Qt::ImEnabled).toBool());

    COMPOSITIONFORM form{CFS_POINT, POINT{5, 6}, RECT{}};
    const HIMC context = ImmGetContext(child_);
    ImmSetCompositionWindow(context, &form);
    EXPECT_EQ(Query(Qt::ImCursorRectangle).toRect().topLeft(), QPoint(55, 66));

    ImmAssociateContext(child_, nullptr);
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
    ImmAssociateContext(child_, context);
    SetFocus(form_); // answers no WM_GETDLGCODE of its own
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
}

TEST_F(InputMethodTest, CaretMovesUpdateTheInputMethod) {
    int updates = 0;
    const QMetaObject::Connection connection =
        QObject::connect(QGuiApplication::inputMethod(), &QInputMethod::cursorRectangleChanged, [&] { ++updates; });
    SetCaretPos(31, 40);
    EXPECT_EQ(updates, 1);
    QObject::disconnect(connection);
}

TEST_F(InputTest, TheCursorFollowsThePointerAndWhileAPopupHoldsCaptureItGrabsThePointer) {
    QTest::mouseMove(FormWindow(), QtPoint(child_, 5, 5));
    SettleDesktop();
    SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(FormWindow()->cursor().shape(), Qt::IBeamCursor);

    const HWND popup = Show(WS_POPUP | WS_BORDER, RECT{600, 100, 700, 300}, WS_EX_TOOLWINDOW, form_, 0, SW_SHOWNA);
    SetCapture(popup);
    EXPECT_EQ(Presenter().MouseGrabWindow(), QtWindow(popup));
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(QtWindow(popup)->cursor().shape(), Qt::SizeHorCursor);
    // A click outside the popup reaches it.
    ClearRecord();
    QTest::mouseClick(FormWindow(), Qt::LeftButton, Qt::NoModifier, QtPoint(child_, 5, 5));
    SettleDesktop();
    EXPECT_EQ(MessagesOf(popup, {WM_LBUTTONDOWN, WM_LBUTTONUP}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    ReleaseCapture();
    EXPECT_EQ(Presenter().MouseGrabWindow(), nullptr);
}

// A control in a form holds the capture while its list is dropped down (or
// its menu bar's popup is open): the pointer is grabbed for it, so that a
// click in another program's window reaches it too, and losing the
// activation to another program ends it.
TEST_F(InputTest, AFormsCaptureGrabsThePointerUntilAnotherProgramTakesTheFocus) {
    FormWindow()->requestActivate();
    SettleDesktop();
    SetCapture(child_);
    EXPECT_EQ(Presenter().MouseGrabWindow(), FormWindow());
    ClearRecord();

    QWindow foreign; // another program's window
    foreign.setGeometry(1000, 500, 100, 100);
    foreign.show();
    foreign.requestActivate();
    SettleDesktop();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MessagesOf(child_, {WM_CAPTURECHANGED}), std::vector<UINT>{WM_CAPTURECHANGED});
    EXPECT_EQ(Presenter().MouseGrabWindow(), nullptr);
}

TEST_F(InputTest, AnImageCursorShowsItsPictureWithItsHotSpot) {
    QTest::mouseMove(FormWindow(), QtPoint(child_, 20, 30));
    SettleDesktop();
    const HBITMAP mask = CreateBitmap(16, 32, 1, 1, nullptr); // AND rows 0, XOR rows 0: all black
    ICONINFO info{FALSE, 3, 7, mask, nullptr};
    const HCURSOR cursor = reinterpret_cast<HCURSOR>(CreateIconIndirect(&info));
    DeleteObject(ToGdiObject(mask));
    SetCursor(cursor);
    EXPECT_EQ(FormWindow()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(FormWindow()->cursor().hotSpot(), QPoint(3, 7));
    const QImage picture = FormWindow()->cursor().pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(16, 16));
    EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(FormWindow()->cursor().shape(), Qt::ArrowCursor);
    DestroyCursor(cursor);
}

TEST_F(InputTest, KeysReachTheFocusInsideAPopupOwnedByTheFocusedForm) {
    const HWND popup = Show(WS_POPUP | WS_BORDER, RECT{600, 100, 700, 300}, WS_EX_TOOLWINDOW, form_, 0, SW_SHOWNA);
    const HWND tree = Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 80, 80}, popup);
    SetFocus(tree);
    SettleDesktop();
    ClearRecord();
    // The desktop's keyboard focus stays on the form's window.
    QTest::keyClick(FormWindow(), Qt::Key_Down);
    SettleDesktop();
    EXPECT_EQ(MessagesOf(tree, {WM_KEYDOWN}), (std::vector<UINT>{WM_KEYDOWN}));
    EXPECT_EQ(GetFocus(), tree);
}

} // namespace

namespace {

// Offscreen Qt refuses startSystemMove, so a caption press runs the window
// system's own move loop; the test moves and releases from inside it.
TEST_F(PresenterTest, AnUndecoratedWindowDraggedByItsCaptionStripFollowsThePointer) {
    const HWND popup = Show(WS_POPUP, RECT{300, 200, 600, 400});
    ASSERT_NE(QtWindow(popup), nullptr);
    Answer(popup, WM_NCHITTEST, [popup](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        POINT pt{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
        ScreenToClient(popup, &pt);
        return pt.y < 20 ? HTCAPTION : HTCLIENT;
    });
    const QPoint start = QtPoint(popup, 100, 10), end = start + QPoint(30, 10);
    Answer(popup, WM_ENTERSIZEMOVE, [popup, end](WPARAM, LPARAM) -> std::optional<LRESULT> {
        QTest::mouseMove(QtWindow(popup), end);
        QTest::mouseRelease(QtWindow(popup), Qt::LeftButton, Qt::NoModifier, end);
        return 0;
    });
    ClearRecord();
    QTest::mousePress(QtWindow(popup), Qt::LeftButton, Qt::NoModifier, start);
    SettleDesktop();

    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r, (RECT{330, 210, 630, 410}));
    EXPECT_EQ(QtWindow(popup)->geometry(), QRect(330, 210, 300, 200));
    EXPECT_EQ(MessagesOf(popup, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
}

} // namespace
