// The form storage on a wizard-like form: what closing writes and in which
// order, what the next form restores, and the stored values.

#include "supportui/XcFormStorage.h"

#include <gtest/gtest.h>

#include "PlacementFixture.h"
#include "platform/rtl/Exceptions.h"
#include "support/storage/XcUtils.h"

namespace {

using Names = std::vector<std::string>;

// The wizard's close handler: the current selections are stored at once.
void WriteSelectionsOnClose(TXcFormStorage* storage, int category, int profile) {
    static_cast<TForm*>(storage->Owner())->OnClose = [=](TObject*, TCloseAction&) {
        storage->WriteStoredValue(u"Category", int32_t(category));
        storage->WriteStoredValue(u"Profile", int32_t(profile));
        storage->StoredValues()->SaveValues();
    };
}

TEST_F(PlacementTest, ClosingAWizardWritesItsPlacementAndValuesInOrderAndItsHandlerWritesTheValuesAgain) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    WriteSelectionsOnClose(wizard, 2, 5);
    EXPECT_EQ(wizard->ReadStoredValue(u"Category").AsInteger(), 0);
    FormOf(wizard).Show();
    PumpMessages();
    FormOf(wizard).Close();

    EXPECT_EQ(written_, (Names{"FormVersion", "ShowCmd", "Flags", "PixelsPerInch", "MinMaxPos(1920x1080)",
                                        "MinMaxPos", "NormPos(1920x1080)", "NormPos", "Category", "Profile",
                                        "Category", "Profile"}));
    const std::string hive = Hive();
    EXPECT_NE(hive.find("[Ostrel\\Conversion]\n"
                        "\"FormVersion\"=dword:00000000\n"
                        "\"ShowCmd\"=dword:00000001\n"
                        "\"Flags\"=dword:00000000\n"
                        "\"PixelsPerInch\"=dword:00000060\n"),
              std::string::npos)
        << hive;
    EXPECT_NE(hive.find("\"NormPos(1920x1080)\"=\"100,80,900,680\"\n\"NormPos\"=\"100,80,900,680\"\n"), std::string::npos)
        << hive;
    EXPECT_NE(hive.find("[Ostrel\\Conversion\\Conversion]\n"
                        "\"Category\"=dword:00000002\n"
                        "\"Profile\"=dword:00000005\n"),
              std::string::npos)
        << hive;
    EXPECT_EQ(TypeOf(u"Ostrel\\Conversion", u"NormPos"), REG_SZ);
    EXPECT_EQ(TypeOf(u"Ostrel\\Conversion\\Conversion", u"Profile"), REG_DWORD);

    // The form is hidden, not freed: freeing it saves nothing more.
    written_.clear();
    delete &FormOf(wizard);
    EXPECT_TRUE(written_.empty());
}

TEST_F(PlacementTest, TheNextWizardRestoresTheRectangleTheStateAndTheValues) {
    TXcFormStorage* first = NewWizard({100, 80, 900, 680});
    WriteSelectionsOnClose(first, 3, 1);
    FormOf(first).Show();
    FormOf(first).Close();

    TXcFormStorage* second = NewWizard({300, 300, 700, 600});
    FormOf(second).Show();
    PumpMessages();
    EXPECT_EQ(WindowRect(FormOf(second)), (TRect{100, 80, 900, 680}));
    EXPECT_EQ(FormOf(second).BoundsRect(), (TRect{100, 80, 900, 680}));
    EXPECT_EQ(second->ReadStoredValue(u"Category").AsInteger(), 3);
    EXPECT_EQ(second->ReadStoredValue(u"Profile").AsInteger(), 1);

    FormOf(second).SetWindowState(wsMaximized);
    FormOf(second).Close();
    EXPECT_EQ(storage_->ReadInteger(u"Conversion\\ShowCmd", 0), SW_SHOWMAXIMIZED);
    EXPECT_EQ(storage_->ReadString(u"Conversion\\NormPos", String()), String(u"100,80,900,680"));

    TXcFormStorage* third = NewWizard({300, 300, 700, 600});
    FormOf(third).Show();
    PumpMessages();
    EXPECT_EQ(FormOf(third).WindowState(), wsMaximized);
    FormOf(third).SetWindowState(wsNormal);
    EXPECT_EQ(WindowRect(FormOf(third)), (TRect{100, 80, 900, 680}));
}

