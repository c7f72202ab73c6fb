#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/XcExControls.h"
#include "controls/XcExForms.h"
#include "controls/XcExStdCtrls.h"
#include "platform/ui/ControlFixture.h"
#include "platform/ui/StartedUiUnits.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/dataxfer/TextClipboard.h"
#include "platform/win/gdi/Gdi.h"

namespace {

class TXcExTestClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text; }
    void SetText(const String& value) override { text = value; }
    std::optional<String> text;
};

// A windowed extended control that records which hooks ran.
class TXcExRecordingControl : public TXcExCustomControl {
public:
    explicit TXcExRecordingControl(TComponent* owner) : TXcExCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        SetBounds(10, 10, 60, 40);
    }
    std::vector<std::string> calls;
    std::function<void(TDialogCodeFlags&)> onGetDlgCode;

protected:
    void HandleGetDlgCode(TDialogCodeFlags& codes) override {
        if (onGetDlgCode) onGetDlgCode(codes);
    }
    void HandleControlListChanging(TControl* control, bool inserting) override {
        calls.push_back(inserting ? "changing+" : "changing-");
        TXcExCustomControl::HandleControlListChanging(control, inserting);
    }
    void HandleControlListChanged(TControl* control, bool inserting) override {
        calls.push_back(inserting ? "changed+" : "changed-");
        TXcExCustomControl::HandleControlListChanged(control, inserting);
    }
};

// A form whose window procedure a test may wrap.
class TXcExWrappableForm : public TXcExForm {
public:
    using TXcExForm::TXcExForm;
    using TXcExForm::WndProc;
};

// A control whose class implements the queried interface.
class TXcExQueriedControl : public TXcExCustomControl {
public:
    using TXcExCustomControl::TXcExCustomControl;
    bool GetInterface(const TGUID& iid, void** obj) override {
        if (iid == IXcExControlQuery::IID) {
            *obj = nullptr;
            return true;
        }
        return TXcExCustomControl::GetInterface(iid, obj);
    }
};

class XcExControlTest : public FormTest {
protected:
    template <class T>
    T* Child(TWinControl* parent) {
        auto* control = new T(form);
        control->SetParent(parent);
        return control;
    }

    TStartedUiUnits units_;
    TForm* form = ShownForm({100, 100, 400, 300});
};

TEST_F(XcExControlTest, AnEditAllowedOnlyToCopyAnswersTheOtherClipboardCommandsWithOneAndKeepsItsText) {
    TXcExTestClipboard clipboard;
    TTextClipboardScope scope{clipboard};
    clipboard.text = u"pasted";
    auto* edit = Child<TXcExCustomEdit>(form);
    edit->SetText(u"abc");
    edit->SetClipboardCommands({caCopy});
    for (UINT message : {WM_PASTE, WM_CUT, WM_CLEAR, WM_UNDO, EM_UNDO}) {
        edit->SelectAll();
        EXPECT_EQ(edit->Perform(message), 1) << message;
        EXPECT_EQ(edit->Text(), String(u"abc")) << message;
    }
    edit->SelectAll();
    edit->Perform(WM_COPY);
    EXPECT_EQ(clipboard.text, String(u"abc"));

    edit->SetClipboardCommands({caCopy, caPaste});
    clipboard.text = u"pasted";
    edit->SelectAll();
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->Text(), String(u"pasted")) << "an allowed command goes through";
}

TEST_F(XcExControlTest, HintColourComesFromTheControlTheParentOrTheApplication) {
    auto* panel = Child<TXcExCustomControl>(form);
    panel->SetHintColor(clRed);
    auto* control = Child<TXcExCustomControl>(panel);
    Application().SetHintColor(clYellow);
    struct Case {
        TColor own;
        TColor shown;
    } const cases[] = {{clDefault, clRed}, {clNone, clYellow}, {clLime, clLime}};
    for (const Case& c : cases) {
        control->SetHintColor(c.own);
        THintInfo info;
        info.HintColor = clBlue;
        EXPECT_EQ(control->Perform(CM_HINTSHOW, 0, LPARAM(&info)), 0);
        EXPECT_EQ(info.HintColor, c.shown) << std::hex << c.own;
    }
}

