#include <vector>

#include "GraphicsFixture.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Icon.h"
#include "platform/win/icons/Icons.h"

namespace {

class FrameworkIconTest : public GraphicsTest {
protected:
    // Two images: 2x2 blue with a see-through top-right pixel, and 4x4 red.
    static std::vector<uint8_t> TwoSizes() {
        const TIconImage images[] = {IconImage(2, 2, {0xFF0000FF, 0, 0xFF0000FF, 0xFF0000FF}, {0, 1, 0, 0}),
                                     IconImage(4, 4, std::vector<uint32_t>(16, 0xFFFF0000), std::vector<uint8_t>(16, 0))};
        return WriteIcoFile(images);
    }
    static void Load(TIcon& icon, const std::vector<uint8_t>& file) {
        TMemoryStream stream;
        stream.WriteBuffer(file.data(), int64_t(file.size()));
        stream.SetPosition(0);
        icon.LoadFromStream(stream);
    }
};

TEST_F(FrameworkIconTest, LoadsTheFirstImageOrTheSizeAskedForAndDrawsTransparent) {
    TIcon icon;
    EXPECT_TRUE(icon.Transparent());
    Load(icon, TwoSizes());
    EXPECT_EQ(icon.Width(), 2);
    EXPECT_EQ(icon.Height(), 2);
    EXPECT_THROW(icon.SetWidth(4), EInvalidGraphicOperation);

    TDibDc target(4, 2);
    TCanvas canvas;
    canvas.SetHandle(target.dc);
    canvas.Draw(1, 0, &icon);
    EXPECT_EQ(target.Row(0, {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 255), 'b'}}), ".b..");
    EXPECT_EQ(target.Row(1, {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 255), 'b'}}), ".bb.");
    canvas.SetHandle(nullptr);

    TIcon large;
    large.SetSize(4, 4);
    Load(large, TwoSizes());
    EXPECT_EQ(large.Width(), 4);
}

TEST_F(FrameworkIconTest, SavesWhatItLoadsAndRefusesOtherData) {
    TIcon icon;
    Load(icon, TwoSizes());
    TMemoryStream saved;
    icon.SaveToStream(saved);
    TIcon again;
    Load(again, StreamBytes(saved));
    EXPECT_EQ(again.Width(), 2);
    TDibDc target(2, 2);
    DrawIconEx(target.dc, 0, 0, again.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(target.At(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(target.At(0, 1), RGB(0, 0, 255));

    TIcon copy;
    copy.Assign(&again);
    EXPECT_NE(copy.Handle(), again.Handle());
    EXPECT_EQ(copy.Height(), 2);

    EXPECT_THROW(Load(again, {1, 2, 3, 4, 5, 6}), EInvalidGraphic);
    EXPECT_EQ(again.Width(), 2); // kept
    DestroyIcon(again.ReleaseHandle());
    EXPECT_TRUE(again.Empty());
}

} // namespace
