#include "support/storage/XcPropertyStorage.h"

#include <gtest/gtest.h>

#include "RegistryHome.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcAppRegistryStorage.h"
#include "support/utils/ScRegistry.h"

namespace {

class TTestEdit : public TComponent {
    RTL_CLASS(TTestEdit, TComponent);

public:
    using TComponent::TComponent;
    String Text;
    int Width = 0;
    int64_t Big = 0;
};
RTL_PUBLISHED(TTestEdit, c) {
    c.Property("Text", &TTestEdit::Text, &TTestEdit::Text);
    c.Property("Width", &TTestEdit::Width, &TTestEdit::Width);
    c.Property("Big", &TTestEdit::Big, &TTestEdit::Big);
}

std::vector<String> Entries(const TStrings& list) {
    std::vector<String> entries;
    for (int i = 0; i < list.Count(); ++i) entries.push_back(list[i]);
    return entries;
}

// A form with two edits and a property storage under Ostrel\Form.
class PropertyStorage : public testing::Test {
protected:
    PropertyStorage() {
        form_.SetName(u"Form");
        edit_->SetName(u"Edit1");
        other_->SetName(u"Edit2");
        appStorage_.SetRoot(u"Ostrel");
        storage_.SetAppStorage(&appStorage_);
        storage_.SetAppStoragePath(u"Form");
    }
    void Bind(std::initializer_list<const char16_t*> entries) {
        for (const char16_t* entry : entries) list_.Add(entry);
        storage_.UpdateStoredPropList(&form_, list_, true);
    }

    TRegistryHome home_;
    TComponent form_{nullptr};
    TTestEdit* edit_ = new TTestEdit(&form_);
    TTestEdit* other_ = new TTestEdit(&form_);
    TXcAppRegistryStorage appStorage_{nullptr};
    TXcPropertyStorage storage_;
    TStringList list_;
};

TEST_F(PropertyStorage, EntriesThatDoNotParseOrNameNoComponentAreDeleted) {
    Bind({u"Edit1.Text", u"NoDot", u".Text", u"Edit1.", u" Edit2 . Width ", u"Missing.Text", u"Edit1.Width.More"});
    EXPECT_EQ((std::vector<String>{u"Edit1.Text", u" Edit2 . Width ", u"Edit1.Width.More"}), Entries(list_));
    EXPECT_EQ(edit_, list_.Objects(0));
    EXPECT_EQ(other_, list_.Objects(1));

    storage_.UpdateStoredPropList(&form_, list_, false);
    EXPECT_EQ((std::vector<String>{u"Edit1.Text", u"Edit2.Width", u"Edit1.Width.More"}), Entries(list_));
}

TEST_F(PropertyStorage, RenamingAComponentRewritesItsEntries) {
    Bind({u"Edit1.Text", u"Edit2.Width"});
    edit_->SetName(u"NameEdit");
    list_.Add(u"Edit9.Text"); // never bound
    storage_.UpdateStoredPropList(&form_, list_, false);
    EXPECT_EQ((std::vector<String>{u"NameEdit.Text", u"Edit2.Width"}), Entries(list_));
}

TEST_F(PropertyStorage, SavesAndLoadsTheListedProperties) {
    Bind({u"Edit1.Text", u"Edit1.Nope", u"edit2.width"});
    edit_->Text = u"转换";
    edit_->Width = 5;
    other_->Width = 120;
    storage_.SaveStoredProps(&form_, list_);
    EXPECT_EQ(String(u"转换"), ReadRegStringDef(HKEY_CURRENT_USER, u"Ostrel\\Form", u"Edit1_Text", u""));
    EXPECT_EQ(120, ReadRegIntegerDef(HKEY_CURRENT_USER, u"Ostrel\\Form", u"Edit2_width", 0));
    DWORD type = 0;
    EXPECT_FALSE(GetRegValueType(HKEY_CURRENT_USER, u"Ostrel\\Form", u"Edit1_Width", type)) << "not listed";
    EXPECT_FALSE(GetRegValueType(HKEY_CURRENT_USER, u"Ostrel\\Form", u"Edit1_Nope", type));

    edit_->Text = u"changed";
    edit_->Width = 6;
    other_->Width = 1;
    storage_.LoadStoredProps(&form_, list_);
    EXPECT_EQ(String(u"转换"), edit_->Text);
    EXPECT_EQ(6, edit_->Width) << "not listed";
    EXPECT_EQ(120, other_->Width);
}

TEST_F(PropertyStorage, AValueNeverStoredLeavesThePropertyAlone) {
    Bind({u"Edit1.Text", u"Edit1.Width"});
    edit_->Text = u"kept";
    edit_->Width = 9;
    storage_.LoadStoredProps(&form_, list_);
    EXPECT_EQ(String(u"kept"), edit_->Text);
    EXPECT_EQ(9, edit_->Width);
}

TEST_F(PropertyStorage, APropertyThatFailsToLoadDoesNotStopTheOthers) {
    Bind({u"Edit1.Big", u"Edit1.Width"});
    appStorage_.WriteString(u"Form\\Edit1_Big", u"not a number");
    appStorage_.WriteInteger(u"Form\\Edit1_Width", 44);
    edit_->Big = 3;
    storage_.LoadStoredProps(&form_, list_);
    EXPECT_EQ(3, edit_->Big);
    EXPECT_EQ(44, edit_->Width);
}

TEST_F(PropertyStorage, StoredStringsGoThroughThePropertyNameTranslation) {
    appStorage_.OnTranslatePropertyName = [](TXcCustomAppStorage*, TPersistent* object, bool, String& name) {
        EXPECT_EQ(nullptr, object);
        name = u"x" + name;
    };
    storage_.WriteStoredString(u"Section", u"Item", u"v");
    EXPECT_EQ(String(u"v"), ReadRegStringDef(HKEY_CURRENT_USER, u"Ostrel\\Section", u"xItem", u""));
    EXPECT_EQ(String(u"v"), storage_.ReadStoredString(u"Section", u"Item", u"d"));
    const auto copy = storage_.CreatePropertyStorage();
    EXPECT_EQ(&appStorage_, copy->AppStorage());
    storage_.EraseStoredSection(u"Section");
    EXPECT_EQ(String(u"d"), copy->ReadStoredString(u"Section", u"Item", u"d"));

    TXcPropertyStorage unattached;
    EXPECT_EQ(String(u"d"), unattached.ReadStoredString(u"Section", u"Item", u"d"));
}

} // namespace
