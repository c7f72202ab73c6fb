#include "../ControlFixture.h"
#include "../DibFixture.h"

#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/stdctrls/Image.h"
#include "platform/ui/stdctrls/Panel.h"

namespace {

class ImageTest : public FormTest {
protected:
    // A 100 x 100 image on a silver face, showing a red W x H bitmap.
    TImage* AddImage(int width, int height) {
        auto* image = new TImage(form);
        image->SetBounds(10, 10, 100, 100);
        image->SetParent(host);
        TBitmap bitmap;
        bitmap.SetSize(width, height);
        bitmap.Canvas()->Brush()->SetColor(clRed);
        bitmap.Canvas()->FillRect({0, 0, width, height});
        image->Picture()->SetBitmap(&bitmap);
        return image;
    }
    // The host's pixel at the image's client point.
    COLORREF PaintedAt(TImage* image, int x, int y) {
        TDibDc dib(host->Width(), host->Height());
        host->PaintTo(dib.dc, 0, 0);
        return dib.At(image->Left() + x, image->Top() + y);
    }

    TForm* form = ShownForm({100, 100, 400, 400});
    TPanel* host = [this] {
        auto* panel = new TPanel(form);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(clSilver);
        panel->SetAlign(alClient);
        panel->SetParent(form);
        return panel;
    }();
};

// Where a picture lands in a 100 x 100 image, by Stretch, Proportional and Center.
TEST_F(ImageTest, TheDestinationFollowsStretchProportionalAndCenter) {
    struct TCase {
        const char* name;
        int width, height;
        bool stretch, proportional, center;
        TRect expected;
    } const cases[] = {
        {"own size in the corner", 40, 20, false, false, false, {0, 0, 40, 20}},
        {"centred", 40, 20, false, false, true, {30, 40, 70, 60}},
        {"stretched", 40, 20, true, false, false, {0, 0, 100, 100}},
        {"stretched keeping the aspect, wide", 40, 20, true, true, false, {0, 0, 100, 50}},
        {"stretched keeping the aspect, tall, centred", 20, 40, true, true, true, {25, 0, 75, 100}},
        {"proportional shrinks a larger picture", 400, 100, false, true, false, {0, 0, 100, 25}},
        {"proportional leaves a smaller one", 40, 20, false, true, false, {0, 0, 40, 20}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TImage* image = AddImage(c.width, c.height);
        image->SetStretch(c.stretch);
        image->SetProportional(c.proportional);
        image->SetCenter(c.center);
        EXPECT_EQ(image->DestRect(), c.expected);
        delete image;
    }
}

TEST_F(ImageTest, PaintsThePictureWhereItLandsAndLeavesTheRestToTheParent) {
    TImage* image = AddImage(40, 20);
    image->SetCenter(true);
    EXPECT_FALSE(image->ControlStyle().Contains(csOpaque));
    EXPECT_EQ(PaintedAt(image, 50, 50), ColorToRGB(clRed));
    EXPECT_EQ(PaintedAt(image, 5, 5), ColorToRGB(clSilver));
    image->SetStretch(true);
    EXPECT_TRUE(image->ControlStyle().Contains(csOpaque)) << "a picture covering the control hides the parent";
    EXPECT_EQ(PaintedAt(image, 5, 5), ColorToRGB(clRed));
}

TEST_F(ImageTest, AutoSizeTakesThePicturesSize) {
    TImage* image = AddImage(40, 20);
    image->SetAutoSize(true);
    EXPECT_EQ(image->BoundsRect(), (TRect{10, 10, 50, 30}));
    TBitmap larger;
    larger.SetSize(64, 48);
    image->Picture()->SetBitmap(&larger);
    EXPECT_EQ(image->BoundsRect(), (TRect{10, 10, 74, 58}));
}

TEST_F(ImageTest, TransparentReachesTheGraphic) {
    TImage* image = AddImage(40, 20);
    image->SetTransparent(true);
    EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
    image->SetTransparent(false);
    EXPECT_FALSE(image->Picture()->Graphic()->Transparent());
}

} // namespace
