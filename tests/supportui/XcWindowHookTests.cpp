// The window hook component, and the placement's sizing rules that work through it.

#include "supportui/XcWindowHook.h"

#include <gtest/gtest.h>

#include "PlacementFixture.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/win/paint/Surface.h"

namespace {

// Answers WM_NCHITTEST with HitCode, as a form with a frame of its own does.
class THitTestForm : public TForm {
public:
    using TForm::TForm;
    LRESULT hitCode = HTCLIENT;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_NCHITTEST) {
            message.Result = hitCode;
            return;
        }
        TForm::WndProc(message);
    }
};

class WindowHookTest : public PlacementTest {
protected:
    // A shown form whose placement keeps it from being resized.
    TXcFormPlacement* PreventedForm(THitTestForm*& form) {
        form = new THitTestForm(&Application());
        form->BeginLoading();
        auto* placement = new TXcFormPlacement(form);
        placement->SetPreventResize(true);
        form->SetBounds(100, 80, 800, 600);
        form->EndLoading();
        form->Show();
        PumpMessages();
        return placement;
    }
    static MINMAXINFO MinMaxOf(TForm& form) {
        MINMAXINFO info{};
        info.ptMaxTrackSize = {5000, 5000};
        SendMessageW(form.Handle(), WM_GETMINMAXINFO, 0, LPARAM(&info));
        return info;
    }
    // The least and the greatest size the presenter lets the desktop give the form.
    static std::pair<SIZE, SIZE> PresentedTrackSizes(TForm& form) {
        const auto presenter = std::dynamic_pointer_cast<TMemoryPresenter>(::Presenter());
        const TTopLevelState& state = presenter->states.at(form.Handle());
        return {state.minTrackSize, state.maxTrackSize};
    }
};

TEST_F(WindowHookTest, PreventResizeFixesTheTrackSizesRefusesResizingAndTakesSizingAway) {
    THitTestForm* form = nullptr;
    TXcFormPlacement* placement = PreventedForm(form);

    const MINMAXINFO info = MinMaxOf(*form);
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 600);
    EXPECT_EQ(info.ptMaxTrackSize.x, 800);
    EXPECT_EQ(info.ptMaxTrackSize.y, 600);
    SetWindowPos(form->Handle(), nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(*form), (TRect{100, 80, 900, 680}));
    EXPECT_EQ(PresentedTrackSizes(*form), std::pair(SIZE{800, 600}, SIZE{800, 600}));

    for (LRESULT code = HTNOWHERE; code <= HTBORDER; ++code) {
        SCOPED_TRACE(code);
        form->hitCode = code;
        const LRESULT expected = code >= HTLEFT && code <= HTBOTTOMRIGHT ? HTNOWHERE : code;
        EXPECT_EQ(SendMessageW(form->Handle(), WM_NCHITTEST, 0, 0), expected);
    }

    const HMENU menu = GetSystemMenu(form->Handle(), FALSE);
    EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_ENABLED);
    SendMessageW(form->Handle(), WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(0, TRUE));
    EXPECT_TRUE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);

    EXPECT_FALSE(form->BorderIcons().Contains(biMaximize));
    EXPECT_FALSE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX);
    placement->SetPreventResize(false);
    EXPECT_TRUE(form->BorderIcons().Contains(biMaximize));
    EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX);
    form->hitCode = HTLEFT;
    EXPECT_EQ(SendMessageW(form->Handle(), WM_NCHITTEST, 0, 0), HTLEFT);
    SetWindowPos(form->Handle(), nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(*form), (TRect{100, 80, 1100, 780}));
    const SIZE defaultMinimum{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    EXPECT_EQ(PresentedTrackSizes(*form).first, defaultMinimum);
    EXPECT_NE(PresentedTrackSizes(*form).second, defaultMinimum);

    // Switched on again while shown: fixed at the size it has now.
    placement->SetPreventResize(true);
    EXPECT_EQ(PresentedTrackSizes(*form), std::pair(SIZE{1000, 700}, SIZE{1000, 700}));
}

