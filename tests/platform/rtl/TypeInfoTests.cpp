#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"

namespace {

enum class TShapeKind { skNone, skSquare, skCircle, skTriangle, skStar };
using enum TShapeKind;
RTL_ENUM(TShapeKind, skNone, skSquare, skCircle, skTriangle, skStar);
using TShapeKinds = TSet<TShapeKind>;

struct THolder {
    enum class TMode { mdOff, mdOn };
};
RTL_ENUM(THolder::TMode, THolder::TMode::mdOff, THolder::TMode::mdOn);

class IMarker : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{6E1F0C2A-3B4D-4E5F-8A9B-0C1D2E3F4A5B}");
};

class TMarker : public TImplements<TInterfacedObject, IMarker> {};

class TPart : public TObject {
    RTL_CLASS(TPart, TObject);
};
class TOtherPart : public TObject {
    RTL_CLASS(TOtherPart, TObject);
};
RTL_PUBLISHED_NONE(TPart);
RTL_PUBLISHED_NONE(TOtherPart);

using TNotify = std::function<void(TObject*)>;

class TBase : public TObject {
    RTL_CLASS(TBase, TObject);

public:
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    const String& Caption() const { return caption_; }
    void SetCaption(const String& v) { caption_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TShapeKind Kind() const { return kind_; }
    void SetKind(TShapeKind v) { kind_ = v; }
    TShapeKinds Kinds() const { return kinds_; }
    void SetKinds(TShapeKinds v) { kinds_ = v; }
    int Coord(int index) const { return coords_[index]; }
    void SetCoord(int index, int v) { coords_[index] = v; }
    bool IsHintStored() const { return hint_ != "auto"; }
    int Count() const { return 7; }
    void SetSecret(const String& v) { secret_ = v; }

    double ratio_ = 0;
    double stamp_ = 0;
    int64_t size_ = 0;
    char16_t letter_ = u'a';
    std::string ansi_;
    uint8_t small_ = 0;
    TPart* part_ = nullptr;
    TNotify onChange_;
    TIntfPtr<IMarker> marker_;
    String hint_;
    String secret_;
    THolder::TMode mode_ = THolder::TMode::mdOff;

private:
    int width_ = 0;
    String caption_;
    bool visible_ = true;
    TShapeKind kind_ = skNone;
    TShapeKinds kinds_{skSquare};
    int coords_[2] = {};
};

RTL_PUBLISHED(TBase, c) {
    c.Property("Width", &TBase::Width, &TBase::SetWidth).Default(0);
    c.Property("Caption", &TBase::Caption, &TBase::SetCaption);
    c.Property("Visible", &TBase::Visible, &TBase::SetVisible).Default(true);
    c.Property("Kind", &TBase::Kind, &TBase::SetKind).Default(skNone);
    c.Property("Kinds", &TBase::Kinds, &TBase::SetKinds).Default(TShapeKinds{skSquare});
    c.Property("Left", &TBase::Coord, &TBase::SetCoord).Index(0).Default(0);
    c.Property("Top", &TBase::Coord, &TBase::SetCoord).Index(1).NoDefault();
    c.Property("Ratio", &TBase::ratio_, &TBase::ratio_);
    c.Property("Stamp", &TBase::stamp_, &TBase::stamp_).AsDateTime();
    c.Property("Size", &TBase::size_, &TBase::size_);
    c.Property("Letter", &TBase::letter_, &TBase::letter_).Default(u'a');
    c.Property("Ansi", &TBase::ansi_, &TBase::ansi_);
    c.Property("Small", &TBase::small_, &TBase::small_);
    c.Property("Part", &TBase::part_, &TBase::part_);
    c.Property("OnChange", &TBase::onChange_, &TBase::onChange_);
    c.Property("Marker", &TBase::marker_, &TBase::marker_);
    c.Property("Hint", &TBase::hint_, &TBase::hint_).Stored(&TBase::IsHintStored);
    c.Property("Count", &TBase::Count).Stored(false);
    c.Property("Secret", nullptr, &TBase::SetSecret);
    c.Property("Mode", &TBase::mode_, &TBase::mode_);
}

class TDerived : public TBase {
    RTL_CLASS(TDerived, TBase);

public:
    double extra_ = 0;
};

RTL_PUBLISHED(TDerived, c) {
    c.Property("Extra", &TDerived::extra_, &TDerived::extra_).AsTime();
    c.Property("Width", &TBase::Width, &TBase::SetWidth).Default(10); // new default, same place
}

class TUndeclared : public TDerived {};

// Owns a list whose setter copies; holds a variant.
class TOptions : public TPersistent {
    RTL_CLASS(TOptions, TPersistent);

public:
    TStringList* Lines() const { return lines_.get(); }
    void SetLines(TStringList* v) { lines_->Assign(v); }
    Variant value_;

private:
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
};

RTL_PUBLISHED(TOptions, c) {
    c.Property("Lines", &TOptions::Lines, &TOptions::SetLines);
    c.Property("Value", &TOptions::value_, &TOptions::value_);
}

TEST(TypeInfoTest, EnumerationNamesAndValues) {
    const TTypeInfo* type = TypeInfo<TShapeKind>();
    EXPECT_EQ(type->Kind, tkEnumeration);
    EXPECT_EQ(type->Name, "TShapeKind");
    EXPECT_EQ(type->MinValue, 0);
    EXPECT_EQ(type->MaxValue, 4);
    EXPECT_EQ(GetEnumName(type, 2), "skCircle");
    EXPECT_EQ(GetEnumName(type, 5), "");
    EXPECT_EQ(GetEnumValue(type, "SKSTAR"), 4);
    EXPECT_EQ(GetEnumValue(type, "skHexagon"), -1);
    EXPECT_EQ(EnumName(skTriangle), "skTriangle");

    // Qualified names lose their qualifiers.
    EXPECT_EQ(TypeInfo<THolder::TMode>()->Name, "TMode");
    EXPECT_EQ(EnumName(THolder::TMode::mdOn), "mdOn");

    EXPECT_TRUE(IsBooleanType(TypeInfo<bool>()));
    EXPECT_EQ(GetEnumValue(TypeInfo<bool>(), "true"), 1);
    EXPECT_EQ(GetEnumName(TypeInfo<int>(), -5), "-5");
    EXPECT_EQ(GetEnumValue(TypeInfo<int>(), "42"), 42);
}

TEST(TypeInfoTest, SetTextRoundTrips) {
    const TTypeInfo* setType = TypeInfo<TShapeKinds>();
    ASSERT_EQ(setType->Kind, tkSet);
    EXPECT_EQ(setType->CompType, TypeInfo<TShapeKind>());
    const TShapeKinds kinds{skNone, skCircle, skStar};
    EXPECT_EQ(SetToString(setType, kinds.Bits()), "skNone,skCircle,skStar");
    EXPECT_EQ(SetToString(setType, kinds.Bits(), true), "[skNone,skCircle,skStar]");
    EXPECT_EQ(SetToString(setType, TSetBits(), true), "[]");
    for (const char* text : {"skNone,skCircle,skStar", "[skNone,skCircle,skStar]", " [ skstar , SKNONE,skCircle ] "})
        EXPECT_EQ(StringToSet(setType, text), kinds.Bits()) << text;
    EXPECT_TRUE(StringToSet(setType, "").IsEmpty());
    EXPECT_TRUE(StringToSet(setType, "[]").IsEmpty());
    try {
        StringToSet(setType, "[skSquare, skHexagon]");
        ADD_FAILURE();
    } catch (const EPropertyConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid property element: skHexagon");
    }
}

TEST(TypeInfoTest, SetOperations) {
    TShapeKinds s{skSquare, skCircle};
    s.Include(skStar).Exclude(skSquare);
    EXPECT_TRUE(s.Contains(skStar));
    EXPECT_FALSE(s.Contains(skSquare));
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s + TShapeKinds{skNone}, (TShapeKinds{skNone, skCircle, skStar}));
    EXPECT_EQ(s - TShapeKinds{skStar}, (TShapeKinds{skCircle}));
    EXPECT_EQ(s * TShapeKinds({skStar, skNone}), (TShapeKinds{skStar}));
    EXPECT_TRUE(TShapeKinds{skCircle} <= s);
    EXPECT_FALSE(s <= TShapeKinds{skCircle});
    EXPECT_THROW(TShapeKinds{static_cast<TShapeKind>(256)}, ERangeError);
    std::vector<TShapeKind> members;
    for (TShapeKind k : TShapeKinds{skStar, skNone, skCircle}) members.push_back(k);
    EXPECT_EQ(members, (std::vector<TShapeKind>{skNone, skCircle, skStar}));
    enum class TWide : uint16_t { wLast = 255 };
    const TSet<TWide> last{TWide::wLast, static_cast<TWide>(63), static_cast<TWide>(64)};
    EXPECT_TRUE(last.Contains(TWide::wLast));
    int sum = 0;
    for (TWide w : last) sum += static_cast<int>(w);
    EXPECT_EQ(sum, 255 + 63 + 64);
    EXPECT_EQ(TSet<TWide>().begin(), TSet<TWide>().end());
}

