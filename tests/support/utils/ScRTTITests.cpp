#include "support/utils/ScRTTI.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"

// The expected field offsets come from offsetof, which GCC supports on these classes.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace {

enum class TColorKind { ckRed, ckGreen, ckBlue, ckAlpha, ckMask };
using enum TColorKind;
RTL_ENUM(TColorKind, ckRed, ckGreen, ckBlue, ckAlpha, ckMask);
using TColorKinds = TSet<TColorKind>;
enum class TGreenBlue : uint8_t {};
RTL_SUBRANGE(TGreenBlue, ckGreen, ckBlue);
enum class TPart { ptHead, ptBody, ptTail };
using enum TPart;
RTL_ANONYMOUS_ENUM(TPart, ptHead, ptBody, ptTail);
using TParts = TSet<TPart>;
enum class TPercent : uint8_t {};
RTL_SUBRANGE(TPercent, 0, 100);
enum class TLetter : char {};
RTL_SUBRANGE(TLetter, 'a', 'z');

const TTypeInfo* PartsType() {
    static const TTypeInfo* type = NamedTypeInfo(TypeInfo<TParts>(), "TParts");
    return type;
}

class ITinted : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
};

class TSwatch : public TImplements<TPersistent, ITinted> {
    RTL_CLASS(TSwatch, TPersistent);

public:
    TColorKind kind_ = ckGreen;
    TParts Parts() const { return parts_; }
    void SetParts(TParts value) { parts_ = value; }
    const String& Name() const { return name_; }
    void SetName(const String& value) { name_ = value; }
    bool IsNameStored() const { return !name_.empty(); }

    HRESULT QueryInterface(const TGUID&, void** obj) override {
        *obj = nullptr;
        return E_NOINTERFACE;
    }
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }

private:
    TParts parts_;
    String name_;
};

RTL_PUBLISHED(TSwatch, c) {
    c.UnitName("Swatches");
    c.Property("Kind", &TSwatch::kind_, &TSwatch::kind_).Default(ckGreen);
    c.Property("Parts", &TSwatch::Parts, &TSwatch::SetParts).OfType(PartsType());
    c.Property("Name", &TSwatch::Name, &TSwatch::SetName).Stored(&TSwatch::IsNameStored);
}

class TBigSwatch : public TSwatch {
    RTL_CLASS(TBigSwatch, TSwatch);

public:
    int size_ = 0;
};

RTL_PUBLISHED(TBigSwatch, c) { c.Property("Size", &TBigSwatch::size_, &TBigSwatch::size_).Index(3).Stored(false); }

std::vector<String> Lines(void (IScBaseInfo::*render)(IScInfoWriter&), const TTypeInfo* type) {
    TStringList lines;
    TScStringsInfoWriter writer(lines);
    (CreateTypeInfoObject(type).get()->*render)(writer);
    writer.WriteLine(u"<end>");
    std::vector<String> result;
    for (int i = 0; i < lines.Count(); ++i) result.push_back(lines[i]);
    return result;
}

std::vector<String> Listing(const TTypeInfo* type) { return Lines(&IScBaseInfo::WriteTo, type); }
std::vector<String> Declaration(const TTypeInfo* type) { return Lines(&IScBaseInfo::DeclarationTo, type); }

String Address(const TTypeInfo* type) { return Format(u"Type info: %p", {static_cast<const void*>(type)}); }

String Offset(size_t offset) { return Format(u"$%p", {reinterpret_cast<const void*>(offset)}); }

TEST(ScRTTIRendering, Enumeration) {
    const TTypeInfo* type = TypeInfo<TColorKind>();
    EXPECT_EQ(Listing(type), (std::vector<String>{u"Name: TColorKind", u"Type kind: tkEnumeration", Address(type),
                                                  u"Ordinal type: otUByte", u"Min value: 0", u"Max value: 4",
                                                  u"Unit name: ", u"Names: (ckRed, ckGreen, ckBlue, ckAlpha, ckMask)",
                                                  u"<end>"}));
    EXPECT_EQ(Declaration(type),
              (std::vector<String>{u"TColorKind = (ckRed, ckGreen, ckBlue, ckAlpha, ckMask); // otUByte", u"<end>"}));
}

