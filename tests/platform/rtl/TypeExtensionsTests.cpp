#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/Properties.h"

// The expected field offsets come from offsetof, which GCC supports on these classes.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace {

enum class TPercent : uint8_t {};
RTL_SUBRANGE(TPercent, 0, 100);
enum class TLetter : char {};
RTL_SUBRANGE(TLetter, 'a', 'z');
enum class TWideRange : int32_t {};
RTL_SUBRANGE(TWideRange, -1000, 1000);

enum class TTone { tnLow, tnMid, tnHigh, tnPeak };
using enum TTone;
RTL_ENUM(TTone, tnLow, tnMid, tnHigh, tnPeak);
enum class TUpperTone : uint8_t {};
RTL_SUBRANGE(TUpperTone, tnMid, tnPeak);

enum class TPlain { plA, plB };
using enum TPlain;
RTL_ANONYMOUS_ENUM(TPlain, plA, plB);

using TPercents = TSet<TPercent>;
using TLetters = TSet<TLetter>;

class TRanges : public TPersistent {
    RTL_CLASS(TRanges, TPersistent);

public:
    TPercents Marks() const { return marks_; }
    void SetMarks(TPercents value) { marks_ = value; }
    TLetters Letters() const { return letters_; }
    void SetLetters(TLetters value) { letters_ = value; }
    TPercent Level() const { return level_; }
    void SetLevel(TPercent value) { level_ = value; }
    bool IsLevelStored() const { return level_ != TPercent(50); }

    TUpperTone tone_ = TUpperTone(tnMid);
    int width_ = 0;

private:
    TPercents marks_{TPercent(1), TPercent(3)};
    TLetters letters_;
    TPercent level_ = TPercent(50);
};

RTL_PUBLISHED(TRanges, c) {
    c.Property("Marks", &TRanges::Marks, &TRanges::SetMarks).Default(TPercents{TPercent(1), TPercent(3)});
    c.Property("Letters", &TRanges::Letters, &TRanges::SetLetters);
    c.Property("Level", &TRanges::Level, &TRanges::SetLevel).Stored(&TRanges::IsLevelStored);
    c.Property("Tone", &TRanges::tone_, &TRanges::tone_);
    c.Property("Width", &TRanges::width_).Stored(false);
}

TEST(TypeExtensions, SubrangesDescribeTheirKindBoundsAndOrdinalType) {
    struct Case {
        const TTypeInfo* type;
        TTypeKind kind;
        const char* name;
        int64_t min, max;
        TOrdType ordType;
    };
    for (const Case& c : {Case{TypeInfo<TPercent>(), tkInteger, "TPercent", 0, 100, otUByte},
                          Case{TypeInfo<TLetter>(), tkChar, "TLetter", 'a', 'z', otUByte},
                          Case{TypeInfo<TWideRange>(), tkInteger, "TWideRange", -1000, 1000, otSWord},
                          Case{TypeInfo<TUpperTone>(), tkEnumeration, "TUpperTone", 1, 3, otUByte}}) {
        EXPECT_EQ(c.type->Kind, c.kind) << c.name;
        EXPECT_EQ(c.type->Name, c.name);
        EXPECT_EQ(c.type->MinValue, c.min) << c.name;
        EXPECT_EQ(c.type->MaxValue, c.max) << c.name;
        EXPECT_EQ(c.type->OrdType, c.ordType) << c.name;
    }
    const TTypeInfo* upper = TypeInfo<TUpperTone>();
    EXPECT_EQ(upper->BaseType, TypeInfo<TTone>());
    EXPECT_EQ(TypeInfo<TTone>()->BaseType, nullptr);
    EXPECT_EQ(GetEnumName(upper, 2), u"tnHigh");
    EXPECT_EQ(GetEnumName(upper, 0), u"");
    EXPECT_EQ(GetEnumValue(upper, u"TNPEAK"), 3);
    EXPECT_EQ(TypeInfo<TPlain>()->Name, u".TPlain");
    EXPECT_EQ(TypeInfo<TTypeKind>()->Names[static_cast<size_t>(tkDynArray)], u"tkDynArray");
}

