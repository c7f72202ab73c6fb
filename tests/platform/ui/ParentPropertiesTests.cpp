#include "ControlFixture.h"

#include <functional>

#include "platform/win/User.h"

namespace {

using TLogged = std::vector<std::pair<UINT, LPARAM>>;

// A panel with a follower (windowed, with a window-less child of its own),
// a window-less follower and a child that set its own value.
struct TFamily {
    TTestPanel* panel;
    TTestPanel* follower;
    TTestGraphic* grandchild;
    TTestGraphic* graphic;
    TTestPanel* own;
    TTestGraphic* ownChild;
};

TFamily MakeFamily(TForm* form) {
    TFamily f;
    f.panel = new TTestPanel(form);
    f.panel->SetParent(form);
    f.follower = new TTestPanel(form);
    f.follower->SetParent(f.panel);
    f.grandchild = new TTestGraphic(form);
    f.grandchild->SetParent(f.follower);
    f.graphic = new TTestGraphic(form);
    f.graphic->SetParent(f.panel);
    f.own = new TTestPanel(form);
    f.own->SetParent(f.panel);
    f.ownChild = new TTestGraphic(form);
    f.ownChild->SetParent(f.own);
    return f;
}

TEST_F(FormTest, APanelsFontReachesTheChildrenThatFollowIt) {
    TForm* form = ShownForm({0, 0, 300, 200});
    const TFamily f = MakeFamily(form);
    f.own->Font()->SetSize(20);
    EXPECT_FALSE(f.own->ParentFont());
    EXPECT_EQ(f.ownChild->Font()->Size(), 20);
    for (TMessageLog* log : {&f.follower->log, &f.own->log}) log->watched = {CM_PARENTFONTCHANGED, WM_SETFONT};
    HFONT lastFont = nullptr;
    f.follower->SetWindowProc([&](TMessage& m) {
        if (m.Msg == WM_SETFONT) lastFont = HFONT(m.WParam);
        f.follower->log.Note(m);
        f.follower->Dispatch(m);
    });
    f.graphic->log.watched = {CM_PARENTFONTCHANGED, CM_FONTCHANGED};

    f.panel->Font()->SetSize(14);
    f.panel->Font()->SetName(u"Serif");
    for (TControl* c : std::initializer_list<TControl*>{f.follower, f.grandchild, f.graphic}) {
        EXPECT_EQ(c->Font()->Size(), 14);
        EXPECT_EQ(c->Font()->Name(), u"Serif");
        EXPECT_TRUE(c->ParentFont());
    }
    EXPECT_EQ(f.own->Font()->Size(), 20);
    EXPECT_EQ(f.ownChild->Font()->Size(), 20);
    // Windowed followers tell their windows; the one with its own font only hears of it.
    const std::vector<UINT> followed{CM_PARENTFONTCHANGED, WM_SETFONT};
    EXPECT_EQ(f.follower->log.Messages(), (std::vector<UINT>{followed[0], followed[1], followed[0], followed[1]}));
    EXPECT_EQ(f.own->log.Messages(), (std::vector<UINT>{CM_PARENTFONTCHANGED, CM_PARENTFONTCHANGED}));
    EXPECT_EQ(f.graphic->log.Messages(),
              (std::vector<UINT>{CM_PARENTFONTCHANGED, CM_FONTCHANGED, CM_PARENTFONTCHANGED, CM_FONTCHANGED}));
    EXPECT_EQ(lastFont, f.follower->Font()->Handle());

    // Following the parent again takes its font at once.
    f.own->SetParentFont(true);
    EXPECT_EQ(f.own->Font()->Size(), 14);
    EXPECT_EQ(f.ownChild->Font()->Size(), 14);
    f.follower->SetWindowProc(nullptr);
}

struct TParentValueCase {
    const char* name;
    std::function<void(TControl*, int)> set;     // 0 and 1 are two different values
    std::function<int(TControl*)> get;
    std::function<bool(TControl*)> follows;
    std::function<void(TControl*, bool)> setFollows;
    UINT parentMessage;
};

const TParentValueCase kParentValues[] = {
    {"Color", [](TControl* c, int v) { c->SetColor(v ? clRed : clGreen); },
     [](TControl* c) { return c->Color() == clRed ? 1 : c->Color() == clGreen ? 0 : -1; },
     [](TControl* c) { return c->ParentColor(); }, [](TControl* c, bool v) { c->SetParentColor(v); },
     CM_PARENTCOLORCHANGED},
    {"ShowHint", [](TControl* c, int v) { c->SetShowHint(v != 0); }, [](TControl* c) { return int(c->ShowHint()); },
     [](TControl* c) { return c->ParentShowHint(); }, [](TControl* c, bool v) { c->SetParentShowHint(v); },
     CM_PARENTSHOWHINTCHANGED},
    {"BiDiMode", [](TControl* c, int v) { c->SetBiDiMode(v ? bdRightToLeft : bdLeftToRight); },
     [](TControl* c) { return c->BiDiMode() == bdRightToLeft ? 1 : 0; },
     [](TControl* c) { return c->ParentBiDiMode(); }, [](TControl* c, bool v) { c->SetParentBiDiMode(v); },
     CM_PARENTBIDIMODECHANGED},
};

TEST_F(FormTest, ParentColorShowHintAndBiDiModeFollowLikeTheFont) {
    TForm* form = ShownForm({0, 0, 300, 200});
    for (const TParentValueCase& c : kParentValues) {
        SCOPED_TRACE(c.name);
        const TFamily f = MakeFamily(form);
        c.set(f.panel, 0);
        // A value equal to the parent's is no value of its own; a different one is.
        c.set(f.own, 0);
        EXPECT_TRUE(c.follows(f.own));
        c.set(f.own, 1);
        c.set(f.own, 0);
        EXPECT_FALSE(c.follows(f.own));
        for (TMessageLog* log : {&f.follower->log, &f.own->log}) log->watched = {c.parentMessage};
        f.grandchild->log.watched = {c.parentMessage};

        c.set(f.panel, 1);
        for (TControl* child : std::initializer_list<TControl*>{f.follower, f.grandchild, f.graphic}) {
            EXPECT_EQ(c.get(child), 1);
            EXPECT_TRUE(c.follows(child));
        }
        EXPECT_EQ(c.get(f.own), 0);
        EXPECT_EQ(c.get(f.ownChild), 0);
        EXPECT_EQ(f.own->log.Messages(), (std::vector<UINT>{c.parentMessage}));
        EXPECT_EQ(f.grandchild->log.Messages(), (std::vector<UINT>{c.parentMessage}));

        c.setFollows(f.own, true);
        EXPECT_EQ(c.get(f.own), 1);
        EXPECT_EQ(c.get(f.ownChild), 1);
        delete f.panel;
    }
}

TEST_F(FormTest, StateChangesNotifyTheControlOnlyWhenTheValueChanges) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* graphic = new TTestGraphic(form);
    graphic->SetParent(panel);
    for (TMessageLog* log : {&panel->log, &graphic->log})
        log->watched = {CM_VISIBLECHANGED, CM_ENABLEDCHANGED, CM_TEXTCHANGED};

