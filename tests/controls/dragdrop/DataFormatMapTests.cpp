// The format map orders each data format's clipboard formats by priority
// (the last registered first among equals), merges re-registrations and
// filters by the asking side; a data format reads the first that yields.

#include <gtest/gtest.h>

#include <vector>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DragDropComponent.h"
#include "controls/dragdrop/TextFormats.h"
#include "platform/rtl/ClassInfo.h"

namespace {

class TMapTestDataFormat : public TCustomDataFormat {
    RTL_CLASS(TMapTestDataFormat, TCustomDataFormat);

public:
    TMapTestDataFormat() : TCustomDataFormat(nullptr) {}
    void Clear() override {}
    bool HasData() const override { return false; }
};

#define MAP_TEST_FORMAT(Class, directions)                                  \
    class Class : public TClipboardFormat {                                 \
        RTL_CLASS(Class, TClipboardFormat);                                 \
                                                                            \
    public:                                                                 \
        Class() : TClipboardFormat(CF_TEXT, TYMED_HGLOBAL) {}               \
        void Clear() override {}                                            \
        static TDataDirections DataDirection() { return directions; }       \
    }
MAP_TEST_FORMAT(TMapTestC1, TDataDirections{ddRead});
MAP_TEST_FORMAT(TMapTestC2, TDataDirections{ddRead});
MAP_TEST_FORMAT(TMapTestC3, TDataDirections{ddRead});
MAP_TEST_FORMAT(TMapTestC4, TDataDirections{ddRead});
MAP_TEST_FORMAT(TMapTestWriteOnly, TDataDirections{ddWrite});
#undef MAP_TEST_FORMAT

RTL_PUBLISHED_NONE(TMapTestDataFormat);
RTL_PUBLISHED_NONE(TMapTestC1);
RTL_PUBLISHED_NONE(TMapTestC2);
RTL_PUBLISHED_NONE(TMapTestC3);
RTL_PUBLISHED_NONE(TMapTestC4);
RTL_PUBLISHED_NONE(TMapTestWriteOnly);

constexpr TConversionCapabilities kBoth{ccWriteToDataFormat, ccReadFromDataFormat};

std::vector<TClass> Order(const TDataFormatMap& map) {
    std::vector<TClass> order;
    for (const TDataFormatMap::TEntry& entry : map.Entries()) order.push_back(entry.clipboardFormatClass);
    return order;
}

std::vector<TClass> Tier(const TDataFormatMap& map, TClass dataFormat, TDragDropTier tier) {
    TClipboardFormats formats(nullptr, true);
    map.GetClipboardFormats(dataFormat, formats, tier);
    std::vector<TClass> classes;
    for (int i = 0; i < formats.Count(); ++i) classes.push_back(formats[i]->ClassType());
    return classes;
}

} // namespace

TEST(DataFormatMapTest, EntriesOfADataFormatRunInAscendingPriorityTheLastRegisteredFirst) {
    TDataFormatMap map;
    map.Add<TMapTestDataFormat, TMapTestC1>(0, kBoth);
    map.Add<TMapTestDataFormat, TMapTestC2>(1, kBoth);
    map.Add<TMapTestDataFormat, TMapTestC3>(3, kBoth);
    map.Add<TMapTestDataFormat, TMapTestC4>(2, kBoth);
    EXPECT_EQ(Order(map), (std::vector{TMapTestC1::StaticClass(), TMapTestC2::StaticClass(), TMapTestC4::StaticClass(),
                                       TMapTestC3::StaticClass()}));

    TDataFormatMap lower;
    lower.Add<TMapTestDataFormat, TMapTestC1>(0, kBoth);
    lower.Add<TMapTestDataFormat, TMapTestC2>(-1, kBoth);
    EXPECT_EQ(Order(lower), (std::vector{TMapTestC2::StaticClass(), TMapTestC1::StaticClass()}));

    TDataFormatMap equal;
    equal.Add<TMapTestDataFormat, TMapTestC1>(0, kBoth);
    equal.Add<TMapTestDataFormat, TMapTestC2>(0, kBoth);
    EXPECT_EQ(Order(equal), (std::vector{TMapTestC2::StaticClass(), TMapTestC1::StaticClass()}));
}

