// Real faces through Qt: structure only (ink, widths, fallback), never exact pixels.
#include <QFontDatabase>

#include "platform/win/TextFixture.h"
#include "platform/win/backend/qt/QtFontEngine.h"

namespace {

class QtFontTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        InstallQtFontEngine();
    }
    void TearDown() override {
        SetFontEngine(nullptr);
        TextTest::TearDown();
    }
};

std::u16string Face(HDC dc) {
    char16_t name[LF_FACESIZE * 2];
    GetTextFaceW(dc, int(std::size(name)), name);
    return name;
}

int InkIn(const TTextCanvas& canvas, int left, int right) {
    int ink = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = left; x < right; ++x) ink += canvas.Ink(x, y);
    return ink;
}

LOGFONTW GuiFont() {
    LOGFONTW lf;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf;
}

TEST_F(QtFontTest, TheInterfaceFontDrawsAndMeasuresChinese) {
    TTextCanvas canvas(80, 30, GuiFont());
    EXPECT_NE(Face(canvas.dc).find(u"WenQuanYi"), std::u16string::npos) << String(Face(canvas.dc)).ToUtf8();
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc, u"文件", 2, &size));
    EXPECT_GT(size.cx, 12);
    EXPECT_GT(size.cy, 12);
    TextOutW(canvas.dc, 2, 2, u"文件", 2);
    const RECT ink = canvas.InkBox();
    ASSERT_LT(ink.left, ink.right);
    EXPECT_GE(ink.left, 2);
    EXPECT_LE(ink.right, 2 + size.cx + 1);
    EXPECT_LE(ink.bottom, 2 + size.cy);

    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GE(tm.tmInternalLeading, 0);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 12); // the em height asked for
}

TEST_F(QtFontTest, MixedScriptsRenderBothParts) {
    TTextCanvas canvas(200, 30, GuiFont());
    const char16_t text[] = u"转换 test 中文";
    const int n = int(std::size(text)) - 1;
    std::vector<int> dx(size_t(n), 0);
    SIZE size;
    ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text, n, 0, nullptr, dx.data(), &size));
    TextOutW(canvas.dc, 0, 2, text, n);
    EXPECT_GT(InkIn(canvas, 0, dx[1]), 10) << "转换";
    EXPECT_GT(InkIn(canvas, dx[2], dx[6]), 10) << "test";
    EXPECT_GT(InkIn(canvas, dx[7], dx[9]), 10) << "中文";
    for (int i = 1; i < n; ++i) EXPECT_GT(dx[size_t(i)], dx[size_t(i - 1)]);
}

TEST_F(QtFontTest, WindowsInterfaceNamesAndUnknownNamesResolveToTheInterfaceFamily) {
    TTextCanvas gui(10, 10, GuiFont());
    const std::u16string interfaceFamily = Face(gui.dc);
    for (const char16_t* name : {u"Tahoma", u"MS Sans Serif", u"宋体", u"SimSun", u"", u"No Such Family Here"}) {
        TTextCanvas canvas(10, 10, LogFont(name));
        EXPECT_EQ(Face(canvas.dc), interfaceFamily) << String(name).ToUtf8();
    }
}

TEST_F(QtFontTest, BoldTahomaAtSixteenPixelsIsTheInterfaceFamilyInBold) {
    LOGFONTW lf = LogFont(u"Tahoma", -16);
    TTextCanvas regular(120, 30, lf);
    lf.lfWeight = FW_BOLD;
    TTextCanvas bold(120, 30, lf);
    TTextCanvas gui(10, 10, GuiFont());
    EXPECT_EQ(Face(bold.dc), Face(gui.dc));
    TEXTMETRICW tm;
    GetTextMetricsW(bold.dc, &tm);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);
    TextOutW(regular.dc, 0, 0, u"标题 Title", 8);
    TextOutW(bold.dc, 0, 0, u"标题 Title", 8);
    EXPECT_GT(InkIn(bold, 0, 120), InkIn(regular, 0, 120) * 11 / 10);
}

TEST_F(QtFontTest, CharactersTheFaceLacksComeFromAnotherFace) {
    if (!QFontDatabase::hasFamily("DejaVu Sans")) GTEST_SKIP() << "DejaVu Sans is not installed";
    TTextCanvas canvas(100, 30, LogFont(u"DejaVu Sans"));
    EXPECT_EQ(Face(canvas.dc), u"DejaVu Sans");
    SIZE size;
    GetTextExtentPoint32W(canvas.dc, u"中文", 2, &size);
    EXPECT_GT(size.cx, 12);
    TextOutW(canvas.dc, 0, 2, u"中文", 2);
    EXPECT_GT(InkIn(canvas, 0, size.cx), 20);
}

TEST_F(QtFontTest, NonAntialiasedQualityDrawsWithoutGreys) {
    LOGFONTW lf = GuiFont();
    auto greys = [](const TTextCanvas& canvas) {
        int count = 0;
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                const COLORREF c = canvas.Pixel(x, y);
                count += c != RGB(0, 0, 0) && c != RGB(255, 255, 255);
            }
        return count;
    };
    TTextCanvas smooth(100, 30, lf);
    lf.lfQuality = NONANTIALIASED_QUALITY;
    TTextCanvas sharp(100, 30, lf);
    TextOutW(smooth.dc, 0, 2, u"转换 Aa", 5);
    TextOutW(sharp.dc, 0, 2, u"转换 Aa", 5);
    EXPECT_GT(greys(smooth), 0);
    EXPECT_EQ(greys(sharp), 0);
    EXPECT_GT(InkIn(sharp, 0, 100), 20);
}

TEST_F(QtFontTest, TheBuiltInFacesStayWithTheEngineInstalled) {
    TTextCanvas canvas(40, 20);
    EXPECT_EQ(Face(canvas.dc), kTestFaceName);
    SIZE size;
    GetTextExtentPoint32W(canvas.dc, u"a中", 2, &size);
    EXPECT_EQ(size, (SIZE{24, 16}));
    TTextCanvas symbol(13, 13, LogFont(kSymbolFaceName, -13));
    EXPECT_EQ(Face(symbol.dc), kSymbolFaceName);
}

TEST_F(QtFontTest, RotatedRealTextClimbsFromTheReferencePoint) {
    LOGFONTW lf = GuiFont();
    lf.lfEscapement = lf.lfOrientation = 900;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    TTextCanvas canvas(40, 80, lf);
    TextOutW(canvas.dc, 5, 75, u"转换文件", 4);
    const RECT ink = canvas.InkBox();
    ASSERT_LT(ink.top, ink.bottom);
    EXPECT_LE(ink.bottom, 76);
    EXPECT_LT(ink.top, 75 - 36); // four ideographs upward
    EXPECT_LT(ink.right - ink.left, 20);
}

} // namespace