TEST(TypeInfoTest, PropertiesComeInDeclarationOrderBaseFirst) {
    struct Expect {
        const char* name;
        TTypeKind kind;
        const char* typeName;
        int32_t defaultValue;
        bool reader, writer, storedConstant;
    };
    const Expect expected[] = {
        {"Width", tkInteger, "Integer", 10, true, true, true},
        {"Caption", tkUString, "string", NoDefault, true, true, true},
        {"Visible", tkEnumeration, "Boolean", 1, true, true, true},
        {"Kind", tkEnumeration, "TShapeKind", 0, true, true, true},
        {"Kinds", tkSet, "TSet<TShapeKind>", 1 << 1, true, true, true},
        {"Left", tkInteger, "Integer", 0, true, true, true},
        {"Top", tkInteger, "Integer", NoDefault, true, true, true},
        {"Ratio", tkFloat, "Double", NoDefault, true, true, true},
        {"Stamp", tkFloat, "TDateTime", NoDefault, true, true, true},
        {"Size", tkInt64, "Int64", NoDefault, true, true, true},
        {"Letter", tkWChar, "WideChar", 'a', true, true, true},
        {"Ansi", tkLString, "AnsiString", NoDefault, true, true, true},
        {"Small", tkInteger, "Byte", NoDefault, true, true, true},
        {"Part", tkClass, "TPart", NoDefault, true, true, true},
        {"OnChange", tkMethod, "TMethod", NoDefault, true, true, true},
        {"Marker", tkInterface, "IMarker", NoDefault, true, true, true},
        {"Hint", tkUString, "string", NoDefault, true, true, false},
        {"Count", tkInteger, "Integer", NoDefault, true, false, true},
        {"Secret", tkUString, "string", NoDefault, false, true, true},
        {"Mode", tkEnumeration, "TMode", NoDefault, true, true, true},
        {"Extra", tkFloat, "TTime", NoDefault, true, true, true},
    };
    const auto props = TDerived::StaticClass()->Properties();
    ASSERT_EQ(props.size(), std::size(expected));
    for (size_t i = 0; i < props.size(); ++i) {
        const TPropInfo* p = props[i];
        const Expect& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(p->Name(), e.name);
        EXPECT_EQ(p->NameIndex(), static_cast<int>(i));
        EXPECT_EQ(p->Kind(), e.kind);
        EXPECT_EQ(p->PropType()->Kind, e.kind);
        EXPECT_EQ(p->PropType()->Name, e.typeName);
        EXPECT_EQ(p->Default(), e.defaultValue);
        EXPECT_EQ(p->HasReader(), e.reader);
        EXPECT_EQ(p->HasWriter(), e.writer);
        EXPECT_EQ(p->IsStoredConstant(), e.storedConstant);
    }
    // The parent keeps its own declaration.
    EXPECT_EQ(TBase::StaticClass()->Properties().size(), std::size(expected) - 1);
    EXPECT_EQ(GetPropInfo(TBase::StaticClass(), "width")->Default(), 0);
    EXPECT_EQ(GetPropInfo(TDerived::StaticClass(), "LEFT")->Index(), 0);
    EXPECT_EQ(GetPropInfo(TDerived::StaticClass(), "Top")->Index(), 1);
    EXPECT_EQ(GetPropInfo(TDerived::StaticClass(), "Nothing"), nullptr);
    EXPECT_TRUE(IsDateTimeType(GetPropInfo(TDerived::StaticClass(), "Stamp")->PropType()));
    EXPECT_FALSE(IsDateTimeType(GetPropInfo(TDerived::StaticClass(), "Ratio")->PropType()));

    const TPropList floats = GetPropList(TDerived::StaticClass(), {tkFloat});
    ASSERT_EQ(floats.size(), 3u);
    EXPECT_EQ(floats[2]->Name(), "Extra");
}

