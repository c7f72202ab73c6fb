// Actions in forms: shortcuts before the focused control, idle updates of the
// forms' clients and action lists, and data modules.

#include <gtest/gtest.h>

#include "ActionClients.h"
#include "DialogControls.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/Menus.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

void PressWith(UINT modifier, UINT vk) {
    DesktopKey(modifier, true);
    DesktopKey(vk, true);
    DesktopKey(vk, false);
    DesktopKey(modifier, false);
    Application().ProcessMessages();
}

int KeyDownsOf(const TTestEdit* edit, WPARAM key) {
    return int(std::count(edit->windowKeys.begin(), edit->windowKeys.end(), std::pair<UINT, WPARAM>(WM_KEYDOWN, key)));
}

class ActionFormTest : public FormTest {
protected:
    void SetUp() override {
        main = ShownForm({0, 0, 400, 300});
        list = new TActionList(main);
        edit = NewEdit(main);
    }
    // One idle step of the application's loop, with a message waiting so that it does not block.
    void Idle() {
        PostMessageW(Application().Handle(), WM_NULL, 0, 0);
        Application().Idle(MSG{});
        PumpMessages();
    }
    TAction* NewAction(TCustomActionList* actionList, const char16_t* shortCut = u"") {
        auto* action = new TAction(actionList->Owner());
        action->SetActionList(actionList);
        action->SetShortCut(TextToShortCut(shortCut));
        return action;
    }
    TTestEdit* NewEdit(TWinControl* parent) {
        auto* control = new TTestEdit(parent->Owner() ? parent->Owner() : parent);
        control->SetParent(parent);
        control->SetFocus();
        PumpMessages();
        return control;
    }

    TForm* main = nullptr;
    TActionList* list = nullptr;
    TTestEdit* edit = nullptr;
};

// A main window's "new task" command: a menu item and a tool button share one action.
TEST_F(ActionFormTest, CtrlNRunsTheSharedActionOnceAndTheUpdateOnIdleGreysBothClientsAndStopsIt) {
    TAction* action = NewAction(list, u"Ctrl+N");
    action->SetCaption(u"新建");
    auto* item = new TTestMenuItem(main);
    auto* button = new TTestToolButton(main);
    button->SetLeft(200);
    button->SetParent(main);
    item->SetAction(action);
    button->SetAction(action);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };

    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(KeyDownsOf(edit, 'N'), 0) << "the focused control saw the shortcut";

    bool allowed = false;
    action->OnUpdate = [&](TObject*) {
        action->SetEnabled(allowed);
        action->SetCaption(allowed ? u"新建" : u"新建 (忙)");
        action->SetImageIndex(allowed ? 1 : 2);
    };
    Idle();
    EXPECT_FALSE(item->enabled);
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(item->caption, u"新建 (忙)");
    EXPECT_EQ(button->Caption(), u"新建 (忙)");
    EXPECT_EQ(item->imageIndex, 2);
    EXPECT_EQ(button->ImageIndex(), 2);
    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(KeyDownsOf(edit, 'N'), 1) << "a disabled action leaves the key to the control";

    allowed = true;
    Idle();
    EXPECT_TRUE(item->enabled);
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->ImageIndex(), 1);
    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 2);
    // Clicking the tool button runs it too.
    const TPoint pt = button->ClientToScreen({5, 5});
    DesktopMouseButton(TDesktopButton::Left, true, {pt.X, pt.Y});
    DesktopMouseButton(TDesktopButton::Left, false, {pt.X, pt.Y});
    Application().ProcessMessages();
    EXPECT_EQ(runs, 3);
}

