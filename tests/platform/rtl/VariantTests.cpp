#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

TEST(VariantTest, TypeCodes) {
    struct Case { Variant value; TVarType type; };
    const Case cases[] = {
        {Variant(), varEmpty},          {Null(), varNull},                   {int8_t(-1), varShortInt},
        {int16_t(1), varSmallint},      {1, varInteger},                     {int64_t(1), varInt64},
        {uint8_t(1), varByte},          {uint16_t(1), varWord},              {1u, varLongWord},
        {uint64_t(1), varUInt64},       {1.5f, varSingle},                   {1.5, varDouble},
        {VarFromDateTime(2.5), varDate}, {true, varBoolean},                 {"text", varUString},
        {u"text", varUString},          {String("text"), varUString},        {Unassigned(), varEmpty},
    };
    for (const auto& c : cases) EXPECT_EQ(VarType(c.value), c.type) << VarTypeAsText(c.type);
    EXPECT_EQ(VarType(VarAsType("x", varOleStr)), varOleStr);
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_FALSE(VarIsNull(Variant()));
    EXPECT_TRUE(VarIsEmpty(Variant()));
    EXPECT_TRUE(VarIsClear(Variant()));
    EXPECT_FALSE(VarIsEmpty(Variant(0)));
}

TEST(VariantTest, Conversions) {
    EXPECT_EQ(Variant("12").AsInteger(), 12);
    EXPECT_EQ(Variant(" $1F").AsInteger(), 31);
    EXPECT_EQ(Variant("2.5").AsInteger(), 2); // ties to even
    EXPECT_EQ(Variant(3.5).AsInt64(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_EQ(Variant(uint8_t(200)).AsInteger(), 200);
    EXPECT_EQ(Variant(uint32_t(4000000000u)).AsInt64(), 4000000000);
    EXPECT_EQ(Variant("1.25").AsDouble(), 1.25);
    EXPECT_EQ(Variant(int64_t(-7)).AsDouble(), -7);
    EXPECT_EQ(Variant(false).AsDouble(), 0);
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_TRUE(Variant(-3).AsBoolean());
    EXPECT_FALSE(Variant("0").AsBoolean());
    EXPECT_FALSE(Variant().AsBoolean());
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(false).AsString(), "False");
    EXPECT_EQ(Variant(-12).AsString(), "-12");
    EXPECT_EQ(Variant(UINT64_MAX).AsString(), "18446744073709551615");
    EXPECT_EQ(Variant(0.1f).AsString(), "0.1");
    EXPECT_EQ(Variant(0.1).AsString(), "0.1");
    EXPECT_EQ(Variant().AsString(), "");
    const TDateTime when = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    EXPECT_EQ(VarFromDateTime(when).AsString(), DateTimeToStr(when));
    EXPECT_EQ(Variant(DateTimeToStr(when)).AsDateTime(), when);
    EXPECT_EQ(Variant("2.5").AsDateTime(), 2.5);
    EXPECT_EQ(VarToStr(Null()), "");
    EXPECT_EQ(VarToStr(Variant(7)), "7");
}

TEST(VariantTest, FailedConversionsRaise) {
    struct Case { Variant value; int what; const char* message; };
    const Case cases[] = {
        {Null(), 0, "Could not convert variant of type (Null) into type (Integer)"},
        {Null(), 1, "Could not convert variant of type (Null) into type (Int64)"},
        {Null(), 2, "Could not convert variant of type (Null) into type (Double)"},
        {Null(), 3, "Could not convert variant of type (Null) into type (Boolean)"},
        {Null(), 4, "Could not convert variant of type (Null) into type (UnicodeString)"},
        {Null(), 5, "Could not convert variant of type (Null) into type (Date)"},
        {"abc", 0, "Could not convert variant of type (UnicodeString) into type (Integer)"},
        {"abc", 2, "Could not convert variant of type (UnicodeString) into type (Double)"},
        {"abc", 3, "Could not convert variant of type (UnicodeString) into type (Boolean)"},
        {"abc", 5, "Could not convert variant of type (UnicodeString) into type (Date)"},
        {int64_t(1) << 40, 0, "Variant overflow"},
        {3e9, 0, "Variant overflow"},
        {1e300, 1, "Variant overflow"},
        {UINT64_MAX, 1, "Variant overflow"},
        {"99999999999", 0, "Variant overflow"},
    };
    for (const auto& c : cases) {
        try {
            switch (c.what) {
            case 0: c.value.AsInteger(); break;
            case 1: c.value.AsInt64(); break;
            case 2: c.value.AsDouble(); break;
            case 3: c.value.AsBoolean(); break;
            case 4: c.value.AsString(); break;
            default: c.value.AsDateTime();
            }
            ADD_FAILURE() << c.message;
        } catch (const EVariantError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(VariantTest, VarAsTypeChecksRanges) {
    EXPECT_EQ(VarType(VarAsType("200", varByte)), varByte);
    EXPECT_EQ(VarAsType("200", varByte).AsInteger(), 200);
    EXPECT_EQ(VarAsType(12, varUString), Variant("12"));
    EXPECT_EQ(VarAsType(1.5, varDate).AsDateTime(), 1.5);
    EXPECT_EQ(VarType(VarAsType(Variant(), varNull)), varNull);
    EXPECT_EQ(VarAsType(Variant(UINT64_MAX), varUInt64), Variant(UINT64_MAX));
    EXPECT_THROW(VarAsType(256, varByte), EVariantError);
    EXPECT_THROW(VarAsType(-1, varWord), EVariantError);
    EXPECT_THROW(VarAsType(-1, varUInt64), EVariantError);
    EXPECT_THROW(VarAsType(40000, varSmallint), EVariantError);
    EXPECT_THROW(VarAsType(1e300, varSingle), EVariantError);
    EXPECT_THROW(VarAsType(1, 0x7777), EVariantError);
}

TEST(VariantTest, Equality) {
    struct Case { Variant a, b; bool equal; };
    const Case cases[] = {
        {Null(), Null(), true},           {Null(), Variant(), false},          {Null(), 0, false},
        {Variant(), Variant(), true},     {Variant(), "", true},               {Variant(), 0, true},
        {Variant(), 1, false},            {"a", "a", true},                    {"a", "A", false},
        {"a", VarAsType("a", varOleStr), true},                                {"12", 12, true},
        {12, "12.0", true},               {"x", 0, false},                     {1, 1.0, true},
        {int8_t(-1), int64_t(-1), true},  {true, -1, true},                    {true, 1, false},
        {UINT64_MAX, int64_t(-1), false}, {UINT64_MAX, UINT64_MAX, true},      {uint64_t(5), 5, true},
        {int64_t(9007199254740993), int64_t(9007199254740992), false},         {0.5f, 0.5, true},
        {VarFromDateTime(2.0), 2, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << VarToStr(c.a) << " / " << VarToStr(c.b);
        EXPECT_EQ(c.b == c.a, c.equal) << VarToStr(c.b) << " / " << VarToStr(c.a);
    }
}