TEST(TypeInfoTest, StoredFlagsAndDefaults) {
    TDerived obj;
    EXPECT_TRUE(IsStoredProp(&obj, "Width"));
    EXPECT_FALSE(IsStoredProp(&obj, "Count"));
    obj.hint_ = "auto";
    EXPECT_FALSE(IsStoredProp(&obj, "Hint"));
    obj.hint_ = "manual";
    EXPECT_TRUE(IsStoredProp(&obj, "Hint"));

    EXPECT_FALSE(IsDefaultOrdValue(&obj, "Width")); // 0, the default is 10
    obj.SetWidth(10);
    EXPECT_TRUE(IsDefaultOrdValue(&obj, "Width"));
    EXPECT_TRUE(IsDefaultOrdValue(&obj, "Kinds"));
    obj.SetKinds({skSquare, skStar});
    EXPECT_FALSE(IsDefaultOrdValue(&obj, "Kinds"));
    EXPECT_FALSE(IsDefaultOrdValue(&obj, "Top")); // no default declared
}

TEST(TypeInfoTest, GetAndSetByNameForEveryKind) {
    TDerived obj;
    TPart part;
    SetOrdProp(&obj, "Width", 42);
    EXPECT_EQ(obj.Width(), 42);
    EXPECT_EQ(GetOrdProp(&obj, "width"), 42);
    SetOrdProp(&obj, "Top", 7);
    SetOrdProp(&obj, "Left", 3);
    EXPECT_EQ(obj.Coord(0), 3);
    EXPECT_EQ(GetOrdProp(&obj, "Top"), 7);
    SetStrProp(&obj, "Caption", u"标题");
    EXPECT_EQ(GetStrProp(&obj, "Caption"), u"标题");
    SetStrProp(&obj, "Ansi", u"é");
    EXPECT_EQ(obj.ansi_, "\xC3\xA9");
    SetOrdProp(&obj, "Visible", 0);
    EXPECT_FALSE(obj.Visible());
    SetEnumProp(&obj, "Visible", "TRUE");
    EXPECT_TRUE(obj.Visible());
    SetEnumProp(&obj, "Kind", "skCircle");
    EXPECT_EQ(obj.Kind(), skCircle);
    EXPECT_EQ(GetEnumProp(&obj, "Kind"), "skCircle");
    SetSetProp(&obj, "Kinds", "[skNone,skStar]");
    EXPECT_EQ(obj.Kinds(), (TShapeKinds{skNone, skStar}));
    EXPECT_EQ(GetSetProp(&obj, "Kinds", true), "[skNone,skStar]");
    SetFloatProp(&obj, "Ratio", 1.5);
    SetFloatProp(&obj, "Stamp", 45000.25);
    EXPECT_EQ(GetFloatProp(&obj, "Ratio"), 1.5);
    EXPECT_EQ(obj.stamp_, 45000.25);
    SetInt64Prop(&obj, "Size", INT64_MAX);
    EXPECT_EQ(GetInt64Prop(&obj, "Size"), INT64_MAX);
    EXPECT_EQ(GetInt64Prop(&obj, "Width"), 42);
    SetOrdProp(&obj, "Letter", u'Z');
    EXPECT_EQ(obj.letter_, u'Z');
    SetObjectProp(&obj, "Part", &part);
    EXPECT_EQ(GetObjectProp(&obj, "Part"), &part);
    int calls = 0;
    SetMethodProp(&obj, "OnChange", TNotify([&](TObject*) { ++calls; }));
    std::any_cast<TNotify>(GetMethodProp(&obj, "OnChange"))(nullptr);
    EXPECT_EQ(calls, 1);
    SetMethodProp(&obj, "OnChange", std::any());
    EXPECT_FALSE(obj.onChange_);
    EXPECT_FALSE(GetMethodProp(&obj, "OnChange").has_value());
    TIntfPtr<IMarker> marker = MakeIntf<TMarker>();
    SetInterfaceProp(&obj, "Marker", marker);
    EXPECT_EQ(obj.marker_, marker);
    EXPECT_EQ(GetInterfaceProp(&obj, "Marker"), IntfCast<IInterface>(marker));
    SetStrProp(&obj, "Secret", "s");
    EXPECT_EQ(obj.secret_, "s");
    SetEnumProp(&obj, "Mode", "mdOn");
    EXPECT_EQ(obj.mode_, THolder::TMode::mdOn);
}