TEST_F(WindowHookTest, LimitsCopyTheirNonZeroFieldsIntoTheTrackingRecord) {
    TForm* form = Application().CreateForm<TForm>();
    auto* placement = new TXcFormPlacement(form);
    form->SetBounds(100, 80, 800, 600);
    form->Show();
    const MINMAXINFO before = MinMaxOf(*form);
    placement->MinMaxInfo()->SetField(TXcWinMinMaxInfo::MinTrackWidth, 300);
    placement->MinMaxInfo()->SetField(TXcWinMinMaxInfo::MaxTrackHeight, 700);
    const MINMAXINFO limited = MinMaxOf(*form);
    EXPECT_EQ(limited.ptMinTrackSize.x, 300);
    EXPECT_EQ(limited.ptMaxTrackSize.y, 700);
    EXPECT_EQ(limited.ptMinTrackSize.y, before.ptMinTrackSize.y);
    EXPECT_EQ(limited.ptMaxTrackSize.x, before.ptMaxTrackSize.x);
    SetWindowPos(form->Handle(), nullptr, 0, 0, 200, 900, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowRect(*form), (TRect{100, 80, 400, 780}));

    // Back to all zero: the hook goes and the form answers alone.
    placement->MinMaxInfo()->SetField(TXcWinMinMaxInfo::MinTrackWidth, 0);
    placement->MinMaxInfo()->SetField(TXcWinMinMaxInfo::MaxTrackHeight, 0);
    EXPECT_EQ(HookManager().Find(form) ? HookManager().Find(form)->Hooked() : false, false);
}

TEST_F(WindowHookTest, TheComponentRegistersItsEventsForItsControlWhileActive) {
    TForm* form = Application().CreateForm<TForm>();
    form->HandleNeeded();
    TXcWindowHook hook(nullptr);
    std::vector<std::string> seen;
    hook.SetBeforeMessage([&](TObject* sender, TMessage& m, bool& handled) {
        EXPECT_EQ(sender, &hook);
        if (m.Msg == WM_USER) seen.push_back("before");
        handled = m.WParam == 1;
    });
    hook.SetControl(form);
    SendMessageW(form->Handle(), WM_USER, 0, 0);
    hook.SetAfterMessage([&](TObject*, TMessage& m, bool&) {
        if (m.Msg == WM_USER) seen.push_back("after");
    });
    SendMessageW(form->Handle(), WM_USER, 0, 0);
    SendMessageW(form->Handle(), WM_USER, 1, 0); // handled before: no after
    hook.SetActive(false);
    SendMessageW(form->Handle(), WM_USER, 0, 0);
    hook.SetActive(true);
    hook.SetBeforeMessage(nullptr);
    SendMessageW(form->Handle(), WM_USER, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"before", "before", "after", "before", "after"}));

    // A control that goes leaves the hook without one.
    delete form;
    EXPECT_EQ(hook.Control(), nullptr);
    EXPECT_TRUE(hook.Active());
}

TEST_F(WindowHookTest, IsFormSurvivesTheComponentStream) {
    TForm* form = Application().CreateForm<TForm>();
    form->SetName(u"frmBatch");
    auto* hook = new TXcWindowHook(form);
    hook->SetName(u"hook");
    hook->SetControl(form);
    TMemoryStream stream;
    WriteComponent(stream, form);
    delete form;

    TForm* copy = Application().CreateForm<TForm>();
    copy->SetName(u"frmCopy");
    auto* copiedHook = new TXcWindowHook(copy);
    copiedHook->SetName(u"hook");
    stream.SetPosition(0);
    ReadComponent(stream, copy);
    EXPECT_EQ(copiedHook->Control(), copy);
}

TEST_F(WindowHookTest, StoredPropsEntriesFollowRenamesIntoTheStreamAndAreBoundWhenRead) {
    TForm* form = Application().CreateForm<TForm>();
    form->SetName(u"frmBatch");
    form->BeginLoading();
    auto* storage = new TXcFormStorage(form);
    storage->SetName(u"fstor");
    auto* panel = new TTestPanel(form);
    panel->SetName(u"pnlOptions");
    storage->StoredProps()->Add(u"pnlOptions.Width");
    form->EndLoading();
    EXPECT_EQ(storage->StoredProps()->Objects(0), panel);

    panel->SetName(u"pnlRenamed");
    TMemoryStream stream;
    WriteComponent(stream, form);
    EXPECT_EQ((*storage->StoredProps())[0], String(u"pnlRenamed.Width"));
    delete form;

    TForm* copy = Application().CreateForm<TForm>();
    copy->SetName(u"frmCopy");
    auto* copiedPanel = new TTestPanel(copy);
    copiedPanel->SetName(u"pnlRenamed");
    auto* copiedStorage = new TXcFormStorage(copy);
    copiedStorage->SetName(u"fstor");
    stream.SetPosition(0);
    ReadComponent(stream, copy);
    ASSERT_EQ(copiedStorage->StoredProps()->Count(), 1);
    EXPECT_EQ(copiedStorage->StoredProps()->Objects(0), copiedPanel);

    // A bound component that goes takes its entries with it.
    delete copiedPanel;
    EXPECT_EQ(copiedStorage->StoredProps()->Count(), 0);
}

} // namespace
