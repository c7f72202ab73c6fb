#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "TreeDibFixture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/system/SystemColors.h"
#include "treeview/TreeDrawing.h"

namespace {

// Whether the action fails an assertion whose message starts with Text.
bool FailsAssertion(const std::function<void()>& action, const std::u16string& text) {
    try {
        action();
    } catch (const EAssertionFailed& e) {
        return e.Message().Std().starts_with(text);
    }
    return false;
}

} // namespace

TEST(TreeBlend, EachKindMixesEveryByteOfThePixel) {
    // Pixels are 0xAARRGGBB as stored: bytes blue, green, red, alpha.
    const struct {
        const char* name;
        TBlendKind kind;
        int alpha, bias;
        uint32_t source, destination, expected;
    } cases[] = {
        {"constant alpha 0 leaves the destination", bkConstant, 0, 0, 0xFFFFFFFF, 0x12345678, 0x12345678},
        {"constant alpha 255 comes within one of the source", bkConstant, 255, 0, 0xFFFF8000, 0x0000FFFF,
         0xFEFE8000},
        {"equal bytes stay under alpha 255", bkConstant, 255, 0, 0x40404040, 0x40404040, 0x40404040},
        {"alpha 128 takes half", bkConstant, 128, 0, 0xFFFFFFFF, 0x00000000, 0x7F7F7F7F},
        {"bias 20 lightens every byte and clamps at 255", bkConstant, 0, 20, 0, 0x00F07F10, 0x14FF9324},
        {"a negative bias clamps at 0", bkConstant, 0, -20, 0, 0x0A0A0A0A, 0x00000000},
        {"per pixel takes the source's alpha", bkPerPixel, 0, 0, 0xFF0000FF, 0x00FFFFFF, 0xFE0000FF},
        {"per pixel with a clear source leaves the destination", bkPerPixel, 255, 0, 0x00FFFFFF, 0x00000000,
         0x00000000},
        {"master multiplies both alphas", bkMaster, 128, 0, 0xFFFFFFFF, 0x00000000, 0x7E7E7E7E},
        {"master with a clear source leaves the destination", bkMaster, 255, 0, 0x00FFFFFF, 0x11223344,
         0x11223344},
        {"colour: black at 128 into white gives 127", bkColor, 128, 0x000000, 0, 0x00FFFFFF, 0x007F7F7F},
        {"colour: the COLORREF's red lands on the red byte", bkColor, 255, 0x0000FF, 0, 0x00000000, 0x00FE0000},
    };
    for (const auto& c : cases) {
        TTreeDib source(1, 1), destination(1, 1);
        source.Fill(c.source);
        destination.Fill(c.destination);
        BlendRect(source.Dc(), destination.Dc(), TRect{0, 0, 1, 1}, TPoint{0, 0}, c.kind, c.alpha, c.bias);
        EXPECT_EQ(destination.At(0, 0), c.expected) << c.name;
    }
}

TEST(TreeBlend, TheRectangleLandsAtTheTargetWhateverTheRowOrders) {
    for (const bool sourceBottomUp : {false, true})
        for (const bool destinationBottomUp : {false, true}) {
            TTreeDib source(4, 3, sourceBottomUp), destination(4, 3, destinationBottomUp);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) source.At(x, y) = 0x01000000u * uint32_t(10 * y + x + 1) | 0xFFFFFF;
            destination.Fill(0);
            // Source columns 1-2 of row 1 go to destination row 2 from column 0.
            BlendRect(source.Dc(), destination.Dc(), TRect{1, 1, 3, 2}, TPoint{0, 2}, bkConstant, 256, 0);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) {
                    const uint32_t expected = y == 2 && x < 2 ? source.At(x + 1, 1) : 0;
                    EXPECT_EQ(destination.At(x, y), expected)
                        << x << "," << y << " source bottom up " << sourceBottomUp << " destination bottom up "
                        << destinationBottomUp;
                }
        }
}

TEST(TreeBlend, ColourBlendsStayInsideTheRectangleAndEmptyRectanglesDoNothing) {
    TTreeDib destination(3, 3, true);
    destination.Fill(0x00FFFFFF);
    BlendRect(nullptr, destination.Dc(), TRect{1, 0, 2, 3}, TPoint{}, bkColor, 256, 0x000000);
    BlendRect(nullptr, destination.Dc(), TRect{2, 2, 2, 3}, TPoint{}, bkColor, 256, 0x000000);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(destination.At(x, y), x == 1 ? 0u : 0x00FFFFFFu) << x << "," << y;
}

