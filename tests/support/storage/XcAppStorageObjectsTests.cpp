#include <gtest/gtest.h>

#include <memory>

#include "RegistryHome.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcAppRegistryStorage.h"
#include "support/utils/ScRegistry.h"

namespace {

enum class TTestScale { tsNone, tsFit, tsStretch };
using enum TTestScale;
RTL_ENUM(TTestScale, tsNone, tsFit, tsStretch);

enum class TTestLetter { la, lb, lc, ld };
using enum TTestLetter;
RTL_ENUM(TTestLetter, la, lb, lc, ld);
using TTestLetters = TSet<TTestLetter>;

enum class TMonth : uint8_t {};
RTL_SUBRANGE(TMonth, 1, 12);
using TMonths = TSet<TMonth>;

enum class TLowLetter : char {};
RTL_SUBRANGE(TLowLetter, 'a', 'e');
using TLowLetters = TSet<TLowLetter>;

constexpr TIdentMapEntry TestColors[] = {{0x0000FF, "clTestRed"}, {0x000000, "clTestBlack"}};
bool IdentToTestColor(const String& ident, int32_t& value) { return IdentToInt(ident, value, TestColors); }
bool TestColorToIdent(int32_t value, String& ident) { return IntToIdent(value, ident, TestColors); }

const TTypeInfo* TestColorType() {
    static const TTypeInfo* type = [] {
        const TTypeInfo* t = NamedTypeInfo(TypeInfo<int32_t>(), "TTestColor");
        RegisterIntegerConsts(t, IdentToTestColor, TestColorToIdent);
        return t;
    }();
    return type;
}

class TTestItem : public TCollectionItem {
    RTL_CLASS(TTestItem, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
    String Caption;
    int Weight = 0;
};

class TEveryKind;

class TNested : public TPersistent {
    RTL_CLASS(TNested, TPersistent);

public:
    int Value = 0;
    // Points back at the object holding this one.
    TEveryKind* Holder = nullptr;
};

class TEveryKind : public TPersistent {
    RTL_CLASS(TEveryKind, TPersistent);

public:
    TEveryKind() { nested_->Holder = this; }

    int Number = 0;
    char Letter = 'a';
    char16_t WideLetter = u'a';
    TTestScale Scale = tsNone;
    bool Enabled = false;
    double Ratio = 0;
    double When = 0;
    String Text;
    std::string Utf8;
    TTestLetters Letters;
    TMonths Months;
    TLowLetters LowLetters;
    Variant Extra;
    int64_t Big = 0;
    int32_t Color = 0;
    uint32_t Unsigned = 0;
    int8_t Small = 0;
    int Hidden = 1;
    std::function<void(TObject*)> OnChange;

    TStringList* Lines() const { return lines_.get(); }
    TOwnedCollection* Items() const { return items_.get(); }
    TNested* Nested() const { return nested_.get(); }

private:
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
    std::unique_ptr<TOwnedCollection> items_ = std::make_unique<TOwnedCollection>(this, TTestItem::StaticClass());
    std::unique_ptr<TNested> nested_ = std::make_unique<TNested>();
};

RTL_PUBLISHED(TTestItem, c) {
    c.Property("Caption", &TTestItem::Caption, &TTestItem::Caption);
    c.Property("Weight", &TTestItem::Weight, &TTestItem::Weight);
}
RTL_PUBLISHED(TNested, c) {
    c.Property("Value", &TNested::Value, &TNested::Value);
    c.Property("Holder", &TNested::Holder, &TNested::Holder);
}
RTL_PUBLISHED(TEveryKind, c) {
    using T = TEveryKind;
    c.Property("Number", &T::Number, &T::Number);
    c.Property("Letter", &T::Letter, &T::Letter);
    c.Property("WideLetter", &T::WideLetter, &T::WideLetter);
    c.Property("Scale", &T::Scale, &T::Scale).Default(tsNone);
    c.Property("Enabled", &T::Enabled, &T::Enabled);
    c.Property("Ratio", &T::Ratio, &T::Ratio);
    c.Property("When", &T::When, &T::When).AsDateTime();
    c.Property("Text", &T::Text, &T::Text);
    c.Property("Utf8", &T::Utf8, &T::Utf8);
    c.Property("Letters", &T::Letters, &T::Letters);
    c.Property("Months", &T::Months, &T::Months);
    c.Property("LowLetters", &T::LowLetters, &T::LowLetters);
    c.Property("Extra", &T::Extra, &T::Extra);
    c.Property("Big", &T::Big, &T::Big);
    c.Property("Color", &T::Color, &T::Color).OfType(TestColorType());
    c.Property("Unsigned", &T::Unsigned, &T::Unsigned);
    c.Property("Small", &T::Small, &T::Small);
    c.Property("Hidden", &T::Hidden, &T::Hidden).Stored(false);
    c.Property("OnChange", &T::OnChange, &T::OnChange);
    c.Property("Lines", &T::Lines);
    c.Property("Items", &T::Items);
    c.Property("Nested", &T::Nested);
}

class StorageObjects : public testing::Test {
protected:
    StorageObjects() { storage_.SetRoot(u"Ostrel"); }