TEST_F(XcExControlTest, TheHintWindowClassGoesIntoTheHintInformation) {
    auto* control = Child<TXcExCustomControl>(form);
    THintInfo info;
    control->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintWindowClass, nullptr);
    control->SetHintWindowClass(THintWindow::StaticClass());
    control->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintWindowClass, THintWindow::StaticClass());
}

// The inherited handling of CM_MOUSEENTER and CM_MOUSELEAVE tells the parent.
TEST_F(XcExControlTest, MouseEnterFiresBeforeAndMouseLeaveAfterTheInheritedHandling) {
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->log.watched = {CM_MOUSEENTER, CM_MOUSELEAVE};
    auto* control = Child<TXcExGraphicControl>(panel);
    std::vector<std::vector<UINT>> parentSawAtEvent;
    control->OnMouseEnter = [&](TObject* sender) {
        EXPECT_EQ(sender, control);
        EXPECT_TRUE(control->MouseOver());
        parentSawAtEvent.push_back(panel->log.Messages());
    };
    control->OnMouseLeave = [&](TObject*) {
        EXPECT_FALSE(control->MouseOver());
        parentSawAtEvent.push_back(panel->log.Messages());
    };
    control->Perform(CM_MOUSEENTER);
    control->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(parentSawAtEvent,
              (std::vector<std::vector<UINT>>{{}, {CM_MOUSEENTER, CM_MOUSELEAVE}}));
}

TEST_F(XcExControlTest, ParentColourChangeIsReportedAfterTheInheritedHandling) {
    auto* control = Child<TXcExCustomControl>(form);
    control->SetParentColor(true);
    TColor seen = clNone;
    control->OnParentColorChange = [&](TObject*) { seen = control->Color(); };
    form->SetColor(clTeal);
    EXPECT_EQ(seen, clTeal);
}

TEST_F(XcExControlTest, GetDlgCodeKeepsTheWindowsAnswerUnlessTheHandlerDropsNative) {
    auto* plain = Child<TEdit>(form);
    const LRESULT native = plain->Perform(WM_GETDLGCODE);
    ASSERT_NE(native, 0);
    auto* control = Child<TXcExRecordingControl>(form);
    const LRESULT controlNative = control->Perform(WM_GETDLGCODE);

    control->onGetDlgCode = [](TDialogCodeFlags& codes) { EXPECT_TRUE(codes.Contains(dcNative)); };
    EXPECT_EQ(control->Perform(WM_GETDLGCODE), controlNative) << "a handler that leaves the set";
    control->onGetDlgCode = [](TDialogCodeFlags& codes) { codes.Include(dcWantTab); };
    EXPECT_EQ(control->Perform(WM_GETDLGCODE), controlNative) << "native kept: the window's answer stands";
    control->onGetDlgCode = [](TDialogCodeFlags& codes) { codes = {dcWantTab, dcWantArrows}; };
    EXPECT_EQ(control->Perform(WM_GETDLGCODE), LRESULT(DLGC_WANTTAB | DLGC_WANTARROWS)) << "native dropped";
}

TEST_F(XcExControlTest, DialogCodesConvertBothWaysWithoutNative) {
    const LRESULT all = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_BUTTON | DLGC_HASSETSEL | DLGC_WANTTAB;
    EXPECT_EQ(DialogCodesToFlags(all),
              (TDialogCodeFlags{dcWantAllKeys, dcWantArrows, dcWantChars, dcButton, dcHasSetSel, dcWantTab}));
    EXPECT_EQ(DialogCodesToFlags(DLGC_STATIC | DLGC_WANTCHARS), TDialogCodeFlags{dcWantChars});
    EXPECT_EQ(FlagsToDialogCodes({dcNative, dcButton}), LRESULT(DLGC_BUTTON));
    EXPECT_EQ(FlagsToDialogCodes(DialogCodesToFlags(all)), all);
}

