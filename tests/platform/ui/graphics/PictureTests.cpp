#include <cstdlib>
#include <string>
#include <vector>

#include "GraphicsFixture.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/Icon.h"
#include "platform/ui/graphics/Picture.h"

// A decoder of its own format: reports its progress and makes a 4x2 bitmap.
class TTstBitmap : public TBitmap {
    RTL_CLASS(TTstBitmap, TBitmap);

public:
    void LoadFromStream(TStream&) override {
        Progress(psStarting, 0, false, TRect{0, 0, 4, 1}, u"Preparing...");
        SetSize(4, 2);
        Progress(psRunning, 50, true, TRect{0, 1, 4, 2}, u"");
        Progress(psEnding, 100, false, TRect{0, 0, 4, 2}, u"");
    }
};
RTL_PUBLISHED_NONE(TTstBitmap);

namespace {

class PictureTest : public GraphicsTest {
protected:
    void TearDown() override {
        UnregisterGraphicClass(TTstBitmap::StaticClass());
        GraphicsTest::TearDown();
    }
    static String HomeFile(const char* name) { return String(std::string(std::getenv("OSTREL_HOME")) + "/" + name); }
    static void WriteFile(const String& fileName, const char* text) {
        TFileStream file(fileName, fmCreate);
        file.WriteBuffer(text, int64_t(std::char_traits<char>::length(text)));
    }
};

TEST_F(PictureTest, LoadsAFileThroughTheClassRegisteredForItsExtensionIgnoringCase) {
    RegisterFileFormat(u"tst", u"Test pictures", TTstBitmap::StaticClass());
    const String fileName = HomeFile("a.TST");
    WriteFile(fileName, "whatever");

    TPicture picture;
    std::vector<TProgressStage> stages;
    std::vector<int> percents;
    picture.OnProgress = [&](TObject* sender, TProgressStage stage, uint8_t percent, bool, const TRect&,
                             const String&) {
        EXPECT_EQ(sender, picture.Graphic() ? picture.Graphic() : sender);
        stages.push_back(stage);
        percents.push_back(percent);
    };
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(fileName);

    ASSERT_NE(dynamic_cast<TTstBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(stages, (std::vector<TProgressStage>{psStarting, psRunning, psEnding}));
    EXPECT_EQ(percents, (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_EQ(changes, 1);
    picture.Bitmap()->SetSize(5, 5); // a test graphic is a bitmap: kept, and its changes reach the picture
    EXPECT_NE(dynamic_cast<TTstBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(changes, 2);
}

TEST_F(PictureTest, UnknownExtensionsRaiseAndLeaveThePictureAsItWas) {
    TPicture picture;
    picture.Bitmap()->SetSize(2, 2);
    for (const char* name : {"picture.xyz", "no-extension"}) {
        SCOPED_TRACE(name);
        try {
            picture.LoadFromFile(HomeFile(name));
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message().ToUtf8(), std::string(name) == "picture.xyz"
                                                ? "Unknown picture file extension (.xyz)"
                                                : "Unknown picture file extension (.)");
        }
    }
    EXPECT_EQ(picture.Width(), 2);
    // A known extension with malformed data.
    const String fileName = HomeFile("broken.bmp");
    WriteFile(fileName, "BM not really");
    EXPECT_THROW(picture.LoadFromFile(fileName), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 2);
}

TEST_F(PictureTest, FiltersListEveryRegisteredFormatOfTheClass) {
    EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
              String("All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico"));
    RegisterFileFormat(u".TST", u"Test pictures", TTstBitmap::StaticClass());
    EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
              String("All (*.bmp;*.ico;*.tst)|*.bmp;*.ico;*.tst|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
                     "Test pictures (*.tst)|*.tst"));
    EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()),
              String("All (*.bmp;*.tst)|*.bmp;*.tst|Bitmaps (*.bmp)|*.bmp|Test pictures (*.tst)|*.tst"));
    EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), String("ico"));
    EXPECT_EQ(GraphicFileMask(TTstBitmap::StaticClass()), String("*.tst"));
    EXPECT_EQ(GraphicClassOfExtension(u".Tst"), TTstBitmap::StaticClass());

    UnregisterGraphicClass(TTstBitmap::StaticClass());
    EXPECT_EQ(GraphicClassOfExtension(u"tst"), nullptr);
    EXPECT_EQ(GraphicClassOfExtension(u"bmp"), TBitmap::StaticClass());
    EXPECT_THROW(RegisterFileFormat(u"pic", u"Pictures", TPicture::StaticClass()), EInvalidOperation);
}

TEST_F(PictureTest, SavedBitmapsLoadBackAsBitmaps) {
    TPicture picture;
    picture.Bitmap()->SetPixelFormat(pf24bit);
    picture.Bitmap()->SetSize(3, 2);
    picture.Bitmap()->Canvas()->SetPixel(2, 1, clRed);
    const String fileName = HomeFile("saved.bmp");
    picture.SaveToFile(fileName);

    TPicture loaded;
    loaded.LoadFromFile(fileName);
    ASSERT_NE(dynamic_cast<TBitmap*>(loaded.Graphic()), nullptr);
    EXPECT_EQ(loaded.Bitmap()->Canvas()->Pixel(2, 1), clRed);

    // Assigning copies the graphic; asking for an icon replaces the bitmap by an empty icon.
    TPicture copy;
    copy.Assign(&loaded);
    ASSERT_NE(copy.Graphic(), loaded.Graphic());
    EXPECT_EQ(copy.Width(), 3);
    TBitmap bitmap;
    bitmap.Assign(&copy);
    EXPECT_EQ(bitmap.Canvas()->Pixel(2, 1), clRed);
    EXPECT_TRUE(copy.Icon()->Empty());
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Graphic(), nullptr);
}

} // namespace