TEST(TypeExtensions, IntegerAndCharacterSetsRoundTripAsDecimalElements) {
    TRanges obj;
    EXPECT_EQ(GetSetProp(&obj, "Marks", true), u"[1,3]");
    EXPECT_TRUE(IsDefaultOrdValue(&obj, "Marks"));
    SetSetProp(&obj, "Marks", u"[ 0, 7 ,100]");
    EXPECT_EQ(obj.Marks(), (TPercents{TPercent(0), TPercent(7), TPercent(100)}));
    EXPECT_EQ(GetSetProp(&obj, "Marks"), u"0,7,100");
    EXPECT_FALSE(IsDefaultOrdValue(&obj, "Marks"));

    SetSetProp(&obj, "Letters", u"[97,122]");
    EXPECT_EQ(obj.Letters(), (TLetters{TLetter('a'), TLetter('z')}));
    EXPECT_EQ(GetSetProp(&obj, "Letters", true), u"[97,122]");
    EXPECT_EQ(GetPropValue(&obj, "Letters").AsString(), u"97,122");
    SetPropValue(&obj, "Letters", Variant(u"98"));
    EXPECT_EQ(obj.Letters(), (TLetters{TLetter('b')}));
}

TEST(TypeExtensions, SetElementsOutsideTheSubrangeAreRangeErrors) {
    TRanges obj;
    EXPECT_THROW(SetSetProp(&obj, "Marks", u"[5,101]"), ERangeError);
    EXPECT_THROW(SetSetProp(&obj, "Letters", u"[65]"), ERangeError);
    EXPECT_THROW(SetSetProp(&obj, "Letters", u"[x]"), EPropertyConvertError);
    EXPECT_EQ(obj.Marks(), (TPercents{TPercent(1), TPercent(3)}));
    EXPECT_THROW(SetOrdProp(&obj, "Level", 101), ERangeError);
    SetOrdProp(&obj, "Level", 100);
    EXPECT_EQ(obj.Level(), TPercent(100));
    EXPECT_THROW(SetOrdProp(&obj, "Tone", 0), ERangeError);
    SetEnumProp(&obj, "Tone", u"tnPeak");
    EXPECT_EQ(obj.tone_, TUpperTone(tnPeak));
}

TEST(TypeExtensions, PropertiesTellHowTheyAreReadWrittenAndStored) {
    const TClass cls = TRanges::StaticClass();
    const TPropInfo* marks = GetPropInfo(cls, "Marks");
    EXPECT_EQ(marks->Reader().Kind, pakMethod);
    EXPECT_EQ(marks->Writer().Kind, pakMethod);
    EXPECT_EQ(marks->StoredKind(), pakConstant);
    const TPropInfo* tone = GetPropInfo(cls, "Tone");
    EXPECT_EQ(tone->Reader().Kind, pakField);
    EXPECT_EQ(tone->Reader().Offset, offsetof(TRanges, tone_));
    EXPECT_EQ(tone->Writer().Offset, offsetof(TRanges, tone_));
    EXPECT_EQ(GetPropInfo(cls, "Level")->StoredKind(), pakMethod);
    const TPropInfo* width = GetPropInfo(cls, "Width");
    EXPECT_EQ(width->Reader().Offset, offsetof(TRanges, width_));
    EXPECT_EQ(width->Writer().Kind, pakNone);
    EXPECT_FALSE(width->IsStored(*cls->Create()));
    EXPECT_EQ(cls->OwnPropertyCount(), 5);
    EXPECT_EQ(&cls->OwnProperty(2), GetPropInfo(cls, "Level"));
}

using TChangeEvent = std::function<bool(TObject* sender, int& code, const String& text, double ratio)>;