    for (TControl* c : std::initializer_list<TControl*>{panel, graphic}) {
        c->SetVisible(false);
        c->SetVisible(false);
        c->SetEnabled(false);
        c->SetEnabled(false);
        c->SetText(u"one");
        c->SetText(u"one");
        c->SetVisible(true);
        c->SetEnabled(true);
        EXPECT_EQ(c->Text(), u"one");
    }
    const std::vector<UINT> expected{CM_VISIBLECHANGED, CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_VISIBLECHANGED,
                                     CM_ENABLEDCHANGED};
    EXPECT_EQ(panel->log.Messages(), expected);
    EXPECT_EQ(graphic->log.Messages(), expected);
    EXPECT_TRUE(IsWindowVisible(panel->Handle()));
    EXPECT_TRUE(IsWindowEnabled(panel->Handle()));
}

TEST_F(FormTest, ShowingChangesGoDownTheTree) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* child = new TTestPanel(form);
    child->SetParent(panel);
    auto* grandchild = new TTestPanel(form);
    grandchild->SetParent(child);
    auto* graphic = new TTestGraphic(form);
    graphic->SetParent(child);
    auto* hidden = new TTestPanel(form);
    hidden->SetParent(panel);
    hidden->Hide();
    for (TTestPanel* p : {panel, child, grandchild, hidden}) p->log.watched = {CM_SHOWINGCHANGED};

    panel->Hide();
    for (TTestPanel* p : {panel, child, grandchild}) {
        EXPECT_FALSE(p->Showing());
        EXPECT_FALSE(IsWindowVisible(p->Handle()));
        EXPECT_EQ(p->log.Messages(), (std::vector<UINT>{CM_SHOWINGCHANGED}));
    }
    EXPECT_FALSE(graphic->Showing());
    EXPECT_TRUE(hidden->log.seen.empty());

    panel->Show();
    for (TTestPanel* p : {panel, child, grandchild}) {
        EXPECT_TRUE(p->Showing());
        EXPECT_TRUE(IsWindowVisible(p->Handle()));
        EXPECT_EQ(p->log.Messages(), (std::vector<UINT>{CM_SHOWINGCHANGED, CM_SHOWINGCHANGED}));
    }
    EXPECT_TRUE(graphic->Showing());
    EXPECT_FALSE(hidden->Showing());
    EXPECT_TRUE(hidden->log.seen.empty());
}