TEST_F(PlacementTest, AStoredMinimizedStateLeavesTheMainFormNormalAndMinimizesTheApplication) {
    mainForm_->BeginLoading();
    auto* placement = new TXcFormPlacement(mainForm_);
    placement->SetAppStorage(storage_);
    mainForm_->SetBounds(100, 80, 800, 600);
    mainForm_->EndLoading();
    storage_->WriteInteger(u"MainForm\\ShowCmd", SW_SHOWMINIMIZED);

    mainForm_->Show();
    EXPECT_EQ(mainForm_->WindowState(), wsNormal);
    PumpMessages();
    EXPECT_EQ(mainForm_->WindowState(), wsMinimized);
}

TEST_F(PlacementTest, ARefusedCloseWritesNothing) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680}, [](TForm& form) {
        form.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    });
    FormOf(wizard).Show();
    FormOf(wizard).Close();
    EXPECT_TRUE(FormOf(wizard).Visible());
    EXPECT_TRUE(written_.empty());
}

TEST_F(PlacementTest, ANewerStoredVersionRestoresUnderGreaterOrEqualOnlyAndTheFormCountsAsRestoredEitherWay) {
    const struct {
        TXcFormPlacementVersionCheck check;
        TRect rect;
    } cases[] = {{fpvcCheckGreaterEqual, {100, 80, 900, 680}}, {fpvcCheckEqual, {300, 300, 700, 600}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.check));
        // Each form saves its own placement when it goes.
        storage_->WriteInteger(u"Conversion\\FormVersion", 3);
        storage_->WriteString(u"Conversion\\NormPos", u"100,80,900,680");
        TXcFormStorage* wizard = NewWizard({300, 300, 700, 600});
        wizard->SetVersionCheck(c.check);
        FormOf(wizard).Show();
        EXPECT_EQ(WindowRect(FormOf(wizard)), c.rect);
        EXPECT_TRUE(wizard->Restored());
        delete &FormOf(wizard);
    }
}

TEST_F(PlacementTest, TheStoragePathGetsItsBackslashAndTheFormOrFrameName) {
    TXcFormPlacement placement(nullptr);
    const struct {
        const char16_t* set;
        const char16_t* kept;
    } paths[] = {{u"Conversion", u"Conversion\\"}, {u"Batch\\", u"Batch\\"}, {u"", u""}};
    for (const auto& p : paths) {
        placement.SetAppStoragePath(p.set);
        EXPECT_EQ(placement.AppStoragePath(), String(p.kept));
    }

    TForm* form = Application().CreateForm<TForm>();
    form->SetName(u"frmNewConversion");
    auto* onForm = new TXcFormPlacement(form);
    onForm->SetAppStoragePath(u"Forms\\%form_name%\\Placement");
    EXPECT_EQ(onForm->AppStoragePath(), String(u"Forms\\frmNewConversion\\Placement\\"));

    auto* frame = new TFrame(form);
    frame->SetName(u"fraOptions");
    auto* onFrame = new TXcFormPlacement(frame);
    EXPECT_TRUE(onFrame->Options().IsEmpty());
    onFrame->SetAppStoragePath(u"%FORM_NAME%");
    EXPECT_EQ(onFrame->AppStoragePath(), String(u"frmNewConversion.fraOptions\\"));
}

// --- Stored values -------------------------------------------------------------------------