TEST(TypeExtensions, MethodTypesComeFromTheEventSignature) {
    const TTypeInfo* type = TypeInfo<TChangeEvent>();
    EXPECT_EQ(type->Kind, tkMethod);
    EXPECT_EQ(type->Name, u"TMethod");
    EXPECT_EQ(type->MethodKind, mkFunction);
    EXPECT_EQ(type->ResultType, u"Boolean");
    ASSERT_EQ(type->Params.size(), 4u);
    const std::vector<std::pair<TParamFlags, const char*>> expected{
        {{}, "TObject"}, {{pfVar}, "Integer"}, {{pfConst}, "string"}, {{}, "Double"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(type->Params[i].Flags, expected[i].first) << i;
        EXPECT_EQ(type->Params[i].TypeName, expected[i].second) << i;
        EXPECT_EQ(type->Params[i].Name, u"") << i;
    }
    EXPECT_EQ(TypeInfo<std::function<void()>>()->MethodKind, mkProcedure);

    const TTypeInfo* named = NamedMethodType<TChangeEvent>("TChangeEvent", {"Sender", "Code", "Text", "Ratio"});
    EXPECT_EQ(named->Name, u"TChangeEvent");
    EXPECT_EQ(named->Params[1].Name, u"Code");
    EXPECT_EQ(named->Params[1].Flags, TParamFlags{pfVar});
    EXPECT_THROW(NamedMethodType<TChangeEvent>("TChangeEvent", {"Sender"}), EAssertionFailed);
}

class IShape : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{3A1F7E20-5B6C-4D8E-9F01-23456789ABCD}");
};
class ISquare : public IShape {
public:
    static constexpr TGUID IID = TGUID::Parse("{3A1F7E21-5B6C-4D8E-9F01-23456789ABCD}");
    using Inherited = IShape;
};
class IColored : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{3A1F7E22-5B6C-4D8E-9F01-23456789ABCD}");
};

class TShapeBase : public TImplements<TInterfacedObject, IShape> {
    RTL_CLASS(TShapeBase, TInterfacedObject);
};
class TSquareShape : public TImplements<TImplements<TShapeBase, ISquare>, IColored> {
    RTL_CLASS(TSquareShape, TShapeBase);
};
class TPlainSquare : public TSquareShape {
    RTL_CLASS(TPlainSquare, TSquareShape);
};
RTL_PUBLISHED_NONE(TShapeBase);
RTL_PUBLISHED_NONE(TSquareShape);
RTL_PUBLISHED_NONE(TPlainSquare);

TEST(TypeExtensions, InterfacesKnowTheirParentsAndClassesTheirOwnInterfaces) {
    const TTypeInfo* square = TypeInfo<TIntfPtr<ISquare>>();
    EXPECT_EQ(square->IntfParent, TypeInfo<TIntfPtr<IShape>>());
    EXPECT_EQ(TypeInfo<TIntfPtr<IShape>>()->IntfParent, TypeInfo<TIntfPtr<IInterface>>());
    EXPECT_EQ(TypeInfo<TIntfPtr<IInterface>>()->IntfParent, nullptr);
    EXPECT_EQ(square->IntfFlags, TIntfFlags{ifHasGuid});
    EXPECT_EQ(square->Guid, ISquare::IID);

    const auto names = [](TClass cls) {
        std::vector<String> result;
        for (const TTypeInfo* intf : cls->Interfaces()) result.push_back(intf->Name);
        return result;
    };
    EXPECT_EQ(names(TShapeBase::StaticClass()), std::vector<String>{u"IShape"});
    EXPECT_EQ(names(TSquareShape::StaticClass()), (std::vector<String>{u"ISquare", u"IColored"}));
    EXPECT_TRUE(names(TPlainSquare::StaticClass()).empty());
    EXPECT_TRUE(names(TPersistent::StaticClass()).empty());
}

struct TOpaque {
    int a, b;
};

TEST(TypeExtensions, ShortStringAndDynamicArrayDescriptions) {
    const TTypeInfo* name = ShortStringTypeInfo(u"TName", 31);
    EXPECT_EQ(name->Kind, tkString);
    EXPECT_EQ(name->MaxLength, 31);

    const TTypeInfo* ints = TypeInfo<std::vector<int32_t>>();
    EXPECT_EQ(ints->Kind, tkDynArray);
    EXPECT_EQ(ints->Name, u"TArray<Integer>");
    EXPECT_EQ(ints->ElementSize, 4);
    EXPECT_EQ(ints->ElementType, TypeInfo<int32_t>());
    EXPECT_FALSE(ints->ElementsNeedCleanup);
    EXPECT_EQ(ints->VarType, varInteger);

    const TTypeInfo* texts = TypeInfo<std::vector<String>>();
    EXPECT_TRUE(texts->ElementsNeedCleanup);
    EXPECT_EQ(texts->VarType, varUString);
    const TTypeInfo* opaque = TypeInfo<std::vector<TOpaque>>();
    EXPECT_EQ(opaque->ElementType, nullptr);
    EXPECT_EQ(opaque->ElementSize, int(sizeof(TOpaque)));
    EXPECT_EQ(opaque->VarType, -1);
}

} // namespace