TEST(DataFormatMapTest, RegisteringAgainMergesCapabilitiesAndMovesTheEntry) {
    TDataFormatMap map;
    map.Add<TMapTestDataFormat, TMapTestC1>(0, {ccWriteToDataFormat});
    map.Add<TMapTestDataFormat, TMapTestC2>(1, kBoth);
    map.Add<TMapTestDataFormat, TMapTestC1>(2, {ccReadFromDataFormat});
    ASSERT_EQ(map.Entries().size(), 2u);
    EXPECT_EQ(Order(map), (std::vector{TMapTestC2::StaticClass(), TMapTestC1::StaticClass()}));
    EXPECT_EQ(map.Entries()[1].capabilities, kBoth);
    EXPECT_EQ(map.Entries()[1].priority, 2);
}

TEST(DataFormatMapTest, OnlyReadingIntoTheDataFormatKeepsPriorityZero) {
    TDataFormatMap map;
    map.Add<TMapTestDataFormat, TMapTestC1>(5, {ccWriteToDataFormat});
    map.Add<TMapTestDataFormat, TMapTestC2>(1, kBoth);
    EXPECT_EQ(map.Entries()[0].priority, 0);
    EXPECT_EQ(Order(map), (std::vector{TMapTestC1::StaticClass(), TMapTestC2::StaticClass()}));
}

TEST(DataFormatMapTest, EachTierGetsTheFormatsItsDirectionAllows) {
    TDataFormatMap map;
    map.Add<TMapTestDataFormat, TMapTestC1>(0, {ccReadFromDataFormat});
    map.Add<TMapTestDataFormat, TMapTestWriteOnly>(1, {ccWriteToDataFormat});
    map.Add<TMapTestDataFormat, TMapTestC2>(2, {ccWriteToDataFormat});
    const TClass data = TMapTestDataFormat::StaticClass();
    // All at priority 0, the last registered first. A target reads C1
    // (readable by default) and the two that may fill the data format.
    EXPECT_EQ(Tier(map, data, ddtTarget),
              (std::vector{TMapTestC2::StaticClass(), TMapTestWriteOnly::StaticClass(), TMapTestC1::StaticClass()}));
    // A source offers the writable one and C1 (filled from the data format).
    EXPECT_EQ(Tier(map, data, ddtSource), (std::vector{TMapTestWriteOnly::StaticClass(), TMapTestC1::StaticClass()}));
}

TEST(DataFormatMapTest, TextIsTriedWideFirstThenRichOemLocaleAndEightBit) {
    StartDragDropUnits();
    const std::vector<TClass> order = Tier(TDataFormatMap::Instance(), TTextDataFormat::StaticClass(), ddtTarget);
    StopDragDropUnits();
    EXPECT_EQ(order, (std::vector{TUnicodeTextClipboardFormat::StaticClass(), TRichTextClipboardFormat::StaticClass(),
                                  TOEMTextClipboardFormat::StaticClass(), TLocaleClipboardFormat::StaticClass(),
                                  TAnsiTextClipboardFormat::StaticClass()}));
}

TEST(ClipboardFormatsTest, AMissingFormatIsNamedWithTheListsDataFormat) {
    TMapTestDataFormat data;
    TClipboardFormats formats(&data, true);
    formats.Add(std::make_unique<TMapTestC1>());
    EXPECT_EQ(formats[0]->DataFormat(), &data);
    EXPECT_EQ(formats.FindFormat(TClipboardFormat::StaticClass()), formats[0]);
    try {
        formats.GetFormat(TMapTestC2::StaticClass());
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(),
                  String(u"Clipboard format TMapTestC2 does not exist in TMapTestDataFormat's list of copatible formats"));
    }
}

TEST(ClipboardFormatsTest, FormatIdentifiersReadAsTheirNames) {
    struct Case {
        UINT format;
        const char16_t* name;
    } const cases[] = {{1, u"CF_TEXT"}, {15, u"CF_HDROP"}, {16, u"CF_LOCALE"}, {17, u"CF_DIBV5"}, {18, u"CF_MAX_XP"},
                       {128, u"CF_OWNERDISPLAY"}, {142, u"CF_DSPENHMETAFILE"}, {0xBFFF, u""},
                       {RegisterClipboardFormatW(u"Shell IDList Array"), u"Shell IDList Array"}};
    for (const Case& c : cases) EXPECT_EQ(ClipboardFormatToString(c.format), String(c.name)) << c.format;
}