TEST_F(PlacementTest, StoredValuesAreReadAndWrittenWithoutTheStorageUntilSaved) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    EXPECT_TRUE(VarIsNull(wizard->ReadStoredValue(u"Unknown")));
    EXPECT_EQ(wizard->ReadStoredValue(u"profile").AsInteger(), 0);
    wizard->WriteStoredValue(u"LastFolder", String(u"/home/user/视频"));
    EXPECT_EQ(wizard->StoredValues()->Count(), 3);
    EXPECT_TRUE(written_.empty());

    wizard->StoredValues()->SaveValues();
    EXPECT_EQ(written_, (Names{"Category", "Profile", "LastFolder"}));
    EXPECT_EQ(storage_->ReadString(u"Conversion\\Conversion\\LastFolder", String()), String(u"/home/user/视频"));

    // Saving again keeps one registry value of each.
    wizard->StoredValues()->SaveValues();
    const std::string hive = Hive();
    EXPECT_EQ(hive.find("\"Category\""), hive.rfind("\"Category\""));
}

TEST_F(PlacementTest, AStoredValueNameIsUniqueIgnoringCase) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    try {
        wizard->StoredValues()->Items(1)->SetName(u"CATEGORY");
        ADD_FAILURE() << "a duplicate name was taken";
    } catch (const EXCLException& error) {
        EXPECT_STREQ(error.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(wizard->StoredValues()->Items(1)->Name(), String(u"Profile"));
}

TEST_F(PlacementTest, AValueIsStoredByItsKindAndComesBackInIt) {
    struct TCase {
        const char* what;
        Variant value;
        uint32_t type;
        Variant restored;
    };
    const TCase cases[] = {
        {"integer", Variant(int32_t(-7)), REG_DWORD, Variant(int32_t(-7))},
        {"small integer", Variant(int16_t(300)), REG_DWORD, Variant(int32_t(300))},
        {"signed byte", Variant(int8_t(-3)), REG_DWORD, Variant(int32_t(-3))},
        {"64-bit integer as text", Variant(int64_t(5)), REG_SZ, Variant(String(u"5"))},
        {"text", Variant(String(u"高清")), REG_SZ, Variant(String(u"高清"))},
        // The storage writes Booleans as its true and false words.
        {"Boolean", Variant(true), REG_SZ, Variant(true)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TXcFormStorage* saver = NewWizard({100, 80, 900, 680});
        saver->WriteStoredValue(u"Value", c.value);
        saver->StoredValues()->SaveValues();
        EXPECT_EQ(TypeOf(u"Ostrel\\Conversion\\Conversion", u"Value"), c.type);

        TXcFormStorage* reader = NewWizard({100, 80, 900, 680});
        // The kind of the value before the restore decides how it is read.
        reader->WriteStoredValue(u"Value", c.value);
        reader->StoredValues()->RestoreValues();
        const Variant back = reader->ReadStoredValue(u"Value");
        EXPECT_EQ(VarType(back), VarType(c.restored));
        EXPECT_EQ(VarToStr(back), VarToStr(c.restored));
        delete &FormOf(saver);
        delete &FormOf(reader);
    }
}

TEST_F(PlacementTest, AValueWithAKeyIsStoredScrambledAndComesBackAsText) {
    TXcFormStorage* saver = NewWizard({100, 80, 900, 680});
    auto* secret = static_cast<TXcStoredValue*>(saver->StoredValues()->Add());
    secret->SetName(u"Password");
    secret->SetKeyString(u"Ostrel");
    secret->SetValue(int32_t(1234));
    saver->StoredValues()->SaveValues();
    const String stored = storage_->ReadString(u"Conversion\\Conversion\\Password", String());
    EXPECT_EQ(stored, XorEncodeHex(u"Ostrel", u"1234"));
    EXPECT_EQ(TypeOf(u"Ostrel\\Conversion\\Conversion", u"Password"), REG_SZ);

    secret->SetValue(int32_t(0));
    saver->StoredValues()->RestoreValues();
    EXPECT_EQ(VarType(secret->Value()), varUString);
    EXPECT_EQ(VarToStr(secret->Value()), String(u"1234"));
}

} // namespace