TEST(TypeInfoTest, StringListsAndVariants) {
    TOptions options;
    const TPropInfo* lines = GetPropInfo(&options, "Lines");
    EXPECT_EQ(lines->PropType()->Name, "TStringList");
    EXPECT_TRUE(lines->PropType()->ClassType->InheritsFrom(TStrings::StaticClass()));
    std::unique_ptr<TObject> list = TStringList::StaticClass()->Create();
    static_cast<TStringList*>(list.get())->SetText("a\nb\n");
    SetObjectProp(&options, lines, list.get()); // copied by the setter
    EXPECT_EQ(options.Lines()->Count(), 2);
    EXPECT_EQ(GetObjectProp(&options, lines), options.Lines());

    TStringList copy;
    copy.Assign(static_cast<TPersistent*>(options.Lines()));
    EXPECT_EQ(copy.Text(), "a\nb\n");
    EXPECT_THROW(copy.Assign(static_cast<TPersistent*>(&options)), EConvertError);

    EXPECT_EQ(GetPropInfo(&options, "Value")->Kind(), tkVariant);
    SetVariantProp(&options, "Value", Variant("x"));
    EXPECT_EQ(GetVariantProp(&options, "Value").AsString(), "x");
}

TEST(TypeInfoTest, PropValuesAsVariants) {
    TDerived obj;
    struct Case {
        const char* name;
        Variant in;
        Variant out;
    };
    const Case cases[] = {
        {"Width", Variant(12), Variant(int64_t{12})},
        {"Visible", Variant(false), Variant(false)},
        {"Kind", Variant("skStar"), Variant("skStar")},
        {"Kind", Variant(2), Variant("skCircle")},
        {"Kinds", Variant("[skNone,skCircle]"), Variant("skNone,skCircle")},
        {"Ratio", Variant(0.25), Variant(0.25)},
        {"Stamp", Variant(2.5), VarFromDateTime(2.5)},
        {"Caption", Variant("c"), Variant("c")},
        {"Size", Variant(int64_t{1} << 40), Variant(int64_t{1} << 40)},
    };
    for (const auto& c : cases) {
        SetPropValue(&obj, c.name, c.in);
        const Variant out = GetPropValue(&obj, c.name);
        EXPECT_EQ(out.VarType(), c.out.VarType()) << c.name;
        EXPECT_EQ(out, c.out) << c.name;
    }
    EXPECT_EQ(GetPropValue(&obj, "Kind", false), Variant(int64_t{2}));
    // Sets as numbers: element v is bit v, both ways.
    EXPECT_EQ(GetPropValue(&obj, "Kinds", false), Variant(int64_t{0b101}));
    SetPropValue(&obj, "Kinds", Variant(int64_t{0b10010}));
    EXPECT_EQ(obj.Kinds(), (TShapeKinds{skSquare, skStar}));
    EXPECT_THROW(SetPropValue(&obj, "Kinds", Variant(int64_t{1} << 5)), ERangeError);
    EXPECT_THROW(GetPropValue(&obj, "Part"), EPropertyError);
}