    static std::vector<String> Lines(const TStrings& list) {
        std::vector<String> lines;
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
        return lines;
    }
    static String Raw(const String& key, const String& name) { return ReadRegStringDef(HKEY_CURRENT_USER, key, name, u"<none>"); }
    static bool Exists(const String& key, const String& name) {
        DWORD type = 0;
        return GetRegValueType(HKEY_CURRENT_USER, key, name, type);
    }

    TRegistryHome home_;
    TXcAppRegistryStorage storage_{nullptr};
};

TEST_F(StorageObjects, ARewrittenListLosesItsSurplusItems) {
    TStringList lines;
    lines.SetText(u"one\ntwo\nthree\nfour\nfive");
    storage_.WriteStrings(u"List", lines);
    EXPECT_EQ(5, storage_.ReadInteger(u"List\\Count"));
    lines.SetText(u"a\nb\nc");
    storage_.WriteStrings(u"List", lines);
    EXPECT_EQ(3, storage_.ReadInteger(u"List\\Count"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i < 3, Exists(u"Ostrel\\List", u"Item" + IntToStr(i))) << i;

    TStringList read;
    read.Add(u"old");
    EXPECT_EQ(3, storage_.ReadStrings(u"List", read));
    EXPECT_EQ((std::vector<String>{u"a", u"b", u"c"}), Lines(read));

    // Bracketed item names.
    storage_.StorageOptions()->SetUseOldItemNameFormat(false);
    storage_.WriteStrings(u"New", lines);
    EXPECT_EQ(String(u"b"), Raw(u"Ostrel\\New", u"Item[1]"));
}

TEST_F(StorageObjects, TheSingleStringOptionReplacesACountedList) {
    TStringList lines;
    lines.SetText(u"a\nb");
    storage_.WriteStrings(u"List", lines);
    storage_.StorageOptions()->SetStoreStringListAsSingleString(true);
    lines.SetText(u"x\ny\nz");
    storage_.WriteStrings(u"List", lines);
    EXPECT_FALSE(storage_.PathExists(u"List"));
    EXPECT_EQ(lines.Text(), Raw(u"Ostrel", u"List"));
    TStringList read;
    EXPECT_EQ(3, storage_.ReadStrings(u"List", read));
    EXPECT_EQ((std::vector<String>{u"x", u"y", u"z"}), Lines(read));
}

TEST_F(StorageObjects, EnumerationsReadByNameByNumberOrAsTheDefault) {
    const TTypeInfo* type = TypeInfo<TTestScale>();
    storage_.WriteEnumValue(u"ByName", type, 2);
    EXPECT_EQ(String(u"tsStretch"), Raw(u"Ostrel", u"ByName"));
    storage_.WriteInteger(u"ByNumber", 1);
    storage_.WriteString(u"Garbage", u"tsHuge");
    storage_.WriteInteger(u"OutOfRange", 7);
    struct {
        const char16_t* Path;
        int64_t Expected;
    } cases[] = {{u"ByName", 2}, {u"ByNumber", 1}, {u"Garbage", 0}, {u"OutOfRange", 0}, {u"Missing", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.Expected, storage_.ReadEnumValue(c.Path, type, 0)) << String(c.Path);

    storage_.StorageOptions()->SetEnumerationAsString(false);
    storage_.WriteEnumValue(u"ByName", type, 2);
    EXPECT_EQ(2, ReadRegIntegerDef(HKEY_CURRENT_USER, u"Ostrel", u"ByName", 0));
    storage_.WriteEnumValue(u"Bool", TypeInfo<bool>(), 1);
    EXPECT_EQ(String(u"TRUE"), Raw(u"Ostrel", u"Bool"));
    EXPECT_EQ(1, storage_.ReadEnumValue(u"Bool", TypeInfo<bool>(), 0));
}

TEST_F(StorageObjects, IdentifierMappedIntegersAreStoredByIdentifier) {
    const TTypeInfo* color = TestColorType();
    storage_.WriteEnumValue(u"Red", color, 0xFF);
    storage_.WriteEnumValue(u"Other", color, 12345);
    EXPECT_EQ(String(u"clTestRed"), Raw(u"Ostrel", u"Red"));
    EXPECT_EQ(12345, ReadRegIntegerDef(HKEY_CURRENT_USER, u"Ostrel", u"Other", 0));
    EXPECT_EQ(0xFF, storage_.ReadEnumValue(u"Red", color, 1));
    EXPECT_EQ(12345, storage_.ReadEnumValue(u"Other", color, 1));
    storage_.WriteString(u"Unknown", u"clTestPurple");
    EXPECT_EQ(1, storage_.ReadEnumValue(u"Unknown", color, 1));
    storage_.StorageOptions()->SetTypedIntegerAsString(false);
    storage_.WriteEnumValue(u"Red", color, 0xFF);
    EXPECT_EQ(0xFF, ReadRegIntegerDef(HKEY_CURRENT_USER, u"Ostrel", u"Red", 0));
}

TEST_F(StorageObjects, SetsAreMemberBooleansOrTheirBracketedText) {
    const TTypeInfo* type = TypeInfo<TTestLetters>();
    const TTestLetters letters{lb, ld};
    storage_.WriteSetValue(u"Set", type, letters.Bits());
    EXPECT_EQ(String(u"FALSE|TRUE|FALSE|TRUE"), Raw(u"Ostrel\\Set", u"la") + u"|" + Raw(u"Ostrel\\Set", u"lb") + u"|" +
                                                    Raw(u"Ostrel\\Set", u"lc") + u"|" + Raw(u"Ostrel\\Set", u"ld"));
    EXPECT_EQ(letters.Bits(), storage_.ReadSetValue(u"Set", type, TTestLetters{la}.Bits()));

    storage_.WriteString(u"Text", u"[lb, ld]");
    EXPECT_EQ(letters.Bits(), storage_.ReadSetValue(u"Text", type, TTestLetters{la}.Bits()));
    storage_.StorageOptions()->SetSetAsString(true);
    storage_.WriteSetValue(u"AsText", type, letters.Bits());
    EXPECT_EQ(String(u"[lb, ld]"), Raw(u"Ostrel", u"AsText"));

    // A text that names no member is a conversion error.
    storage_.WriteString(u"Bad", u"[lb, lz]");
    EXPECT_THROW(storage_.ReadSetValue(u"Bad", type, {}), EConvertError);
    storage_.StorageOptions()->SetDefaultIfReadConvertError(true);
    EXPECT_EQ(TTestLetters{la}.Bits(), storage_.ReadSetValue(u"Bad", type, TTestLetters{la}.Bits()));
}

TEST_F(StorageObjects, OtherKindsAreRefused) {
    try {
        storage_.WriteEnumValue(u"x", TypeInfo<double>(), 1);
        FAIL() << "a float was written as an ordinal";
    } catch (const EXCLAppStorageError& e) {
        EXPECT_EQ(String(u"Invalid type"), e.Message());
    }
    TTypeInfo setOfFloats = *TypeInfo<TTestLetters>();
    setOfFloats.CompType = TypeInfo<double>();
    try {
        storage_.WriteSetValue(u"x", &setOfFloats, {});
        FAIL() << "a set of floats was written";
    } catch (const EXCLAppStorageError& e) {
        EXPECT_EQ(String(u"Unknown base type for given set"), e.Message());
    }
}

TEST_F(StorageObjects, ANeverStoredCollectionKeepsItsItems) {
    TOwnedCollection items(nullptr, TTestItem::StaticClass());
    items.Add();
    items.Add();
    EXPECT_EQ(2, storage_.ReadCollectionItems(u"Nothing", items));
    EXPECT_EQ(2, items.Count());
}

TEST_F(StorageObjects, ACollectionRewrittenShorterKeepsTheFoldersOfItsSurplusItemsButReadsOnlyItsCount) {
    TOwnedCollection items(nullptr, TTestItem::StaticClass());
    for (int i = 0; i < 3; ++i) static_cast<TTestItem*>(items.Add())->Caption = u"item " + IntToStr(i);
    storage_.WriteCollectionItems(u"Items", items);
    items.Delete(2);
    items.Delete(1);
    storage_.WriteCollectionItems(u"Items", items);
    EXPECT_EQ(1, storage_.ReadInteger(u"Items\\Count"));
    EXPECT_EQ(String(u"item 2"), Raw(u"Ostrel\\Items\\Item2", u"Caption"));

    TOwnedCollection read(nullptr, TTestItem::StaticClass());
    EXPECT_EQ(1, storage_.ReadCollectionItems(u"Items", read));
    ASSERT_EQ(1, read.Count());
    EXPECT_EQ(String(u"item 0"), static_cast<TTestItem*>(read.Items(0))->Caption);
}

TEST_F(StorageObjects, EveryPropertyKindSurvivesTheHive) {
    TEveryKind written;
    written.Number = -42;
    written.Letter = 'Q';
    written.WideLetter = u'转';
    written.Scale = tsStretch;
    written.Enabled = true;
    written.Ratio = 0.1;
    written.When = EncodeDateTime(2024, 12, 25, 13, 14, 15, 0);
    written.Text = u"转换 \"100%\"";
    written.Utf8 = "ünï";
    written.Letters = {la, lc};
    written.Months = {TMonth{1}, TMonth{12}};
    written.LowLetters = {TLowLetter{'b'}, TLowLetter{'e'}};
    written.Extra = Variant(u"extra");
    written.Big = -1234567890123;
    written.Color = 0xFF;
    written.Unsigned = 0xFFFFFFF0;
    written.Small = -5;
    written.Lines()->SetText(u"一\ntwo");
    for (int i = 0; i < 2; ++i) {
        auto* item = static_cast<TTestItem*>(written.Items()->Add());
        item->Caption = u"item " + IntToStr(i);
        item->Weight = 10 + i;
    }
    written.Nested()->Value = 77;
    storage_.WriteObject(u"Objects\\Every", &written);

    EXPECT_EQ(String(u"clTestRed"), Raw(u"Ostrel\\Objects\\Every", u"Color"));
    EXPECT_EQ(String(u"TRUE"), Raw(u"Ostrel\\Objects\\Every\\Months", u"Int_12"));
    EXPECT_EQ(String(u"TRUE"), Raw(u"Ostrel\\Objects\\Every\\LowLetters", u"Char_e"));
    EXPECT_EQ(String(u"item 1"), Raw(u"Ostrel\\Objects\\Every\\Items\\Item1", u"Caption"));
    EXPECT_FALSE(Exists(u"Ostrel\\Objects\\Every", u"OnChange"));

    TEveryKind read;
    read.Lines()->SetText(u"stale");
    read.Items()->Add();
    read.Items()->Add();
    read.Items()->Add();
    storage_.ReadObject(u"Objects\\Every", &read);
    EXPECT_EQ(written.Number, read.Number);
    EXPECT_EQ(written.Letter, read.Letter);
    EXPECT_EQ(written.WideLetter, read.WideLetter);
    EXPECT_EQ(written.Scale, read.Scale);
    EXPECT_EQ(written.Enabled, read.Enabled);
    EXPECT_EQ(written.Ratio, read.Ratio);
    EXPECT_NEAR(written.When, read.When, 1e-9);
    EXPECT_EQ(written.Text, read.Text);
    EXPECT_EQ(written.Utf8, read.Utf8);
    EXPECT_EQ(written.Letters, read.Letters);
    EXPECT_EQ(written.Months, read.Months);
    EXPECT_EQ(written.LowLetters, read.LowLetters);
    EXPECT_EQ(String(u"extra"), VarToStr(read.Extra));
    EXPECT_EQ(written.Big, read.Big);
    EXPECT_EQ(written.Color, read.Color);
    EXPECT_EQ(written.Unsigned, read.Unsigned);
    EXPECT_EQ(written.Small, read.Small);
    EXPECT_EQ(Lines(*written.Lines()), Lines(*read.Lines()));
    ASSERT_EQ(2, read.Items()->Count());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(u"item " + IntToStr(i), static_cast<TTestItem*>(read.Items()->Items(i))->Caption);
        EXPECT_EQ(10 + i, static_cast<TTestItem*>(read.Items()->Items(i))->Weight);
    }
    EXPECT_EQ(77, read.Nested()->Value);
    EXPECT_EQ(&read, read.Nested()->Holder);
}

TEST_F(StorageObjects, DefaultsAndUnstoredPropertiesAreLeftOutWhenAsked) {
    TEveryKind empty;
    storage_.WriteObject(u"All", &empty);
    storage_.StorageOptions()->SetStoreDefaultValues(false);
    storage_.WriteObject(u"Some", &empty);
    for (const char16_t* name : {u"Scale", u"Hidden", u"Ratio", u"When", u"Text", u"Utf8", u"Big", u"Extra"}) {
        EXPECT_TRUE(Exists(u"Ostrel\\All", name)) << String(name);
        EXPECT_FALSE(Exists(u"Ostrel\\Some", name)) << String(name);
    }
    // Without a declared default an ordinal is always written.
    EXPECT_TRUE(Exists(u"Ostrel\\Some", u"Number"));
    EXPECT_TRUE(Exists(u"Ostrel\\Some", u"Color"));
}

// Stores its own value and, with the marker, its published ones too.
class THandled : public TImplements<TComponent, IAppStorageHandler> {
    RTL_CLASS(THandled, TComponent);

public:
    using TImplements::TImplements;
    int Published = 0;
    String Own;

    void ReadFromAppStorage(TXcCustomAppStorage& storage, const String& path) override {
        Own = storage.ReadString(TXcCustomAppStorage::JoinPaths({path, u"Own"}));
    }
    void WriteToAppStorage(TXcCustomAppStorage& storage, const String& path) override {
        storage.WriteString(TXcCustomAppStorage::JoinPaths({path, u"Own"}), Own);
    }
};
RTL_PUBLISHED(THandled, c) { c.Property("Published", &THandled::Published, &THandled::Published); }

class THandledWithProps : public TImplements<THandled, IAppStoragePublishedProps> {
    RTL_CLASS(THandledWithProps, THandled);

public:
    using TImplements::TImplements;
};
RTL_PUBLISHED_NONE(THandledWithProps);

TEST_F(StorageObjects, AnObjectWithItsOwnHandlerStoresItself) {
    THandled handled(nullptr);
    handled.Own = u"mine";
    handled.Published = 5;
    storage_.WriteObject(u"Handled", &handled);
    EXPECT_EQ(String(u"mine"), Raw(u"Ostrel\\Handled", u"Own"));
    EXPECT_FALSE(Exists(u"Ostrel\\Handled", u"Published"));

    THandledWithProps both(nullptr);
    both.Own = u"both";
    both.Published = 6;
    storage_.WriteObject(u"Both", &both);
    THandledWithProps read(nullptr);
    storage_.ReadObject(u"Both", &read);
    EXPECT_EQ(String(u"both"), read.Own);
    EXPECT_EQ(6, read.Published);
}

class TLinesEngine : public TXcAppStoragePropertyEngine {
public:
    bool Supports(TObject*, TObject* property) override { return dynamic_cast<TStringList*>(property) != nullptr; }
    void ReadProperty(TXcCustomAppStorage& storage, const String& path, TObject*, TObject* property, bool,
                      bool) override {
        static_cast<TStringList*>(property)->SetCommaText(storage.ReadString(path));
    }
    void WriteProperty(TXcCustomAppStorage& storage, const String& path, TObject*, TObject* property, bool) override {
        storage.WriteString(path, static_cast<TStringList*>(property)->CommaText());
    }
};

TEST_F(StorageObjects, ARegisteredPropertyEngineTakesOverItsProperties) {
    auto engine = std::make_unique<TLinesEngine>();
    TXcAppStoragePropertyEngine* registered = engine.get();
    PropertyEngines().Register(std::move(engine));
    TEveryKind written;
    written.Lines()->SetText(u"a\nb");
    storage_.WriteObject(u"Engine", &written);
    TEveryKind read;
    storage_.ReadObject(u"Engine", &read);
    PropertyEngines().Unregister(registered);
    EXPECT_EQ(String(u"a,b"), Raw(u"Ostrel\\Engine", u"Lines"));
    EXPECT_EQ((std::vector<String>{u"a", u"b"}), Lines(*read.Lines()));
}

} // namespace
