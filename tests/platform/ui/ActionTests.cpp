#include <gtest/gtest.h>

#include "ActionClients.h"
#include "DialogControls.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/DataModule.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

// --- Shortcuts ---------------------------------------------------------------------------

TEST(ShortCutTest, TextsAndValuesGoBothWays) {
    const struct {
        TShortCut shortCut;
        const char16_t* text;
    } cases[] = {
        {0x404E, u"Ctrl+N"},          {0x8073, u"Alt+F4"},       {0x8028, u"Alt+Down"},
        {0xE02E, u"Shift+Ctrl+Alt+Del"}, {0x000D, u"Enter"},     {0x001B, u"Esc"},
        {0x0008, u"BkSp"},            {0x0009, u"Tab"},          {0x0020, u"Space"},
        {0x0021, u"PgUp"},            {0x0022, u"PgDn"},         {0x0023, u"End"},
        {0x0024, u"Home"},            {0x2025, u"Shift+Left"},   {0x0026, u"Up"},
        {0x0027, u"Right"},           {0x002D, u"Ins"},          {0x0035, u"5"},
        {0x7B, u"F12"},               {0x4087, u"Ctrl+F24"},     {0x205A, u"Shift+Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortCutToText(c.shortCut), String(c.text)) << std::hex << c.shortCut;
        EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << String(c.text).ToUtf8();
    }
}

TEST(ShortCutTest, ParsingIgnoresCaseAndRejectsWhatNoKeyIs) {
    EXPECT_EQ(TextToShortCut(u"ctrl+n"), 0x404E);
    EXPECT_EQ(TextToShortCut(u"ALT+f4"), 0x8073);
    EXPECT_EQ(TextToShortCut(u"Alt+Ctrl+X"), scAlt | scCtrl | 'X');
    for (const char16_t* text : {u"", u"Ctrl+", u"Ctrl", u"Foo", u"Ctrl+NN", u"F25", u"Ctrl-N"})
        EXPECT_EQ(TextToShortCut(text), scNone) << String(text).ToUtf8();
    // The keypad's digits read as digits; the text gives the digit key back.
    EXPECT_EQ(ShortCutToText(scCtrl | VK_NUMPAD5), u"Ctrl+5");
    // Keys without a name have no text.
    EXPECT_EQ(ShortCutToText(scCtrl | VK_LWIN), u"");
    EXPECT_EQ(ShortCutToText(scNone), u"");
}

TEST(ShortCutTest, KeyAndShiftStateMakeTheValueAndComeBackFromIt) {
    EXPECT_EQ(scShift, 0x2000);
    EXPECT_EQ(scCtrl, 0x4000);
    EXPECT_EQ(scAlt, 0x8000);
    EXPECT_EQ(ShortCut(VK_DOWN, {ssAlt}), 0x8028);
    // Mouse buttons and double clicks are no modifiers.
    EXPECT_EQ(ShortCut('N', {ssCtrl, ssLeft, ssDouble}), 0x404E);
    EXPECT_EQ(ShortCut(0x1234, {}), scNone);
    uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(0xE041, key, shift);
    EXPECT_EQ(key, 'A');
    EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl, ssAlt}));
}

// --- Actions without forms ------------------------------------------------------------------------

class ActionTest : public ::testing::Test {
protected:
    TComponent owner{nullptr};
    TActionList* list = new TActionList(&owner);
    TAction* NewAction(TCustomActionList* actionList) {
        auto* action = new TAction(&owner);
        action->SetActionList(actionList);
        return action;
    }
};