// The same with the form's real main menu: the item shows the action, runs it once and greys with it.
TEST_F(ActionFormTest, AMainMenuItemShowsRunsAndGreysWithItsAction) {
    TAction* action = NewAction(list, u"Ctrl+N");
    action->SetCaption(u"新建任务(&N)");
    auto* menu = new TMainMenu(main);
    auto* file = new TMenuItem(main);
    file->SetCaption(u"文件(&F)");
    menu->Items()->Add(file);
    auto* item = new TMenuItem(main);
    item->SetAction(action);
    file->Add(item);
    main->SetMenu(menu);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    EXPECT_EQ(item->Caption(), u"新建任务(&N)");
    EXPECT_EQ(item->ShortCut(), TextToShortCut(u"Ctrl+N"));

    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 1) << "the menu and the action list both know Ctrl+N; it runs once";
    EXPECT_EQ(KeyDownsOf(edit, 'N'), 0);
    item->Click();
    EXPECT_EQ(runs, 2);

    bool allowed = false;
    action->OnUpdate = [&](TObject*) { action->SetEnabled(allowed); };
    Idle();
    EXPECT_FALSE(item->Enabled());
    UINT state = GetMenuState(file->Handle(), item->Command(), MF_BYCOMMAND);
    EXPECT_NE(state & MF_GRAYED, 0u) << "the handle shows the item grey";
    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 2);
    allowed = true;
    Idle();
    EXPECT_TRUE(item->Enabled());
    PressWith(VK_CONTROL, 'N');
    EXPECT_EQ(runs, 3);

    // The item lets go of a freed action and keeps what it showed.
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(item->Caption(), u"新建任务(&N)");
}

TEST_F(ActionFormTest, ShortCutsReachTheFormsAndItsFramesListsThenTheMainFormsWhileItTakesInput) {
    const struct {
        const char16_t* key;
        UINT modifier, vk;
    } keys[] = {{u"Ctrl+N", VK_CONTROL, 'N'}, {u"Alt+F4", VK_MENU, VK_F4}, {u"Shift+F2", VK_SHIFT, VK_F2}};
    TForm* other = ShownForm({420, 0, 700, 200});
    auto* frame = new TFrame(other);
    frame->SetParent(other);
    auto* frameList = new TActionList(frame);
    TTestEdit* otherEdit = NewEdit(frame);
    std::vector<std::string> runs;
    auto record = [&](TAction* action, std::string name) { action->OnExecute = [&runs, name](TObject*) { runs.push_back(name); }; };
    record(NewAction(list, keys[0].key), "main Ctrl+N");
    record(NewAction(new TActionList(other), keys[0].key), "other Ctrl+N");
    record(NewAction(list, keys[1].key), "main Alt+F4");
    TAction* secondary = NewAction(frameList);
    secondary->SecondaryShortCuts()->Add(keys[2].key);
    record(secondary, "frame Shift+F2");

    // The focus is in the other form: its own list first, then the main form's.
    for (const auto& k : keys) PressWith(k.modifier, k.vk);
    EXPECT_EQ(runs, (std::vector<std::string>{"other Ctrl+N", "main Alt+F4", "frame Shift+F2"}));
    for (const auto& k : keys) EXPECT_EQ(KeyDownsOf(otherEdit, k.vk), 0) << "the focused control saw the shortcut";

    // A hidden frame's actions take no keys; a main form disabled by a dialog takes none either.
    runs.clear();
    frame->Hide();
    other->SetFocus();
    PumpMessages();
    EnableWindow(main->Handle(), FALSE);
    PressWith(VK_SHIFT, VK_F2);
    // Unhandled, Alt+F4 asks the other form to close: it stays, keeping the focus.
    other->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    PressWith(VK_MENU, VK_F4);
    EXPECT_TRUE(runs.empty());
    EnableWindow(main->Handle(), TRUE);
}

