#include "support/storage/XcAppStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcTranslateString.h"

namespace {

// A backend in memory that records every primitive called, with the absolute path.
class TRecordingStorage : public TXcCustomAppStorage {
public:
    explicit TRecordingStorage(TComponent* owner = nullptr)
        : TXcCustomAppStorage(owner, TXcAppStorageOptions::StaticClass()) {}

    std::map<String, Variant> Values;
    std::vector<String> Calls;

    using TXcCustomAppStorage::RawReadWideString;
    using TXcCustomAppStorage::RawWriteWideString;

    bool Called(const String& primitive) const {
        return std::any_of(Calls.begin(), Calls.end(), [&](const String& c) { return c.starts_with(primitive + u"("); });
    }

protected:
    void RawEnumFolders(const String& path, TStrings&, bool) override { Log(u"RawEnumFolders", path); }
    void RawEnumValues(const String& path, TStrings&, bool) override { Log(u"RawEnumValues", path); }
    bool RawIsFolder(const String& path, bool) override { return HasBelow(Log(u"RawIsFolder", path)); }
    bool RawPathExists(const String& path) override { return HasBelow(Log(u"RawPathExists", path)); }
    bool RawValueExists(const String& path) override { return Values.count(Log(u"RawValueExists", path)) > 0; }
    void RawDeleteValue(const String& path) override { Values.erase(Log(u"RawDeleteValue", path)); }
    void RawDeleteSubTree(const String& path) override {
        const String folder = Log(u"RawDeleteSubTree", path) + u"\\";
        std::erase_if(Values, [&](const auto& v) { return v.first.starts_with(folder); });
    }
    int32_t RawReadInteger(const String& path, int32_t defaultValue) override {
        const auto it = Values.find(Log(u"RawReadInteger", path));
        int number = defaultValue;
        if (it != Values.end() && !TryStrToInt(it->second.AsString(), number)) number = defaultValue;
        return number;
    }
    void RawWriteInteger(const String& path, int32_t value) override { Values[Log(u"RawWriteInteger", path)] = value; }
    double RawReadFloat(const String& path, double defaultValue) override {
        const auto it = Values.find(Log(u"RawReadFloat", path));
        return it == Values.end() ? defaultValue : it->second.AsDouble();
    }
    void RawWriteFloat(const String& path, double value) override { Values[Log(u"RawWriteFloat", path)] = value; }
    String RawReadString(const String& path, const String& defaultValue) override {
        const auto it = Values.find(Log(u"RawReadString", path));
        return it == Values.end() ? defaultValue : it->second.AsString();
    }
    void RawWriteString(const String& path, const String& value) override { Values[Log(u"RawWriteString", path)] = value; }
    int RawReadBinary(const String& path, void*, int) override {
        Log(u"RawReadBinary", path);
        return 0;
    }
    void RawWriteBinary(const String& path, const void*, int) override { Log(u"RawWriteBinary", path); }

private:
    String Log(const String& primitive, const String& path) {
        const String absolute = AbsolutePath(path);
        Calls.push_back(primitive + u"(" + absolute + u")");
        return absolute;
    }
    bool HasBelow(const String& folder) const {
        return std::any_of(Values.begin(), Values.end(), [&](const auto& v) { return v.first.starts_with(folder + u"\\"); });
    }
};

TEST(AppStorage, JoinsAndNormalisesPaths) {
    struct {
        std::vector<String> Segments;
        const char16_t* Expected;
    } cases[] = {
        {{}, u""},
        {{u""}, u""},
        {{u"", u""}, u""},
        {{u"\\\\a\\\\\\b\\\\"}, u"a\\b"},
        {{u"a\\.\\b"}, u"a\\b"},
        {{u"a\\..\\..\\b"}, u"b"},
        {{u"a\\b", u".."}, u"a"},
        {{u"a\\b", u"..\\c"}, u"a\\c"},
        {{u"a\\b\\c", u"...\\d"}, u"a\\d"},
        {{u"x", u"\\y"}, u"y"},
        {{u"x", u"\\y", u"z"}, u"y\\z"},
        {{u"\\x", u"y"}, u"x\\y"},
        {{u"a", u"..", u"..", u"b"}, u"b"},
        {{u"a.b", u".c"}, u"a.b\\.c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(String(c.Expected), TXcCustomAppStorage::JoinPaths(std::span<const String>(c.Segments)))
            << testing::PrintToString(c.Segments.size()) << " -> " << String(c.Expected);
}

TEST(AppStorage, WideTextTravelsAsItsUtf8FormOneCharacterPerByte) {
    TRecordingStorage storage;
    storage.RawWriteWideString(u"Name", u"转a");
    EXPECT_EQ(storage.Values[u"Name"].AsString(), String(u"\u00E8\u00BD\u00ACa"));
    EXPECT_EQ(storage.RawReadWideString(u"Name", String()), u"转a");
    EXPECT_EQ(storage.RawReadWideString(u"Missing", u"默认"), u"默认");
    // Text written as it is holds characters above 0xFF: no UTF-8 form, read unchanged.
    storage.Values[u"Plain"] = String(u"转");
    EXPECT_EQ(storage.RawReadWideString(u"Plain", String()), u"转");
}

TEST(AppStorage, PutsRootAndPathInFrontOfRelativePaths) {
    TRecordingStorage storage;
    storage.SetRoot(u"\\Ostrel\\\\");
    EXPECT_EQ(String(u"Ostrel"), storage.Root());
    EXPECT_EQ(String(u"Ostrel\\Conversion\\ShowCmd"), storage.AbsolutePath(u"Conversion\\ShowCmd"));
    storage.SetPath(u"Batch");
    EXPECT_EQ(String(u"Ostrel\\Batch\\ShowCmd"), storage.AbsolutePath(u"ShowCmd"));
    EXPECT_EQ(String(u"Ostrel\\ShowCmd"), storage.AbsolutePath(u"\\ShowCmd"));
    storage.SetRoot(u"");
    EXPECT_EQ(String(u"Batch\\ShowCmd"), storage.AbsolutePath(u"ShowCmd"));
}

TEST(AppStorage, AMissingValueReadsAsTheDefaultWithoutReachingTheBackend) {
    TRecordingStorage storage;
    EXPECT_EQ(7, storage.ReadInteger(u"Missing", 7));
    EXPECT_EQ(String(u"d"), storage.ReadString(u"Missing", u"d"));
    EXPECT_TRUE(storage.ReadBool(u"Missing", true));
    EXPECT_EQ(2.5, storage.ReadFloat(u"Missing", 2.5));
    EXPECT_EQ((std::vector<String>(4, u"RawValueExists(Missing)")), storage.Calls);

    storage.StorageOptions()->SetDefaultIfValueNotExists(false);
    EXPECT_EQ(7, storage.ReadInteger(u"Missing", 7));
    EXPECT_TRUE(storage.Called(u"RawReadInteger"));
}

TEST(AppStorage, BooleansAreReadFromTheirWordsOrElseFromTheBackend) {
    TRecordingStorage storage;
    struct {
        Variant Stored;
        bool Expected;
        bool FromBackend;
    } cases[] = {
        {u"yes", true, false}, {u"YES", true, false}, {u"Y", true, false},  {u"True", true, false},
        {u"n", false, false},  {u"No", false, false}, {u"false", false, false},
        {u"maybe", true, true}, // the backend's Boolean read gives the default
        {u"0", false, true},    {u"1", true, true},
    };
    for (const auto& c : cases) {
        storage.Values[u"Flag"] = c.Stored;
        storage.Calls.clear();
        EXPECT_EQ(c.Expected, storage.ReadBool(u"Flag", true)) << c.Stored.AsString();
        EXPECT_EQ(c.FromBackend, storage.Called(u"RawReadInteger")) << c.Stored.AsString();
    }

    storage.WriteBool(u"On", true);
    storage.WriteBool(u"Off", false);
    EXPECT_EQ(String(u"TRUE"), storage.Values[u"On"].AsString());
    EXPECT_EQ(String(u"FALSE"), storage.Values[u"Off"].AsString());
    storage.StorageOptions()->SetBooleanStringTrueValues(u" Ja , an");
    storage.WriteBool(u"On", true);
    EXPECT_EQ(String(u"Ja"), storage.Values[u"On"].AsString());
    EXPECT_TRUE(storage.ReadBool(u"On", false));
    storage.Values[u"On"] = u"AN";
    EXPECT_TRUE(storage.ReadBool(u"On", false));
}

TEST(AppStorage, BooleanAsStringNeedsBothWords) {
    TRecordingStorage storage;
    TXcCustomAppStorageOptions& options = *storage.StorageOptions();
    options.SetBooleanStringFalseValues(u", NO");
    EXPECT_FALSE(options.BooleanAsString());
    options.SetBooleanAsString(true);
    EXPECT_FALSE(options.BooleanAsString());
    storage.WriteBool(u"Flag", true);
    EXPECT_EQ(1, storage.Values[u"Flag"].AsInteger());
    options.SetBooleanStringFalseValues(u"OFF");
    options.SetBooleanAsString(true);
    EXPECT_TRUE(options.BooleanAsString());
}

// Three storages: the main one redirects A to the second and A\B to the third.
class SubStorages : public testing::Test {
protected:
    SubStorages() {
        first_.SetName(u"First");
        AddLink(u"A\\B", &second_);
        AddLink(u"A", &first_);
    }
    TXcAppSubStorage* AddLink(const String& root, TXcCustomAppStorage* storage) {
        auto* item = static_cast<TXcAppSubStorage*>(main_.SubStorages()->Add());
        item->SetRootPath(root);
        item->SetAppStorage(storage);
        return item;
    }

    TRecordingStorage main_, first_, second_;
};

TEST_F(SubStorages, ResolveToTheLongestRootAboveThePath) {
    struct {
        const char16_t* Path;
        TXcCustomAppStorage* Storage;
        const char16_t* Resolved;
    } cases[] = {
        {u"A\\B\\C", &second_, u"\\C"},   {u"a\\b\\c\\d", &second_, u"\\c\\d"}, {u"A\\B", &first_, u"\\B"},
        {u"A", &main_, u"\\A"},           {u"AB\\C", &main_, u"\\AB\\C"},      {u"\\A\\.\\B\\C", &second_, u"\\C"},
        {u"X\\..\\A\\C", &first_, u"\\C"},
    };
    for (const auto& c : cases) {
        const TXcResolvedPath resolved = main_.ResolvePath(c.Path);
        EXPECT_EQ(c.Storage, resolved.Storage) << String(c.Path);
        EXPECT_EQ(String(c.Resolved), resolved.Path) << String(c.Path);
    }
    main_.SetPath(u"A");
    EXPECT_EQ(&second_, main_.ResolvePath(u"B\\C").Storage);

    main_.WriteInteger(u"\\A\\B\\C", 5);
    EXPECT_EQ((std::vector<String>{u"RawWriteInteger(C)"}), second_.Calls);
    EXPECT_TRUE(main_.Calls.empty());
    EXPECT_EQ(String(u"\\A=First"), main_.SubStorages()->Items(1)->DisplayName());
}

TEST_F(SubStorages, RootsMustBeUnique) {
    TRecordingStorage other;
    try {
        AddLink(u"\\A\\", &other);
        FAIL() << "a second root A was accepted";
    } catch (const EXCLAppStorageError& e) {
        EXPECT_EQ(String(u"'A' is not a unique root path"), e.Message());
    }
    EXPECT_THROW(AddLink(u"a", &other), EXCLAppStorageError);
    EXPECT_THROW(AddLink(u"A\\C", &other), EXCLAppStorageError) << "a root below A";
    EXPECT_NO_THROW(AddLink(u"AB", &other));
    // An item may keep its own root.
    EXPECT_NO_THROW(main_.SubStorages()->Items(1)->SetRootPath(u"A\\"));
}

TEST_F(SubStorages, RefuseACircleOfStorages) {
    auto* back = static_cast<TXcAppSubStorage*>(second_.SubStorages()->Add());
    try {
        back->SetAppStorage(&main_);
        FAIL() << "a circle was accepted";
    } catch (const EXCLAppStorageError& e) {
        EXPECT_EQ(String(u"Circular reference of storages"), e.Message());
    }
    auto* self = static_cast<TXcAppSubStorage*>(first_.SubStorages()->Add());
    EXPECT_THROW(self->SetAppStorage(&first_), EXCLAppStorageError);
    EXPECT_NO_THROW(back->SetAppStorage(&first_));
    EXPECT_EQ(nullptr, self->AppStorage());
}

TEST_F(SubStorages, AFreedStorageTakesItsLinksAlong) {
    auto owned = std::make_unique<TRecordingStorage>();
    AddLink(u"X", owned.get());
    TXcAppSubStorage* moved = AddLink(u"Y", owned.get());
    moved->SetAppStorage(&second_); // the link at X still needs to hear of the storage's end
    owned.reset();
    ASSERT_EQ(3, main_.SubStorages()->Count());
    for (int i = 0; i < 3; ++i) EXPECT_NE(u"X", main_.SubStorages()->Items(i)->RootPath());
    main_.WriteInteger(u"X\\v", 1);
    EXPECT_EQ((std::vector<String>{u"RawWriteInteger(X\\v)"}), main_.Calls);
}

TEST_F(SubStorages, AReadOnlyTargetIsLeftUntouched) {
    second_.SetReadOnly(true);
    main_.WriteInteger(u"A\\B\\C", 1);
    main_.DeleteSubTree(u"A\\B\\C");
    EXPECT_TRUE(second_.Calls.empty());
    EXPECT_TRUE(main_.Calls.empty());
}

class TStoredThing : public TPersistent {
    RTL_CLASS(TStoredThing, TPersistent);

public:
    int Count = 3;
};
RTL_PUBLISHED(TStoredThing, c) { c.Property("Count", &TStoredThing::Count, &TStoredThing::Count); }

TEST(AppStorage, AReadOnlyStorageChangesNothing) {
    TRecordingStorage storage;
    storage.Values[u"List\\Count"] = 5;
    storage.SetReadOnly(true);
    TStringList lines;
    lines.SetText(u"a\nb");
    TStoredThing thing;
    TOwnedCollection collection(nullptr, TCollectionItem::StaticClass());
    collection.Add();
    const uint8_t byte = 1;
    storage.WriteInteger(u"i", 1);
    storage.WriteString(u"s", u"x");
    storage.WriteFloat(u"f", 1);
    storage.WriteBool(u"b", true);
    storage.WriteDateTimeValue(u"d", 1);
    storage.WriteBinary(u"bin", &byte, 1);
    storage.WriteEnumValue(u"e", TypeInfo<TTypeKind>(), 1);
    storage.WriteSetValue(u"set", TypeInfo<TTypeKinds>(), TTypeKinds{tkInteger}.Bits());
    storage.WriteStrings(u"List", lines);
    storage.WriteCollectionItems(u"Items", collection);
    storage.WriteObject(u"Thing", &thing);
    storage.WriteItems(u"List", 1, [](const String&, int) { FAIL() << "an item was written"; }, true);
    storage.DeleteValue(u"List\\Count");
    storage.DeleteSubTree(u"List");
    EXPECT_FALSE(storage.Called(u"RawWrite") || storage.Called(u"RawDelete")) << testing::PrintToString(storage.Calls.size());
    EXPECT_EQ(1u, storage.Values.size());
}

TEST(AppStorage, EncryptionEventsActOnlyWhileEnabled) {
    TRecordingStorage storage;
    const auto reverse = [](String& value) { std::reverse(value.begin(), value.end()); };
    storage.OnEncryptPropertyValue = reverse;
    storage.OnDecryptPropertyValue = reverse;
    storage.WriteString(u"plain", u"abc");
    EXPECT_EQ(String(u"abc"), storage.Values[u"plain"].AsString());
    storage.EnablePropValueCrypt();
    storage.WriteString(u"secret", u"abc");
    EXPECT_EQ(String(u"Y2Jh"), storage.Values[u"secret"].AsString()) << "reversed, then Base64";
    EXPECT_EQ(String(u"abc"), storage.ReadString(u"secret"));
    storage.DisablePropValueCrypt();
    EXPECT_EQ(String(u"Y2Jh"), storage.ReadString(u"secret"));
}

} // namespace