TEST_F(ActionTest, TheListsHandlersRunFirstAndCanTakeOverAndASuspendedListRunsNothing) {
    TAction* action = NewAction(list);
    std::vector<std::string> calls;
    bool listHandles = false;
    list->OnExecute = [&](TBasicAction* a, bool& handled) {
        EXPECT_EQ(a, action);
        calls.push_back("list execute");
        handled = listHandles;
    };
    list->OnUpdate = [&](TBasicAction*, bool&) { calls.push_back("list update"); };
    action->OnExecute = [&](TObject*) { calls.push_back("execute"); };
    action->OnUpdate = [&](TObject*) { calls.push_back("update"); };

    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(calls, (std::vector<std::string>{"list update", "update", "list execute", "execute"}));
    calls.clear();
    listHandles = true;
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(calls, (std::vector<std::string>{"list update", "update", "list execute"}));
    calls.clear();
    list->SetState(asSuspended);
    EXPECT_FALSE(action->Execute());
    EXPECT_FALSE(action->Update());
    EXPECT_TRUE(calls.empty());
}

TEST_F(ActionTest, ADisabledActionDoesNotRunAndItsUpdateDecidesFirst) {
    TAction* action = NewAction(list);
    int runs = 0;
    bool allow = false;
    action->OnExecute = [&](TObject*) { ++runs; };
    action->OnUpdate = [&](TObject* sender) { static_cast<TAction*>(sender)->SetEnabled(allow); };
    EXPECT_FALSE(action->Execute());
    EXPECT_FALSE(action->Enabled());
    allow = true;
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(runs, 1);
}

TEST_F(ActionTest, AutoCheckTogglesAndAGroupKeepsOneChecked) {
    TAction* plain = NewAction(list);
    plain->SetAutoCheck(true);
    plain->Execute();
    EXPECT_TRUE(plain->Checked());
    plain->Execute();
    EXPECT_FALSE(plain->Checked());

    TAction* group[3] = {NewAction(list), NewAction(list), NewAction(list)};
    TAction* elsewhere = NewAction(nullptr);
    for (TAction* a : group) {
        a->SetGroupIndex(1);
        a->SetAutoCheck(true);
    }
    elsewhere->SetGroupIndex(1);
    elsewhere->SetChecked(true);
    group[0]->Execute();
    group[2]->Execute();
    EXPECT_EQ((std::vector<bool>{group[0]->Checked(), group[1]->Checked(), group[2]->Checked()}),
              (std::vector<bool>{false, false, true}));
    // Executing the checked one of a group leaves it checked.
    group[2]->Execute();
    EXPECT_TRUE(group[2]->Checked());
    EXPECT_TRUE(elsewhere->Checked()) << "an action outside the list is not in the group";
}

TEST_F(ActionTest, TheListLetsGoOfItsActionsAndTheActionsOfTheList) {
    TAction* a = NewAction(list);
    TAction* b = NewAction(list);
    TAction* c = NewAction(list);
    EXPECT_EQ(b->Index(), 1);
    c->SetIndex(0);
    EXPECT_EQ(list->Actions(0), c);
    EXPECT_EQ(a->GetParentComponent(), list);
    delete b;
    EXPECT_EQ(list->ActionCount(), 2);
    EXPECT_THROW(list->Actions(2), EListError);
    delete list;
    EXPECT_EQ(a->ActionList(), nullptr);
    EXPECT_EQ(a->Index(), -1);
}

// --- Links ----------------------------------------------------------------------------------------