TEST_F(ActionFormTest, IdleUpdatesTheClientsAndListsOfShowingFormsAndFramesOncePerActionPerPass) {
    std::map<std::string, int> updates;
    auto counted = [&](TAction* action, std::string name) {
        action->OnUpdate = [&updates, name](TObject*) { ++updates[name]; };
        return action;
    };
    // In the main form: an action in its list with two clients, and a client of an action held elsewhere.
    TAction* shared = counted(NewAction(list), "shared");
    for (int i = 0; i < 2; ++i) {
        auto* button = new TTestToolButton(main);
        button->SetParent(main);
        button->SetAction(shared);
    }
    TComponent elsewhere(nullptr);
    auto* loose = counted(new TAction(&elsewhere), "loose");
    auto* panel = new TTestPanel(main);
    panel->SetParent(main);
    auto* inPanel = new TTestToolButton(main);
    inPanel->SetParent(panel);
    inPanel->SetAction(loose);
    // A showing frame and a hidden one, each with a list.
    auto* frame = new TFrame(main);
    frame->SetParent(main);
    counted(NewAction(new TActionList(frame)), "frame");
    auto* hiddenFrame = new TFrame(main);
    hiddenFrame->SetParent(main);
    hiddenFrame->Hide();
    counted(NewAction(new TActionList(hiddenFrame)), "hidden frame");
    // A hidden form and a data module.
    auto* hidden = new TForm(&Application());
    counted(NewAction(new TActionList(hidden)), "hidden form");
    auto* module = Application().CreateForm<TDataModule>();
    counted(NewAction(new TActionList(module)), "module");
    // A client hidden by its action comes back when the action shows again.
    TAction* toggled = counted(NewAction(list), "toggled");
    auto* toggledButton = new TTestToolButton(main);
    toggledButton->SetParent(main);
    toggledButton->SetAction(toggled);
    bool show = false;
    toggled->OnUpdate = [&](TObject*) { toggled->SetVisible(show); };

    Idle();
    EXPECT_EQ(updates, (std::map<std::string, int>{{"shared", 1}, {"loose", 1}, {"frame", 1}}));
    EXPECT_FALSE(toggledButton->Visible());
    show = true;
    Idle();
    EXPECT_TRUE(toggledButton->Visible());
    EXPECT_EQ(updates["shared"], 2);

    // OnIdle that wants more idle time, a hidden panel, a form disabled by a modal dialog: no updates.
    Application().OnIdle = [](TObject*, bool& done) { done = false; };
    Idle();
    Application().OnIdle = nullptr;
    panel->Hide();
    Idle();
    EXPECT_EQ(updates["loose"], 2);
    EnableWindow(main->Handle(), FALSE);
    Idle();
    EnableWindow(main->Handle(), TRUE);
    EXPECT_EQ(updates["shared"], 3);
}

// --- Data modules -----------------------------------------------------------------------

class TTestModule : public TDataModule {
public:
    explicit TTestModule(TComponent* owner) : TDataModule(owner) {
        BeginLoading();
        list = new TActionList(this);
        action = new TAction(this);
        action->SetActionList(list);
        OnCreate = [this](TObject*) { created = list->ActionCount(); };
        EndLoading();
    }
    TActionList* list;
    TAction* action;
    int created = -1;
};

TEST_F(FormTest, ADataModuleMadeFirstIsNotTheMainFormAndRunsOnCreateBuiltAndOnDestroyFirstWhenFreed) {
    auto* module = Application().CreateForm<TTestModule>();
    EXPECT_EQ(Application().MainForm(), nullptr);
    EXPECT_EQ(module->created, 1) << "OnCreate runs once the module is built";
    TForm* form = Application().CreateForm<TForm>();
    EXPECT_EQ(Application().MainForm(), form);
    int actionsAtDestroy = -1;
    module->OnDestroy = [&](TObject*) { actionsAtDestroy = module->list->ActionCount(); };
    delete module;
    EXPECT_EQ(actionsAtDestroy, 1);
}

TEST_F(FormTest, AModulesActionLinkedOnlyToAPopupItemUpdatesWhenTheItemIsPreparedNotOnIdle) {
    auto* module = Application().CreateForm<TTestModule>();
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* item = new TTestMenuItem(form);
    item->SetAction(module->action);
    int listUpdates = 0;
    module->list->OnUpdate = [&](TBasicAction* action, bool&) {
        ++listUpdates;
        static_cast<TAction*>(action)->SetEnabled(false);
    };
    PostMessageW(Application().Handle(), WM_NULL, 0, 0);
    Application().Idle(MSG{});
    EXPECT_EQ(listUpdates, 0);
    // What a popup menu does with its items before it opens.
    item->InitiateAction();
    EXPECT_EQ(listUpdates, 1);
    EXPECT_FALSE(item->enabled);
}

} // namespace
