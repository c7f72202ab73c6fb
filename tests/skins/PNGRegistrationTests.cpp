// The skin library's start-up registers the PNG decoder for ".png" picture
// files, so TPicture reaches it by file name; its shut-down removes it again.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "PngOracle.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/graphics/Picture.h"
#include "platform/ui/graphics/PictureFormats.h"
#include "skins/PNGGraphic.h"
#include "skins/SkinsUnits.h"

namespace {

TEST(PNGRegistration, PicturesLoadPngFilesUntilTheUnitsFinish) {
    const std::string path = std::string(std::getenv("OSTREL_HOME")) + "/a.PNG";
    const std::vector<uint8_t> file = WritePng({.width = 3, .height = 2, .colorType = 6, .depth = 8});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    const String fileName = String::FromUtf8(path);

    TUnitRegistry units;
    RegisterUiUnits(units);
    RegisterSkinsUnits(units);
    units.Initialize();
    TPicture picture;
    picture.LoadFromFile(fileName);
    ASSERT_NE(dynamic_cast<TPNGGraphic*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    const String filter = GraphicFilter(TGraphic::StaticClass());
    EXPECT_NE(filter.find(u"|Portable network graphics (Plumewright) (*.png)|*.png"), String::npos) << filter.ToUtf8();
    units.Finalize();

    EXPECT_EQ(GraphicClassOfExtension(u".png"), nullptr);
    TPicture after;
    EXPECT_THROW(after.LoadFromFile(fileName), EInvalidGraphic);
    EXPECT_EQ(after.Graphic(), nullptr);
}

} // namespace