TEST(ScRTTIRendering, Subranges) {
    const TTypeInfo* type = TypeInfo<TGreenBlue>();
    EXPECT_EQ(Listing(type), (std::vector<String>{u"Name: TGreenBlue", u"Type kind: tkEnumeration", Address(type),
                                                  u"Ordinal type: otUByte", u"Min value: 1", u"Max value: 2",
                                                  u"Unit name: ", u"Names: (ckGreen, ckBlue)", u"<end>"}));
    EXPECT_EQ(Declaration(type), (std::vector<String>{u"TGreenBlue = ckGreen .. ckBlue; // otUByte", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<TPercent>()), (std::vector<String>{u"TPercent = 0..100; // otUByte", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<TLetter>()), (std::vector<String>{u"TLetter = 'a'..'z'; // otUByte", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<char>()), (std::vector<String>{u"AnsiChar = #0..#255; // otUByte", u"<end>"}));
}

TEST(ScRTTIRendering, SetOfAnAnonymousEnumeration) {
    const TTypeInfo* type = PartsType();
    const TTypeInfo* base = type->CompType;
    EXPECT_EQ(Listing(type),
              (std::vector<String>{u"Name: TParts", u"Type kind: tkSet", Address(type), u"Ordinal type: otUByte",
                                   u"Based on: ", u"  Name: .TPart", u"  Type kind: tkEnumeration",
                                   u"  " + Address(base), u"  Ordinal type: otUByte", u"  Min value: 0",
                                   u"  Max value: 2", u"  Unit name: ", u"  Names: (ptHead, ptBody, ptTail)",
                                   u"<end>"}));
    EXPECT_EQ(Declaration(type), (std::vector<String>{u"TParts = set of (ptHead, ptBody, ptTail); // otUByte", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<TColorKinds>()),
              (std::vector<String>{u"TSet<TColorKind> = set of TColorKind; // otUByte", u"<end>"}));
}

TEST(ScRTTIRendering, Float) {
    const TTypeInfo* type = DateTimeTypeInfo();
    EXPECT_EQ(Listing(type), (std::vector<String>{u"Name: TDateTime", u"Type kind: tkFloat", Address(type),
                                                  u"Float type: ftDouble", u"<end>"}));
    EXPECT_EQ(Declaration(type), (std::vector<String>{u"TDateTime = type Double;", u"<end>"}));
}

TEST(ScRTTIRendering, Class) {
    const TTypeInfo* type = TSwatch::StaticClass()->Type();
    const String kind = Offset(offsetof(TSwatch, kind_));
    EXPECT_EQ(Listing(type), (std::vector<String>{u"Name: TSwatch",
                                                  u"Type kind: tkClass",
                                                  Address(type),
                                                  u"Class name: TSwatch",
                                                  u"Parent: TPersistent",
                                                  u"Unit name: Swatches",
                                                  u"Property count: 3 (3)",
                                                  u"  Kind: TColorKind",
                                                  u"    [default 1]",
                                                  u"    [read field " + kind + u"]",
                                                  u"    [write field " + kind + u"]",
                                                  u"    [stored=True]",
                                                  u"  Parts: TParts",
                                                  u"    [read static method $00000000]",
                                                  u"    [write static method $00000000]",
                                                  u"    [stored=True]",
                                                  u"  Name: string",
                                                  u"    [read static method $00000000]",
                                                  u"    [write static method $00000000]",
                                                  u"    [stored=static method $00000000]",
                                                  u"<end>"}));
    EXPECT_EQ(Declaration(type),
              (std::vector<String>{
                  u"TSwatch = class(TPersistent, ['{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}']) // unit Swatches",
                  u"published",
                  u"  property Kind: TColorKind read [field " + kind + u"] write [field " + kind +
                      u"] stored = True default 1;",
                  u"  property Parts: TParts read [static method $00000000] write [static method $00000000] stored "
                  u"= True;",
                  u"  property Name: string read [static method $00000000] write [static method $00000000] stored = "
                  u"[static method $00000000];",
                  u"end;", u"<end>"}));
    const String size = Offset(offsetof(TBigSwatch, size_));
    EXPECT_EQ(Declaration(TBigSwatch::StaticClass()->Type()),
              (std::vector<String>{u"TBigSwatch = class(TSwatch) // unit ", u"published",
                                   u"  property Size: Integer index 3 read [field " + size + u"] write [field " + size +
                                       u"] stored = False;",
                                   u"end;", u"<end>"}));
    EXPECT_EQ(Declaration(TPersistent::StaticClass()->Type()),
              (std::vector<String>{u"TPersistent = class // unit ", u"end;", u"<end>"}));
}

using TChangeEvent = std::function<bool(TObject* sender, int& code, const String& text)>;

class IShape : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{11111111-2222-3333-4444-555555555555}");
};
class IRound : public IShape {
public:
    static constexpr TGUID IID = TGUID::Parse("{11111111-2222-3333-4444-666666666666}");
    using Inherited = IShape;
};

TEST(ScRTTIRendering, EventsAndInterfaces) {
    const TTypeInfo* event = NamedMethodType<TChangeEvent>("TChangeEvent", {"Sender", "Code", "Text"});
    EXPECT_EQ(Declaration(event),
              (std::vector<String>{
                  u"TChangeEvent = function(Sender: TObject; var Code: Integer; const Text: string): Boolean of object;",
                  u"<end>"}));
    const std::vector<String> listing = Listing(event);
    EXPECT_EQ(std::vector<String>(listing.begin() + 3, listing.end()),
              (std::vector<String>{u"Method kind: mkFunction", u"Parameter count: 3", u"  Name: Sender",
                                   u"  Type: TObject", u"  Flags: []", u"", u"  Name: Code", u"  Type: Integer",
                                   u"  Flags: [pfVar]", u"", u"  Name: Text", u"  Type: string", u"  Flags: [pfConst]",
                                   u"Return type: Boolean", u"<end>"}));

    EXPECT_EQ(Declaration(TypeInfo<TIntfPtr<IRound>>()),
              (std::vector<String>{u"IRound = interface(IShape) // unit ",
                                   u"  ['{11111111-2222-3333-4444-666666666666}']", u"end;", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<TIntfPtr<IShape>>()).front(), u"IShape = interface // unit ");
    const TIntfPtr<IScInterfaceTypeInfo> round = IntfCast<IScInterfaceTypeInfo>(CreateTypeInfoObject(TypeInfo<TIntfPtr<IRound>>()));
    EXPECT_EQ(round->GetParent()->GetName(), u"IShape");
    EXPECT_EQ(round->GetGUID(), IRound::IID);
    EXPECT_EQ(round->GetParent()->GetParent()->GetParent(), nullptr);
}

TEST(ScRTTIRendering, UnsupportedKindsSaySo) {
    EXPECT_EQ(Declaration(TypeInfo<Variant>()),
              (std::vector<String>{u"// Declaration for 'Variant' not supported.<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<std::vector<int32_t>>()),
              (std::vector<String>{u"TArray<Integer> = array of Integer; // Unit ", u"<end>"}));
    EXPECT_EQ(Declaration(ShortStringTypeInfo(u"TShort", 15)), (std::vector<String>{u"TShort = string[15];", u"<end>"}));
    EXPECT_EQ(Declaration(TypeInfo<int64_t>()),
              (std::vector<String>{u"Int64 = -9223372036854775808 .. 9223372036854775807;", u"<end>"}));
}

TEST(ScRTTISets, SetToTextWithAndWithoutRangesAndBrackets) {
    const TTypeInfo* kinds = TypeInfo<TColorKinds>();
    const TSetBits value = TColorKinds{ckRed, ckGreen, ckBlue, ckMask}.Bits();
    EXPECT_EQ(SetToText(kinds, value, false, true), u"ckRed .. ckBlue, ckMask");
    EXPECT_EQ(SetToText(kinds, value, false, false), u"ckRed, ckGreen, ckBlue, ckMask");
    EXPECT_EQ(SetToText(kinds, value, true, true), u"[ckRed .. ckBlue, ckMask]");
    EXPECT_EQ(SetToText(kinds, TSetBits(), false), u"");
    EXPECT_EQ(SetToText(kinds, TSetBits(), true), u"[]");
    EXPECT_EQ(SetToText(TypeInfo<TSet<TPercent>>(), TSet<TPercent>{TPercent(1), TPercent(2), TPercent(3), TPercent(7)}.Bits(),
                        true, true),
              u"[1 .. 3, 7]");
    EXPECT_EQ(SetToText(TypeInfo<TSet<TLetter>>(), TSet<TLetter>{TLetter('a'), TLetter('b')}.Bits()), u"97, 98");
}

TEST(ScRTTISets, TextToSetReadsWhatSetToTextWrites) {
    const TTypeInfo* kinds = TypeInfo<TColorKinds>();
    const TSetBits expected = TColorKinds{ckRed, ckGreen, ckBlue, ckMask}.Bits();
    for (const char16_t* text : {u"ckRed .. ckBlue, ckMask", u"[ckRed .. ckBlue, ckMask]", u"  CKRED..ckblue ,ckMask ",
                                 u"[ ckMask , ckRed,ckGreen , ckBlue ]", u"ckBlue, ckMask, ckGreen..ckRed, ckRed..ckGreen"}) {
        TSetBits value;
        TextToSet(kinds, value, text);
        EXPECT_EQ(value, expected) << String(text);
    }
    for (const char16_t* empty : {u"", u"[]", u" , ,"}) {
        TSetBits value = expected;
        TextToSet(kinds, value, empty);
        EXPECT_TRUE(value.IsEmpty()) << String(empty);
    }
}

TEST(ScRTTISets, TextToSetRefusesUnknownNamesAndElementsOutsideTheBaseType) {
    const TTypeInfo* kinds = TypeInfo<TColorKinds>();
    TSetBits value = TColorKinds{ckAlpha}.Bits();
    try {
        TextToSet(kinds, value, u"[ckRed, ckPurple]");
        FAIL() << "no error";
    } catch (const EScRTTIError& e) {
        EXPECT_EQ(e.Message(), u"Unknown identifier 'ckPurple'.");
    }
    EXPECT_EQ(value, TColorKinds{ckAlpha}.Bits());

    const TTypeInfo* percents = TypeInfo<TSet<TPercent>>();
    for (const char16_t* text : {u"[5, 101]", u"[-1]", u"[90 .. 300]", u"[1000000]"})
        EXPECT_THROW(TextToSet(percents, value, text), ERangeError) << String(text);
    EXPECT_THROW(TextToSet(percents, value, u"[5, x]"), EConvertError);
    EXPECT_THROW(TextToSet(TypeInfo<TSet<TLetter>>(), value, u"[65]"), ERangeError);
    TextToSet(percents, value, u"[7 .. 3, 300 .. 200]");
    EXPECT_TRUE(value.IsEmpty());
}

TEST(ScRTTIDescriptions, EnumerationNamesAndBase) {
    const auto kinds = IntfCast<IScEnumerationTypeInfo>(CreateTypeInfoObject(TypeInfo<TColorKind>()));
    EXPECT_EQ(kinds->IndexOfName(u"CKBLUE"), 2);
    EXPECT_EQ(kinds->IndexOfName(u"ckPurple"), -1);
    EXPECT_EQ(kinds->GetBaseType().get(), kinds.get());
    const auto greenBlue = IntfCast<IScEnumerationTypeInfo>(CreateTypeInfoObject(TypeInfo<TGreenBlue>()));
    EXPECT_EQ(greenBlue->IndexOfName(u"ckBlue"), 2);
    EXPECT_EQ(greenBlue->IndexOfName(u"ckRed"), -1);
    EXPECT_EQ(greenBlue->GetNames(0), u"ckRed");
    EXPECT_EQ(greenBlue->GetBaseType()->GetName(), u"TColorKind");
    EXPECT_EQ(greenBlue->GetMinValue(), 1);

    EXPECT_EQ(OrdinalToName(TypeInfo<TColorKind>(), 2), u"ckBlue");
    EXPECT_EQ(OrdinalToName(TypeInfo<TColorKind>(), 5), u"Value out of range (ordinal=5).");
    EXPECT_EQ(OrdinalToName(TypeInfo<TColorKind>(), 256 + 4), u"ckMask");
    EXPECT_EQ(OrdinalToName(TypeInfo<int16_t>(), -3), u"-3");

    const auto set = IntfCast<IScSetTypeInfo>(CreateTypeInfoObject(PartsType()));
    EXPECT_EQ(set->GetBaseType()->GetName(), u".TPart");
    TIntfPtr<IScOrdinalRangeTypeInfo> range;
    EXPECT_TRUE(Supports(CreateTypeInfoObject(TypeInfo<TLetter>()), range));
    EXPECT_EQ(range->GetMaxValue(), 'z');
    EXPECT_FALSE(Supports(CreateTypeInfoObject(TypeInfo<double>()), IScOrdinalTypeInfo::IID));
}

TEST(ScRTTIDescriptions, ClassPropertiesPastTheOwnOnesComeFromTheParent) {
    const auto big = IntfCast<IScClassTypeInfo>(CreateTypeInfoObject(TBigSwatch::StaticClass()->Type()));
    EXPECT_EQ(big->GetPropertyCount(), 1);
    EXPECT_EQ(big->GetTotalPropertyCount(), 4);
    EXPECT_EQ(big->GetProperties(0)->GetName(), u"Size");
    EXPECT_EQ(big->GetProperties(1)->GetName(), u"Kind");
    EXPECT_EQ(big->GetProperties(3)->GetName(), u"Name");
    EXPECT_EQ(big->GetProperties(4), nullptr);
    EXPECT_EQ(big->GetParent()->GetName(), u"TSwatch");
    EXPECT_EQ(big->GetParent()->GetParent()->GetParent()->GetParent(), nullptr); // TPersistent, TObject, none
    EXPECT_EQ(big->GetPropNames(u"nosuch"), nullptr);

    const TIntfPtr<IScPropInfo> size = big->GetPropNames(u"size");
    EXPECT_EQ(size->GetIndex(), 3);
    EXPECT_TRUE(size->HasIndex());
    EXPECT_FALSE(size->HasDefault());
    EXPECT_EQ(size->GetReaderType(), pskField);
    EXPECT_EQ(size->GetReaderValue(), offsetof(TBigSwatch, size_));
    EXPECT_EQ(size->GetStoredType(), pskConstant);
    EXPECT_EQ(size->GetStoredValue(), 0u);
    EXPECT_EQ(size->GetPropType()->GetTypeKind(), tkInteger);
    TBigSwatch swatch;
    const TIntfPtr<IScPropInfo> name = big->GetProperties(3);
    EXPECT_EQ(name->GetStoredType(), pskStaticMethod);
    EXPECT_FALSE(name->IsStored(swatch));
    swatch.SetName(u"x");
    EXPECT_TRUE(name->IsStored(swatch));
}

} // namespace

namespace {

TEST(ScRTTIUnit, LabelsPassThroughTheResourceStringHook) {
    StartScRTTI();
    EXPECT_EQ(FmtLoadStr(SRTTIUnknownIdentifier.Identifier, {u"x"}), u"Unknown identifier 'x'.");
    {
        TResStringHookScope hook([](TResStringLoader, int, const String& text) {
            return text == u"Float type: " ? String(u"浮点类型: ") : text;
        });
        const std::vector<String> listing = Listing(DateTimeTypeInfo());
        EXPECT_EQ(listing[3], u"浮点类型: ftDouble");
    }
    FinishScRTTI();
    EXPECT_EQ(LoadStr(SRTTIUnknownIdentifier.Identifier), u"");
}

} // namespace
