#include "support/storage/XcUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TEST(XorHex, EncodesLowBytesAndDecodesThemBack) {
    struct {
        const char16_t* Key;
        const char16_t* Value;
        const char16_t* Hex;
    } cases[] = {
        {u"", u"Az\x0101", u"417a01"},      // no key: the low bytes as they are
        {u"k", u"AB", u"2a29"},             // 'A' ^ 'k', 'B' ^ 'k'
        {u"\x0120\x0001", u"abc", u"416343"}, // key bytes 0x20, 0x01, 0x20 again
    };
    for (const auto& c : cases) {
        EXPECT_EQ(String(c.Hex), XorEncodeHex(c.Key, c.Value)) << String(c.Value);
        String lowBytes;
        for (char16_t ch : String(c.Value)) lowBytes += static_cast<char16_t>(ch & 0xFF);
        EXPECT_EQ(lowBytes, XorDecodeHex(c.Key, c.Hex)) << String(c.Hex);
    }
}

TEST(XorHex, DecodingIgnoresAnOddLastDigitAndReadsABadPairAs32) {
    EXPECT_EQ(String(u"A"), XorDecodeHex(u"", u"41f"));
    EXPECT_EQ(String(u"A B"), XorDecodeHex(u"", u"41zz42"));
    EXPECT_EQ(String(u"A B"), XorDecodeHex(u"", u"41+142"));
    // The 32 is XORed with the key like any other byte.
    EXPECT_EQ(String(1, static_cast<char16_t>(32 ^ 'k')), XorDecodeHex(u"k", u"g0"));
    EXPECT_EQ(String(u""), XorDecodeHex(u"k", u"4"));
}

TEST(VariantIsInteger, AcceptsTheIntegerTypesUpTo32Bits) {
    struct {
        Variant Value;
        bool Expected;
    } cases[] = {
        {Variant(int16_t{1}), true},   {Variant(int32_t{1}), true},  {Variant(int8_t{1}), true},
        {Variant(uint8_t{1}), true},   {Variant(uint16_t{1}), true}, {Variant(uint32_t{1}), true},
        {Variant(int64_t{1}), false},  {Variant(uint64_t{1}), false}, {Variant(true), false},
        {Variant(1.0), false},         {Variant(u"1"), false},       {Variant(), false},
        {Null(), false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Expected, VariantIsInteger(c.Value)) << VarTypeAsText(c.Value.VarType());
}

class TListener : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<TComponent*> Removed;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) Removed.push_back(component);
    }
};

TEST(AssignComponentReference, MovesTheFreeNotificationWithTheReference) {
    TListener owner(nullptr);
    auto first = std::make_unique<TComponent>(nullptr);
    auto second = std::make_unique<TComponent>(nullptr);
    TComponent* reference = nullptr;

    EXPECT_FALSE(AssignComponentReference<TComponent>(nullptr, first.get(), reference));
    EXPECT_EQ(nullptr, reference);
    EXPECT_TRUE(AssignComponentReference<TComponent>(&owner, first.get(), reference));
    EXPECT_FALSE(AssignComponentReference<TComponent>(&owner, first.get(), reference));
    EXPECT_TRUE(AssignComponentReference<TComponent>(&owner, second.get(), reference));
    EXPECT_EQ(second.get(), reference);

    first.reset();
    EXPECT_TRUE(owner.Removed.empty()) << "the old component still notifies the owner";
    TComponent* const secondAddress = second.get();
    second.reset();
    EXPECT_EQ(std::vector<TComponent*>{secondAddress}, owner.Removed);
}

TEST(AssignComponentReference, ClearingTheReferenceStopsTheNotification) {
    TListener owner(nullptr);
    auto held = std::make_unique<TComponent>(nullptr);
    TComponent* reference = nullptr;
    AssignComponentReference<TComponent>(&owner, held.get(), reference);
    EXPECT_TRUE(AssignComponentReference<TComponent>(&owner, nullptr, reference));
    held.reset();
    EXPECT_TRUE(owner.Removed.empty());
}

} // namespace
