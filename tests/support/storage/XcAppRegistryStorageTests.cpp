#include "support/storage/XcAppRegistryStorage.h"

#include <gtest/gtest.h>

#include <memory>

#include "RegistryHome.h"
#include "StorageTestServices.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcExtendedFloat.h"
#include "support/utils/ScRegistry.h"

namespace {

class RegistryStorage : public testing::Test {
protected:
    RegistryStorage() { storage_.SetRoot(u"Ostrel"); }

    std::string Hive(const char* root = "HKEY_CURRENT_USER") const { return TRegistryHome::ReadFile(home_.Hive(root)); }
    static DWORD TypeOf(const String& key, const String& name) {
        DWORD type = 0;
        GetRegValueType(HKEY_CURRENT_USER, key, name, type);
        return type;
    }
    static std::vector<String> Lines(const TStrings& list) {
        std::vector<String> lines;
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
        return lines;
    }

    TRegistryHome home_;
    TRecordingAppServices services_;
    TAppServicesScope servicesScope_{services_};
    TXcAppRegistryStorage storage_{nullptr};
};

TEST_F(RegistryStorage, TheSystemsInstanceKeepsItsValuesBelowOstrel) {
    // As the data module builds it.
    TComponent dataModule(nullptr);
    dataModule.BeginLoading();
    auto* store = new TXcAppRegistryStorage(&dataModule);
    store->SetName(u"appStoreage");
    store->StorageOptions()->SetBooleanStringTrueValues(u"TRUE, YES, Y");
    store->StorageOptions()->SetBooleanStringFalseValues(u"FALSE, NO, N");
    store->SetRoot(u"Ostrel");
    dataModule.EndLoading();

    EXPECT_EQ(hkCurrentUser, store->RegRoot());
    EXPECT_EQ(String(u"Ostrel"), store->Root());
    store->WriteInteger(u"Conversion\\ShowCmd", 1);
    store->WriteString(u"Conversion\\NormPos", u"100,80,900,680");
    EXPECT_EQ("OSTREL-REGISTRY 2\n"
              "[Ostrel]\n"
              "[Ostrel\\Conversion]\n"
              "\"ShowCmd\"=dword:00000001\n"
              "\"NormPos\"=\"100,80,900,680\"\n"
              "END\n",
              Hive());
    EXPECT_EQ(1, store->ReadInteger(u"Conversion\\ShowCmd", 0));
    EXPECT_TRUE(services_.Boxes.empty());
}

TEST_F(RegistryStorage, NoneAndEmptyRootsStoreValuesDirectlyBelowTheRootKey) {
    storage_.SetRoot(u"%NONE%");
    EXPECT_EQ(String(), storage_.Root());
    storage_.WriteInteger(u"A\\B", 3);
    storage_.WriteInteger(u"V", 4);
    EXPECT_EQ("OSTREL-REGISTRY 2\n\"V\"=dword:00000004\n[A]\n\"B\"=dword:00000003\nEND\n", Hive());
    EXPECT_EQ(3, storage_.ReadInteger(u"A\\B"));
    EXPECT_EQ(4, storage_.ReadInteger(u"\\V"));

    // While designing an empty root reads "%NONE%" and macros stay.
    storage_.SetDesigning(true);
    storage_.SetRoot(u"");
    EXPECT_EQ(String(u"%NONE%"), storage_.Root());
    storage_.SetRoot(u"Software\\%APPL_NAME%");
    EXPECT_EQ(String(u"Software\\%APPL_NAME%"), storage_.Root());
}

TEST_F(RegistryStorage, TheOldDefaultRootIsExpandedFromTheProgramsVersionInformation) {
    const String expanded = u"Software\\" OSTREL_COMPANY_NAME u"\\" OSTREL_PRODUCT_NAME;
    storage_.SetRoot(u"Software\\%COMPANY_NAME%\\%APPL_NAME%");
    EXPECT_EQ(expanded, storage_.Root());
    storage_.SetRoot(u"x");
    storage_.SetUseOldDefaultRoot(true);
    EXPECT_EQ(expanded, storage_.Root());
    storage_.WriteBool(u"Flag", true);
    EXPECT_EQ(String(u"TRUE"), ReadRegString(HKEY_CURRENT_USER, expanded, u"Flag"));
    EXPECT_TRUE(services_.Boxes.empty());

    // A macro whose value holds a macro is expanded once, not without end.
    storage_.SetUseOldDefaultRoot(false);
    TXcTranslateString engine(nullptr);
    engine.OnProcessCommand = [](TObject*, const String& command, bool& handled, String& value) {
        if (command == u"LOOP") {
            handled = true;
            value = u"%LOOP%";
        }
    };
    storage_.SetTranslateStringEngine(&engine);
    storage_.SetRoot(u"A\\%LOOP%");
    EXPECT_EQ(String(u"A\\%LOOP%"), storage_.Root());
}

TEST_F(RegistryStorage, WritesCreateTheMissingKeysAndTheRightKinds) {
    storage_.WriteInteger(u"One\\Two\\Three\\Int", -2);
    storage_.WriteString(u"One\\Text", u"转换");
    storage_.WriteFloat(u"One\\Float", 1.5);
    storage_.StorageOptions()->SetBooleanAsString(false);
    storage_.WriteBool(u"One\\Bool", true);
    EXPECT_EQ(REG_DWORD, TypeOf(u"Ostrel\\One\\Two\\Three", u"Int"));
    EXPECT_EQ(REG_SZ, TypeOf(u"Ostrel\\One", u"Text"));
    EXPECT_EQ(REG_BINARY, TypeOf(u"Ostrel\\One", u"Float"));
    EXPECT_EQ(REG_DWORD, TypeOf(u"Ostrel\\One", u"Bool"));
    uint8_t image[16];
    ASSERT_EQ(10u, ReadRegBinary(HKEY_CURRENT_USER, u"Ostrel\\One", u"Float", image, sizeof image));
    EXPECT_EQ(DoubleToExtended(1.5), (TExtendedImage{image[0], image[1], image[2], image[3], image[4], image[5],
                                                      image[6], image[7], image[8], image[9]}));
    EXPECT_EQ(-2, storage_.ReadInteger(u"One\\Two\\Three\\Int"));
    EXPECT_EQ(String(u"转换"), storage_.ReadString(u"One\\Text"));
    EXPECT_EQ(1.5, storage_.ReadFloat(u"One\\Float"));
    EXPECT_TRUE(storage_.ReadBool(u"One\\Bool", false));

    try {
        storage_.WriteInteger(String(300, u'k') + u"\\v", 1);
        FAIL() << "a key name of 300 characters was created";
    } catch (const EXCLException& e) {
        EXPECT_EQ(u"Unable to create key 'Ostrel\\" + String(300, u'k') + u"'", e.Message());
    }
}

// The wide-text primitives, which the storage's own calls do not reach.
class TWideRegistryStorage : public TXcAppRegistryStorage {
public:
    TWideRegistryStorage() : TXcAppRegistryStorage(nullptr) { SetRoot(u"Ostrel"); }
    using TXcAppRegistryStorage::RawReadWideString;
    using TXcAppRegistryStorage::RawWriteWideString;
};

TEST_F(RegistryStorage, WideTextIsStoredAsItIs) {
    TWideRegistryStorage wide;
    wide.RawWriteWideString(u"New\\Wide", u"转换");
    EXPECT_EQ(REG_SZ, TypeOf(u"Ostrel\\New", u"Wide"));
    EXPECT_EQ(String(u"转换"), ReadRegStringDef(HKEY_CURRENT_USER, u"Ostrel\\New", u"Wide", String()));
    EXPECT_EQ(String(u"转换"), wide.RawReadWideString(u"New\\Wide", String()));
    WriteRegInteger(HKEY_CURRENT_USER, u"Ostrel", u"Dword", 5);
    EXPECT_EQ(String(u"def"), wide.RawReadWideString(u"Dword", u"def"));
}

TEST_F(RegistryStorage, ReadsTextAsIntegerAndUnreadableValuesAsTheDefault) {
    WriteRegString(HKEY_CURRENT_USER, u"Ostrel", u"Number", u"42");
    WriteRegString(HKEY_CURRENT_USER, u"Ostrel", u"Garbage", u"4x2");
    const uint8_t eleven[11] = {};
    WriteRegBinary(HKEY_CURRENT_USER, u"Ostrel", u"Wide", eleven, sizeof eleven);
    EXPECT_EQ(42, storage_.ReadInteger(u"Number", 0));
    EXPECT_EQ(-1, storage_.ReadInteger(u"Garbage", -1));
    WriteRegInteger(HKEY_CURRENT_USER, u"Ostrel", u"Dword", 5);
    EXPECT_EQ(String(u"def"), storage_.ReadString(u"Dword", u"def"));

    // A float that does not fit raises, unless conversion errors give the default.
    EXPECT_THROW(storage_.ReadFloat(u"Wide", 2), EScRegistryError);
    storage_.StorageOptions()->SetDefaultIfReadConvertError(true);
    EXPECT_EQ(2, storage_.ReadFloat(u"Wide", 2));
    EXPECT_EQ(3, storage_.ReadFloat(u"Missing", 3));
}

TEST_F(RegistryStorage, ListsCountAsValuesWhenAsked) {
    TStringList names;
    names.SetText(u"x\ny");
    storage_.WriteStrings(u"Lists\\Names", names);
    storage_.WriteString(u"Lists\\Names\\Extra", u"e");
    storage_.WriteInteger(u"Lists\\Plain\\v", 1);
    storage_.WriteInteger(u"Lists\\OnlyList\\Count", 0);

    TStringList found;
    storage_.EnumFolders(u"Lists", found, true);
    EXPECT_EQ((std::vector<String>{u"Plain"}), Lines(found));
    found.Clear();
    storage_.EnumFolders(u"Lists", found, false);
    EXPECT_EQ((std::vector<String>{u"Names", u"OnlyList", u"Plain"}), Lines(found));
    found.Clear();
    storage_.EnumValues(u"Lists\\Names", found, true);
    EXPECT_EQ((std::vector<String>{u"", u"Extra"}), Lines(found));
    found.Clear();
    storage_.EnumValues(u"Lists\\Names", found, false);
    EXPECT_EQ((std::vector<String>{u"Item0", u"Item1", u"Count", u"Extra"}), Lines(found));

    EXPECT_TRUE(storage_.IsFolder(u"Lists\\Names", true));
    EXPECT_FALSE(storage_.IsFolder(u"Lists\\OnlyList", true));
    EXPECT_TRUE(storage_.IsFolder(u"Lists\\OnlyList", false));
    EXPECT_FALSE(storage_.IsFolder(u"Lists\\Missing", false));
    EXPECT_TRUE(storage_.HasList(u"Lists\\Names"));
    EXPECT_TRUE(storage_.PathExists(u"Lists\\Plain"));
    EXPECT_FALSE(storage_.PathExists(u"Lists\\Plain\\v"));
    found.Clear();
    storage_.EnumFolders(u"Missing", found);
    EXPECT_EQ(0, found.Count());
}

TEST_F(RegistryStorage, DeletesValuesAndSubTrees) {
    storage_.WriteInteger(u"Tree\\a\\v", 1);
    storage_.WriteInteger(u"Tree\\b\\c\\v", 1);
    storage_.WriteInteger(u"Tree\\v", 1);
    storage_.DeleteValue(u"Tree\\v");
    storage_.DeleteValue(u"Tree\\v");
    EXPECT_FALSE(storage_.HasValue(u"Tree\\v"));
    storage_.DeleteSubTree(u"Tree");
    storage_.DeleteSubTree(u"Tree");
    EXPECT_EQ("OSTREL-REGISTRY 2\n[Ostrel]\nEND\n", Hive());
}

TEST_F(RegistryStorage, RegRootSelectsTheHive) {
    storage_.SetRegRoot(hkLocalMachine);
    EXPECT_EQ(hkLocalMachine, storage_.RegRoot());
    storage_.WriteInteger(u"v", 7);
    EXPECT_EQ("OSTREL-REGISTRY 2\n[Ostrel]\n\"v\"=dword:00000007\nEND\n", Hive("HKEY_LOCAL_MACHINE"));
    EXPECT_EQ("", Hive());
}

TEST_F(RegistryStorage, DateTimesAreTextOrTheirExtendedImage) {
    const TDateTime when = EncodeDateTime(2024, 12, 25, 13, 14, 15, 0);
    storage_.WriteDateTimeValue(u"When", when);
    EXPECT_EQ(DateTimeToStr(when), ReadRegString(HKEY_CURRENT_USER, u"Ostrel", u"When"));
    EXPECT_NEAR(when, storage_.ReadDateTimeValue(u"When", 0), 1e-9);
    storage_.StorageOptions()->SetUseTranslateStringEngineDateTimeFormats(true);
    storage_.WriteDateTimeValue(u"When", when);
    EXPECT_EQ(String(u"25_12_2024 13_14_15"), ReadRegString(HKEY_CURRENT_USER, u"Ostrel", u"When"));
    storage_.StorageOptions()->SetDateTimeAsString(false);
    storage_.WriteDateTimeValue(u"When", when);
    EXPECT_EQ(REG_BINARY, TypeOf(u"Ostrel", u"When"));
    EXPECT_EQ(when, storage_.ReadDateTimeValue(u"When", 0));
}

} // namespace