TEST(TypeInfoTest, MisuseRaises) {
    TDerived obj;
    TOtherPart other;
    const auto message = [&](auto action) {
        try {
            action();
        } catch (const Exception& e) {
            return e.Message();
        }
        return String("no exception");
    };
    EXPECT_EQ(message([&] { GetOrdProp(&obj, "Nothing"); }), "Property Nothing does not exist");
    EXPECT_EQ(message([&] { GetOrdProp(&obj, "Caption"); }), "Invalid property type: string");
    EXPECT_EQ(message([&] { SetOrdProp(&obj, "Count", 1); }), "Property is read-only");
    EXPECT_EQ(message([&] { GetStrProp(&obj, "Secret"); }), "Property is write-only");
    EXPECT_EQ(message([&] { SetEnumProp(&obj, "Kind", "skHexagon"); }), "Invalid property element: skHexagon");
    EXPECT_EQ(message([&] { SetSetProp(&obj, "Kinds", "skOval"); }), "Invalid property element: skOval");
    EXPECT_EQ(message([&] { SetObjectProp(&obj, "Part", &other); }), "Invalid property value");
    EXPECT_EQ(message([&] { SetMethodProp(&obj, "OnChange", 5); }), "Invalid property value");
    EXPECT_EQ(message([&] { SetInterfaceProp(&obj, "Marker", MakeIntf<TInterfacedObject>()); }),
              "Interface not supported");
    EXPECT_THROW(SetOrdProp(&obj, "Kind", 5), ERangeError);
    EXPECT_THROW(SetOrdProp(&obj, "Small", 256), ERangeError);
    EXPECT_THROW(SetInt64Prop(&obj, "Width", INT64_C(1) << 40), ERangeError);
    EXPECT_EQ(obj.Kind(), skNone); // unchanged by the failures
    EXPECT_EQ(obj.small_, 0);
}

