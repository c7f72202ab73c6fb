#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/WindowFixture.h"
#include "platform/win/dataxfer/StoredDataObject.h"

namespace {

// Answers as a tree does: cancel on Escape or with both buttons down, drop
// when the left button is up. Runs one scripted input step per question and
// remembers the cursor each question saw.
class TDragSourceScript : public TImplements<TInterfacedObject, IDropSource> {
public:
    std::vector<std::function<void()>> steps;
    std::vector<HCURSOR> cursors;
    std::vector<DWORD> feedback;

    HRESULT QueryContinueDrag(BOOL escape, DWORD keyState) override {
        cursors.push_back(GetCursor());
        if (next_ < steps.size()) steps[next_++]();
        if (escape || (keyState & (MK_LBUTTON | MK_RBUTTON)) == (MK_LBUTTON | MK_RBUTTON)) return DRAGDROP_S_CANCEL;
        if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT GiveFeedback(DWORD effect) override {
        feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    size_t next_ = 0;
};

// Chooses Choice (limited to what is allowed) and logs the calls.
class TDragSourceTarget : public TImplements<TInterfacedObject, IDropTarget> {
public:
    explicit TDragSourceTarget(DWORD choice) : choice_(choice) {}
    std::vector<std::string> calls;
    DWORD keyStateAtDrop = 0;

    HRESULT DragEnter(IDataObject* data, DWORD, POINTL, DWORD& effect) override {
        calls.push_back(data && data->QueryGetData({CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}) == S_OK
                            ? "enter"
                            : "enter without text");
        effect &= choice_;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD& effect) override {
        if (calls.back() != "over") calls.push_back("over");
        effect &= choice_;
        return S_OK;
    }
    HRESULT DragLeave() override {
        calls.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(IDataObject*, DWORD keyState, POINTL, DWORD& effect) override {
        calls.push_back("drop");
        keyStateAtDrop = keyState;
        effect &= choice_;
        return S_OK;
    }

private:
    DWORD choice_;
};

class DragSourceTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        top = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 400, 300});
        targetWindow = Create(WS_CHILD | WS_VISIBLE, {200, 0, 400, 200}, top);
        POINT origin{0, 0};
        ClientToScreen(top, &origin);
        outside = {origin.x + 20, origin.y + 20};
        inside = {origin.x + 250, origin.y + 50};
        data->SetText(u"dragged");
        // The drag starts with the left button down outside the target.
        DesktopMouseMove(outside);
        DesktopMouseButton(TDesktopButton::Left, true, outside);
        RunUntilIdle();
    }
    void TearDown() override {
        RunUntilIdle(); // the keys a test released after its drag
        if (GetKeyState(VK_LBUTTON) < 0) {
            DesktopMouseButton(TDesktopButton::Left, false, outside);
            RunUntilIdle();
        }
        WindowTest::TearDown();
    }

    HWND top = nullptr, targetWindow = nullptr;
    POINT outside{}, inside{};
    TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    TIntfPtr<TDragSourceScript> source = MakeIntf<TDragSourceScript>();
};

TEST_F(DragSourceTest, DropOnARegisteredWindowWithTheEffectTheTargetChose) {
    auto target = MakeIntf<TDragSourceTarget>(DROPEFFECT_MOVE | DROPEFFECT_LINK);
    ASSERT_EQ(RegisterDragDrop(targetWindow, target.get()), S_OK);
    source->steps = {
        [&] { DesktopMouseMove(inside); },
        [&] { DesktopMouseMove({inside.x + 5, inside.y + 5}); },
        [&] { DesktopKey(VK_SHIFT, true); },
        [&] { DesktopMouseButton(TDesktopButton::Left, false, {inside.x + 5, inside.y + 5}); },
    };
    DWORD effect = 99;
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "over", "drop"}));
    EXPECT_EQ(target->keyStateAtDrop & (MK_SHIFT | MK_LBUTTON), DWORD(MK_SHIFT));
    // Outside no effect was shown, over the target the move cursor.
    EXPECT_EQ(source->feedback.front(), DROPEFFECT_NONE);
    EXPECT_EQ(source->feedback.back(), DROPEFFECT_MOVE);
    EXPECT_NE(std::find(source->cursors.begin(), source->cursors.end(), LoadCursorW(nullptr, IDC_DRAGMOVE)),
              source->cursors.end());
    EXPECT_EQ(GetCapture(), nullptr);
    DesktopKey(VK_SHIFT, false);
}

TEST_F(DragSourceTest, EscapeCancelsWithoutADrop) {
    auto target = MakeIntf<TDragSourceTarget>(DROPEFFECT_COPY);
    ASSERT_EQ(RegisterDragDrop(targetWindow, target.get()), S_OK);
    source->steps = {
        [&] { DesktopMouseMove(inside); },
        [&] { DesktopKey(VK_ESCAPE, true); },
    };
    DWORD effect = 99;
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "leave"}));
    DesktopKey(VK_ESCAPE, false);
}

TEST_F(DragSourceTest, ATargetRefusingEveryAllowedEffectGetsALeaveInsteadOfTheDrop) {
    auto target = MakeIntf<TDragSourceTarget>(DROPEFFECT_LINK);
    ASSERT_EQ(RegisterDragDrop(targetWindow, target.get()), S_OK);
    source->steps = {
        [&] { DesktopMouseMove(inside); },
        [&] { DesktopMouseButton(TDesktopButton::Left, false, inside); },
    };
    DWORD effect = 99;
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_NE(std::find(source->cursors.begin(), source->cursors.end(), LoadCursorW(nullptr, IDC_NO)),
              source->cursors.end());
}

TEST_F(DragSourceTest, LeavingTheTargetAndDroppingOutside) {
    auto target = MakeIntf<TDragSourceTarget>(DROPEFFECT_COPY);
    ASSERT_EQ(RegisterDragDrop(targetWindow, target.get()), S_OK);
    source->steps = {
        [&] { DesktopMouseMove(inside); },
        [&] { DesktopMouseMove(outside); },
        [&] { DesktopMouseButton(TDesktopButton::Left, false, outside); },
    };
    DWORD effect = 99;
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(DoDragDrop(nullptr, source.get(), DROPEFFECT_COPY, &effect), E_INVALIDARG);
}

} // namespace