TEST_F(FormTest, InsertingAndRemovingAControlIsAnnouncedBeforeAndAfter) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* graphic = new TTestGraphic(form);
    int countAtChanging = -1, countAtChanged = -1;
    panel->SetWindowProc([&](TMessage& m) {
        panel->log.Note(m);
        if (m.Msg == CM_CONTROLLISTCHANGE && m.LParam) countAtChanging = panel->ControlCount();
        if (m.Msg == CM_CONTROLCHANGE && m.LParam) countAtChanged = panel->ControlCount();
        EXPECT_TRUE((m.Msg != CM_CONTROLLISTCHANGE && m.Msg != CM_CONTROLCHANGE) || m.WParam == WPARAM(graphic));
        panel->Dispatch(m);
    });
    panel->log.watched = {CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE};

    graphic->SetParent(panel);
    EXPECT_EQ(panel->log.seen, (TLogged{{CM_CONTROLLISTCHANGE, 1}, {CM_CONTROLCHANGE, 1}}));
    EXPECT_EQ(countAtChanging, 0);
    EXPECT_EQ(countAtChanged, 1);

    panel->log.seen.clear();
    graphic->SetParent(nullptr);
    // Removing: the change first, the list after.
    EXPECT_EQ(panel->log.seen, (TLogged{{CM_CONTROLCHANGE, 0}, {CM_CONTROLLISTCHANGE, 0}}));
    EXPECT_EQ(panel->ControlCount(), 0);
    panel->SetWindowProc(nullptr);
    delete graphic;
}

TEST_F(FormTest, RecreatingTheWindowKeepsTextBoundsAndChildren) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->SetBounds(12, 34, 150, 90);
    panel->SetText(u"面板");
    auto* child = new TTestPanel(form);
    child->SetParent(panel);
    child->SetBounds(5, 6, 40, 30);
    child->SetText(u"child");
    auto* graphic = new TTestGraphic(form);
    graphic->SetParent(panel);
    const HWND oldPanel = panel->Handle();
    const HWND oldChild = child->Handle();
    panel->log.watched = {CM_RECREATEWND};

    panel->RecreateWnd();
    PumpMessages();
    EXPECT_EQ(panel->log.Messages(), (std::vector<UINT>{CM_RECREATEWND}));
    ASSERT_TRUE(panel->HandleAllocated());
    EXPECT_FALSE(IsWindow(oldPanel));
    EXPECT_FALSE(IsWindow(oldChild));
    EXPECT_EQ(panel->Text(), u"面板");
    EXPECT_EQ(child->Text(), u"child");
    EXPECT_EQ(panel->BoundsRect(), (TRect{12, 34, 162, 124}));
    EXPECT_EQ(child->BoundsRect(), (TRect{5, 6, 45, 36}));
    EXPECT_EQ(GetParent(child->Handle()), panel->Handle());
    EXPECT_TRUE(IsWindowVisible(child->Handle()));
    EXPECT_EQ(graphic->Parent(), panel);
    RECT r;
    GetWindowRect(child->Handle(), &r);
    POINT origin{0, 0};
    ClientToScreen(panel->Handle(), &origin);
    EXPECT_EQ(r.left - origin.x, 5);
    EXPECT_EQ(r.bottom - r.top, 30);
}

// A window class of the window system's kind: the control wraps it.
constexpr const char16_t* kWrappedClass = u"TestWrappedClass";
std::vector<UINT> wrappedSeen;

LRESULT WrappedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    wrappedSeen.push_back(message);
    if (message == WM_GETDLGCODE) return DLGC_WANTCHARS | DLGC_WANTARROWS;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class TWrapper : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        CreateSubClass(params, kWrappedClass);
    }
};

TEST_F(FormTest, ASubclassedControlsDefaultHandlerIsTheClassProcedure) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &WrappedProc;
    wc.lpszClassName = kWrappedClass;
    wc.style = CS_GLOBALCLASS;
    ASSERT_NE(RegisterClassW(&wc), 0);
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* wrapper = new TWrapper(form);
    wrapper->SetParent(form);
    wrapper->SetBounds(0, 0, 50, 20);
    wrapper->SetText(u"text");
    wrappedSeen.clear();

    EXPECT_EQ(wrapper->Perform(WM_GETDLGCODE), LRESULT(DLGC_WANTCHARS | DLGC_WANTARROWS));
    EXPECT_EQ(SendMessageW(wrapper->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTCHARS | DLGC_WANTARROWS));
    EXPECT_EQ(wrapper->Text(), u"text");
    EXPECT_NE(std::find(wrappedSeen.begin(), wrappedSeen.end(), UINT(WM_GETTEXT)), wrappedSeen.end());

    delete wrapper;
    UnregisterClassW(kWrappedClass, nullptr);
}

} // namespace