class TAnsiHolder : public TObject {
    RTL_CLASS(TAnsiHolder, TObject);

public:
    char ch_ = '\xE9';
};

RTL_PUBLISHED(TAnsiHolder, c) { c.Property("Ch", &TAnsiHolder::ch_, &TAnsiHolder::ch_).Default('\xE9'); }

TEST(TypeInfoTest, AnsiCharPropertiesCountFromZeroTo255) {
    TAnsiHolder obj;
    EXPECT_EQ(GetOrdProp(&obj, "Ch"), 0xE9);
    EXPECT_EQ(GetPropInfo(&obj, "Ch")->Default(), 0xE9);
    EXPECT_TRUE(IsDefaultOrdValue(&obj, "Ch"));
    SetOrdProp(&obj, "Ch", 0xFF);
    EXPECT_EQ(obj.ch_, '\xFF');
    SetOrdProp(&obj, "Ch", GetOrdProp(&obj, "Ch")); // what is read can be written back
    EXPECT_EQ(GetOrdProp(&obj, "Ch"), 0xFF);
    EXPECT_FALSE(IsDefaultOrdValue(&obj, "Ch"));
}

namespace other {
class TPart : public TObject {
    RTL_CLASS(TPart, TObject);
};
RTL_PUBLISHED_NONE(TPart);
} // namespace other

TEST(TypeInfoTest, ClassesAreFoundAndCreatedByName) {
    RegisterClasses({TBase::StaticClass(), TDerived::StaticClass()});
    RegisterClass(TDerived::StaticClass()); // again: no effect
    std::unique_ptr<TObject> obj = FindClass("tderived")->Create();
    EXPECT_EQ(obj->ClassName(), "TDerived");
    EXPECT_NE(dynamic_cast<TDerived*>(obj.get()), nullptr);
    EXPECT_EQ(GetClass("TPart"), nullptr);
    try {
        FindClass("TPart");
        ADD_FAILURE();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TPart not found");
    }
    RegisterClass(TPart::StaticClass());
    try {
        RegisterClass(other::TPart::StaticClass()); // same name, another class
        ADD_FAILURE();
    } catch (const EFilerError& e) {
        EXPECT_EQ(e.Message(), "A class named TPart already exists");
    }
    EXPECT_EQ(GetClass("TPart"), TPart::StaticClass());
    UnRegisterClass(TPart::StaticClass());
    UnRegisterClass(TBase::StaticClass());
    EXPECT_EQ(GetClass("TBase"), nullptr);
    UnRegisterClass(TDerived::StaticClass());
}

TEST(TypeInfoTest, ClassIdentity) {
    TUndeclared undeclared;
    EXPECT_EQ(undeclared.ClassType(), TDerived::StaticClass());
    EXPECT_EQ(undeclared.ClassName(), "TUndeclared");
    EXPECT_TRUE(undeclared.InheritsFrom(TBase::StaticClass()));
    EXPECT_TRUE(undeclared.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(undeclared.InheritsFrom(TPart::StaticClass()));
    EXPECT_EQ(TDerived::StaticClass()->ClassParent(), TBase::StaticClass());
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_EQ(TObject().ClassName(), "TObject");
    EXPECT_EQ(TypeInfo<TPart*>()->ClassType, TPart::StaticClass());
}

TEST(TypeInfoTest, IntegerIdentifierMaps) {
    static constexpr TIdentMapEntry colors[] = {{0xFF, "clRed"}, {0xFF00, "clLime"}};
    const TTypeInfo* colorType = NamedTypeInfo(TypeInfo<int32_t>(), "TTestColor");
    RegisterIntegerConsts(
        colorType, [](const String& ident, int32_t& v) { return IdentToInt(ident, v, colors); },
        [](int32_t v, String& ident) { return IntToIdent(v, ident, colors); });
    int32_t value = 0;
    ASSERT_NE(FindIdentToInt(colorType), nullptr);
    EXPECT_TRUE(FindIdentToInt(colorType)("CLLIME", value));
    EXPECT_EQ(value, 0xFF00);
    String ident;
    EXPECT_TRUE(FindIntToIdent(colorType)(0xFF, ident));
    EXPECT_EQ(ident, "clRed");
    EXPECT_FALSE(FindIntToIdent(colorType)(1, ident));
    EXPECT_EQ(FindIdentToInt(TypeInfo<int32_t>()), nullptr);
}

} // namespace
