#include <vector>

#include "../ControlFixture.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/win/controls/Controls.h"

namespace {

class ComboBoxObject : public TObject {};

class ComboBoxTest : public FormTest {
protected:
    TComboBox* MakeCombo(TComboBoxStyle style) {
        form_ = ShownForm(TRect(100, 100, 500, 400));
        auto* combo = new TComboBox(form_);
        combo->SetStyle(style);
        combo->SetBounds(10, 10, 150, 21);
        combo->SetParent(form_);
        for (const char16_t* item : {u"Apple", u"Banana", u"Cherry"}) combo->Items()->Add(item);
        combo->OnChange = [this](TObject*) { ++changes_; };
        combo->SetFocus();
        Application().ProcessMessages();
        return combo;
    }
    static void Press(UINT vk, const String& text = String()) {
        DesktopKey(vk, true, text);
        DesktopKey(vk, false);
        Application().ProcessMessages();
    }

    TForm* form_ = nullptr;
    int changes_ = 0;
};

TEST_F(ComboBoxTest, ItemsWithObjectsAndTheIndexSurviveANewWindow) {
    TComboBox* combo = MakeCombo(csDropDownList);
    ComboBoxObject first, second;
    combo->Items()->SetObjects(0, &first);
    combo->Items()->AddObject(u"视频", &second);
    combo->SetItemIndex(3);
    const HWND before = combo->Handle();
    combo->SetStyle(csOwnerDrawFixed);
    EXPECT_NE(combo->Handle(), before);
    ASSERT_EQ(combo->Items()->Count(), 4);
    EXPECT_EQ(combo->Items()->Objects(0), &first);
    EXPECT_EQ(combo->Items()->Objects(3), &second);
    EXPECT_EQ(combo->Items()->Strings(3), u"视频");
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(combo->Text(), u"视频");
}

// A sorted combo may hold the same text twice; a new window keeps both.
TEST_F(ComboBoxTest, ASortedComboKeepsEqualItemsAcrossANewWindow) {
    TComboBox* combo = MakeCombo(csDropDownList);
    combo->SetSorted(true);
    combo->Items()->Add(u"Banana");
    ASSERT_EQ(combo->Items()->Count(), 4);
    combo->SetStyle(csOwnerDrawFixed);
    ASSERT_EQ(combo->Items()->Count(), 4);
    EXPECT_EQ(combo->Items()->Strings(1), u"Banana");
    EXPECT_EQ(combo->Items()->Strings(2), u"Banana");
}

TEST_F(ComboBoxTest, ChoosingFromTheOpenListGivesOneChangeAndTheEvents) {
    TComboBox* combo = MakeCombo(csDropDownList);
    combo->SetDropDownCount(2);
    std::vector<const char*> events;
    combo->OnDropDown = [&](TObject*) { events.push_back("dropdown"); };
    combo->OnCloseUp = [&](TObject*) { events.push_back("closeup"); };
    DesktopKey(VK_MENU, true);
    Press(VK_DOWN);
    DesktopKey(VK_MENU, false);
    ASSERT_TRUE(combo->DroppedDown());
    RECT list{};
    SendMessageW(combo->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    const int rowHeight = int(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(list.bottom - list.top, 2 * rowHeight + 2) << "DropDownCount rows high";
    const POINT row{list.left + 5, list.top + 1 + rowHeight + rowHeight / 2};
    DesktopMouseMove(row);
    DesktopMouseButton(TDesktopButton::Left, true, row);
    DesktopMouseButton(TDesktopButton::Left, false, row);
    Application().ProcessMessages();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes_, 1);
    EXPECT_EQ(events, (std::vector<const char*>{"dropdown", "closeup"}));
}

TEST_F(ComboBoxTest, TypingCompletesFromTheItemsWithTheRestSelected) {
    TComboBox* combo = MakeCombo(csDropDown);
    Press('C', u"C");
    Press('H', u"h");
    EXPECT_EQ(combo->Text(), u"Cherry");
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 4);
    EXPECT_EQ(combo->ItemIndex(), 2);
    Press(VK_BACK, u"\b");
    EXPECT_EQ(combo->Text(), u"Ch") << "deleting does not complete again";
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetAutoComplete(false);
    Press('e', u"e");
    EXPECT_EQ(combo->Text(), u"Che");
    EXPECT_EQ(changes_, 4) << "one OnChange per edit";
}

TEST_F(ComboBoxTest, CommittedInputMethodTextReachesTheEditOfADropDownCombo) {
    TComboBox* combo = MakeCombo(csDropDown);
    combo->SetAutoComplete(false);
    DesktopImeCommit(u"视频");
    Application().ProcessMessages();
    EXPECT_EQ(combo->Text(), u"视频");
    EXPECT_EQ(changes_, 1);
}

} // namespace