TEST(TreeBlend, ABitmapOfAnotherDepthOrNoneFailsItsAssertion) {
    TTreeDib deep(2, 2), shallow(2, 2, false, 24);
    EXPECT_TRUE(FailsAssertion(
        [&] { BlendRect(deep.Dc(), shallow.Dc(), TRect{0, 0, 1, 1}, TPoint{}, bkConstant, 1, 0); },
        u"Alpha blending error: bitmap must use 32 bpp."));
    const HDC bare = CreateCompatibleDC(nullptr);
    const HBITMAP device = CreateCompatibleBitmap(deep.Dc(), 2, 2);
    const HGDIOBJ old = SelectObject(bare, ToGdiObject(device));
    EXPECT_TRUE(FailsAssertion([&] { DcBitmapBits(bare); }, u"Alpha blending DC error: no bitmap available."))
        << "a device bitmap has no section";
    SelectObject(bare, old);
    DeleteObject(ToGdiObject(device));
    DeleteDC(bare);
    const TDcBitmapBits bits = DcBitmapBits(deep.Dc());
    EXPECT_EQ(bits.Bits, deep.Bits());
    EXPECT_EQ(bits.Width, 2);
    EXPECT_EQ(bits.Height, -2) << "top down";
}

TEST(TreeScanLine, RowsAreCountedFromTheTopInBothStorageOrders) {
    std::array<uint32_t, 15> bits{};
    const struct {
        int height, row;
        ptrdiff_t offset;
    } cases[] = {{3, 0, 10}, {3, 2, 0}, {3, 1, 5}, {-3, 0, 0}, {-3, 2, 10}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ScanLineAddress(bits.data(), 5, c.height, c.row) - bits.data(), c.offset)
            << "height " << c.height << " row " << c.row;
}

TEST(TreeColors, ColorToColorRefMapsTheMarkersAndSystemColours) {
    const struct {
        TColor color;
        COLORREF expected;
    } cases[] = {
        {clNone, CLR_NONE},
        {clDefault, CLR_DEFAULT},
        {clRed, 0x0000FF},
        {0x123456, 0x123456},
        {clBtnFace, GetSysColor(COLOR_BTNFACE)},
        {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorToColorRef(c.color), c.expected) << std::hex << c.color;
}

TEST(TreeRectGeometry, NormalizeRectOrdersBothAxes) {
    const struct {
        TRect given, expected;
    } cases[] = {
        {{1, 2, 3, 4}, {1, 2, 3, 4}},
        {{3, 2, 1, 4}, {1, 2, 3, 4}},
        {{1, 4, 3, 2}, {1, 2, 3, 4}},
        {{3, 4, 1, 2}, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        TRect r = c.given;
        NormalizeRect(r);
        EXPECT_EQ(r, c.expected);
    }
}

TEST(TreeNodePointers, SortNodePointersOrdersTheRangeByUnsignedAddress) {
    struct TStandInNode {};
    auto at = [](uintptr_t address) { return reinterpret_cast<TStandInNode*>(address); };
    const uintptr_t high = uintptr_t(1) << (sizeof(uintptr_t) * 8 - 1);
    const struct {
        std::vector<uintptr_t> given;
        int first, last;
        std::vector<uintptr_t> expected;
    } cases[] = {
        {{0x10, 0x20, 0x30}, 0, 2, {0x10, 0x20, 0x30}},
        {{0x30, 0x20, 0x10}, 0, 2, {0x10, 0x20, 0x30}},
        {{high + 8, 0x40, high, 0x8}, 0, 3, {0x8, 0x40, high, high + 8}},
        {{0x50, 0x40, 0x30, 0x20, 0x10}, 1, 3, {0x50, 0x20, 0x30, 0x40, 0x10}},
        {{0x20, 0x10}, 1, 1, {0x20, 0x10}},
    };
    for (const auto& c : cases) {
        std::vector<TStandInNode*> nodes;
        for (const uintptr_t a : c.given) nodes.push_back(at(a));
        SortNodePointers(nodes.data(), c.first, c.last);
        std::vector<uintptr_t> sorted;
        for (const TStandInNode* n : nodes) sorted.push_back(reinterpret_cast<uintptr_t>(n));
        EXPECT_EQ(sorted, c.expected);
    }
}