TEST_F(XcExControlTest, TheQueryMessageAnswersOneOnlyForAClassWithTheInterface) {
    auto* plain = Child<TXcExCustomControl>(form);
    auto* queried = Child<TXcExQueriedControl>(form);
    auto* graphic = new TXcExGraphicControl(form);
    graphic->SetParent(form);
    EXPECT_EQ(plain->Perform(CM_XCEXQUERY), 0);
    EXPECT_EQ(graphic->Perform(CM_XCEXQUERY), 0);
    EXPECT_EQ(queried->Perform(CM_XCEXQUERY), 1);
    void* marker = nullptr;
    EXPECT_TRUE(graphic->GetInterface(IXcExControl::IID, &marker));
}

TEST_F(XcExControlTest, AFocusedControlWithDotNetHighlightingHasTheBlueRing) {
    auto* control = Child<TXcExCustomEdit>(form);
    control->SetBounds(10, 10, 80, 24);
    control->SetDotNetHighlighting(true);
    control->SetColor(clWhite);
    auto* other = Child<TEdit>(form);
    other->SetBounds(10, 50, 80, 24);
    other->SetFocus();
    PumpMessages();
    const auto ring = [&](int x, int y) {
        control->Perform(WM_NCPAINT, 1);
        HDC dc = GetWindowDC(control->Handle());
        const COLORREF pixel = GetPixel(dc, x, y);
        ReleaseDC(control->Handle(), dc);
        return pixel;
    };
    EXPECT_EQ(ring(0, 0), ColorToRGB(kXcUnfocusedFrameColor));
    EXPECT_EQ(ring(1, 1), ColorToRGB(clWhite));
    control->SetFocus();
    PumpMessages();
    EXPECT_EQ(ring(0, 0), ColorToRGB(0x733800));
    EXPECT_EQ(ring(79, 23), ColorToRGB(0x733800));
    EXPECT_EQ(ring(1, 1), ColorToRGB(0x733800));
}

TEST_F(XcExControlTest, ControlListNotificationsReachTheirHooks) {
    auto* container = Child<TXcExRecordingControl>(form);
    struct Case {
        UINT message;
        bool inserting;
        const char* hook;
    } const cases[] = {
        {CM_CONTROLLISTCHANGE, true, "changing+"},
        {CM_CONTROLCHANGE, false, "changing-"},
        {CM_CONTROLCHANGE, true, "changed+"},
        {CM_CONTROLLISTCHANGE, false, "changed-"},
    };
    TTestGraphic probe(nullptr);
    for (const Case& c : cases) {
        container->calls.clear();
        container->Perform(c.message, WPARAM(&probe), LPARAM(c.inserting));
        EXPECT_EQ(container->calls, std::vector<std::string>{c.hook}) << c.message << " " << c.inserting;
    }
    container->calls.clear();
    auto* child = new TTestGraphic(form);
    child->SetParent(container);
    EXPECT_EQ(container->calls, (std::vector<std::string>{"changing+", "changed+"}));
    EXPECT_EQ(child->Parent(), container);
}

TEST_F(XcExControlTest, AFormThatBecomesShowingInitialisesItsUiState) {
    auto* extended = Application().CreateForm<TXcExWrappableForm>();
    extended->SetBoundsRect({50, 50, 200, 150});
    EXPECT_EQ(extended->HintColor(), clDefault);
    std::vector<WPARAM> uiStates;
    extended->SetWindowProc([&](TMessage& m) {
        if (m.Msg == WM_CHANGEUISTATE) uiStates.push_back(m.WParam);
        extended->WndProc(m);
    });
    extended->Show();
    PumpMessages();
    ASSERT_FALSE(uiStates.empty());
    EXPECT_EQ(uiStates.front(), MAKEWPARAM(UIS_INITIALIZE, 0));
    uiStates.clear();
    extended->Perform(CM_DIALOGKEY, VK_MENU);
    extended->Perform(CM_DIALOGKEY, VK_TAB);
    extended->Perform(CM_DIALOGKEY, 'A');
    EXPECT_EQ(uiStates, (std::vector<WPARAM>{MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                                             MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)}));
    extended->SetWindowProc({});
}

} // namespace