TEST_F(ActionTest, ClientsFollowTheActionWhileTheyAgreeWithIt) {
    TAction* action = NewAction(list);
    action->SetCaption(u"新建");
    action->SetHint(u"新建任务");
    action->SetImageIndex(3);
    action->SetShortCut(TextToShortCut(u"Ctrl+N"));
    auto* button = new TTestToolButton(&owner);
    auto* item = new TTestMenuItem(&owner);
    button->SetAction(action);
    item->SetAction(action);
    EXPECT_EQ(button->Caption(), u"新建");
    EXPECT_EQ(button->Hint(), u"新建任务");
    EXPECT_EQ(button->ImageIndex(), 3);
    EXPECT_TRUE(button->ControlStyle().Contains(csActionClient));
    EXPECT_EQ(item->shortCut, 0x404E);
    EXPECT_EQ(action->ClientCount(), 2);

    action->SetCaption(u"打开");
    action->SetEnabled(false);
    action->SetChecked(true);
    action->SetImageIndex(4);
    action->SetVisible(false);
    action->SetShortCut(TextToShortCut(u"Ctrl+O"));
    EXPECT_EQ(button->Caption(), u"打开");
    EXPECT_FALSE(button->Enabled());
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->ImageIndex(), 4);
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(item->caption, u"打开");
    EXPECT_FALSE(item->enabled);
    EXPECT_TRUE(item->checked);
    EXPECT_EQ(item->imageIndex, 4);
    EXPECT_FALSE(item->visible);
    EXPECT_EQ(item->shortCut, 0x404F);

    // A client given a value of its own keeps it; the others still follow.
    button->SetCaption(u"自己的");
    item->imageIndex = 9;
    action->SetCaption(u"关闭");
    action->SetImageIndex(5);
    EXPECT_EQ(button->Caption(), u"自己的");
    EXPECT_EQ(item->caption, u"关闭");
    EXPECT_EQ(item->imageIndex, 9);
    EXPECT_EQ(button->ImageIndex(), 5);
}

TEST_F(ActionTest, AnActionGivenWhileLoadingFillsOnlyWhatTheControlLeftAtItsDefault) {
    TAction* action = NewAction(list);
    action->SetCaption(u"删除");
    action->SetHint(u"删除任务");
    action->SetEnabled(false);
    auto* own = new TTestToolButton(&owner);
    auto* blank = new TTestToolButton(&owner);
    own->SetCaption(u"移除");
    own->SetImageIndex(2);
    action->SetImageIndex(7);
    action->BeginLoading();
    own->SetAction(action);
    blank->SetAction(action);
    action->EndLoading();
    EXPECT_EQ(own->Caption(), u"移除");
    EXPECT_EQ(own->ImageIndex(), 2);
    EXPECT_EQ(blank->Caption(), u"删除");
    EXPECT_EQ(blank->ImageIndex(), 7);
    for (TTestToolButton* b : {own, blank}) {
        EXPECT_EQ(b->Hint(), u"删除任务");
        EXPECT_FALSE(b->Enabled());
    }
}

TEST_F(ActionTest, FreeingEitherSideUnlinks) {
    TAction* action = NewAction(list);
    auto* button = new TTestToolButton(&owner);
    auto* item = new TTestMenuItem(&owner);
    button->SetAction(action);
    item->SetAction(action);
    delete item;
    EXPECT_EQ(action->ClientCount(), 1);
    delete action;
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_FALSE(button->ControlStyle().Contains(csActionClient));

    TComponent other(nullptr);
    auto* foreign = new TAction(&other);
    button->SetAction(foreign);
    delete button;
    EXPECT_EQ(foreign->ClientCount(), 0);
}

TEST_F(ActionTest, AClientsClickExecutesTheActionWithTheClientAsActionComponentUnlessItHasItsOwnOnClick) {
    TAction* action = NewAction(list);
    auto* button = new TTestToolButton(&owner);
    auto* item = new TTestMenuItem(&owner);
    button->SetAction(action);
    item->SetAction(action);
    std::vector<TComponent*> sources;
    action->OnExecute = [&](TObject*) { sources.push_back(action->ActionComponent()); };
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    item->Click();
    EXPECT_EQ(sources, (std::vector<TComponent*>{button, item}));
    EXPECT_EQ(action->ActionComponent(), nullptr);

    int own = 0;
    button->OnClick = [&](TObject*) { ++own; };
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(own, 1);
    EXPECT_EQ(sources.size(), 2u);
}

TEST_F(ActionTest, AnActionComponentFreedWhileTheActionRunsIsForgotten) {
    TAction* action = NewAction(list);
    auto* item = new TTestMenuItem(&owner);
    auto* other = new TTestMenuItem(&owner);
    item->SetAction(action);
    action->OnExecute = [&](TObject*) {
        action->SetActionComponent(other);
        delete other;
        EXPECT_EQ(action->ActionComponent(), nullptr);
    };
    item->Click();
}

} // namespace
