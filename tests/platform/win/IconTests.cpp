#include "IconFixture.h"

#include "platform/win/icons/IcoFile.h"
#include "platform/win/icons/IconFiles.h"
#include "platform/win/input/Input.h"
#include "platform/win/window/Windows.h"

namespace {

// A 32-bit top-down DIB section holding Pixels (0xAARRGGBB).
HBITMAP Dib32(int width, int height, const std::vector<uint32_t>& pixels) {
    const HBITMAP bitmap = NewDibSection(width, -height, 32);
    DIBSECTION section{};
    GetObjectW(ToGdiObject(bitmap), sizeof section, &section);
    std::memcpy(section.dsBm.bmBits, pixels.data(), pixels.size() * 4);
    return bitmap;
}

// The stored pixels of a 32-bit top-down DIB section.
std::vector<uint32_t> Pixels32(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(ToGdiObject(bitmap), sizeof section, &section) != int(sizeof section) || section.dsBm.bmBitsPixel != 32 ||
        section.dsBmih.biHeight > 0)
        return {};
    const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + size_t(section.dsBm.bmWidth) * size_t(section.dsBm.bmHeight));
}

// A mask's rows as '0'/'1' strings.
std::vector<std::string> MaskRows(HBITMAP mask) {
    BITMAP bm{};
    GetObjectW(ToGdiObject(mask), sizeof bm, &bm);
    TBitmapDc dc(mask);
    std::vector<std::string> rows;
    for (int y = 0; y < bm.bmHeight; ++y) {
        std::string row;
        for (int x = 0; x < bm.bmWidth; ++x) row += GetPixel(dc.dc, x, y) ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

// An icon from colour pixels and mask rows; the caller destroys it.
HICON MakeIcon(int width, int height, const std::vector<uint32_t>& pixels, std::initializer_list<const char*> mask,
               POINT hot = {}, BOOL isIcon = TRUE) {
    const HBITMAP color = Dib32(width, height, pixels), maskBitmap = MonoBitmap(mask);
    ICONINFO info{isIcon, DWORD(hot.x), DWORD(hot.y), maskBitmap, color};
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(ToGdiObject(color));
    DeleteObject(ToGdiObject(maskBitmap));
    return icon;
}

std::vector<uint32_t> Row(TCanvas& canvas, int y, int from, int to) {
    std::vector<uint32_t> row;
    for (int x = from; x < to; ++x) row.push_back(canvas.At(x, y));
    return row;
}

constexpr uint32_t kIconBlue = 0x000000FF, kIconRed = 0x00FF0000, kIconGreen = 0x0000FF00, kIconWhite = 0x00FFFFFF;

TEST_F(IconTest, CreateIconIndirectCopiesTheBitmapsAndGetIconInfoGivesEqualPixels) {
    const std::vector<uint32_t> pixels{0x80FF0000, 0xFF00FF00, 0x00000000, 0x40102030};
    const HICON icon = MakeIcon(2, 2, pixels, {"00", "11"}, POINT{1, 0}, FALSE);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 1u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(Pixels32(info.hbmColor), pixels);
    EXPECT_EQ(MaskRows(info.hbmMask), (std::vector<std::string>{"00", "11"}));
    BITMAP mask{};
    GetObjectW(ToGdiObject(info.hbmMask), sizeof mask, &mask);
    EXPECT_EQ(mask.bmBitsPixel, 1);
    DeleteObject(ToGdiObject(info.hbmColor));
    DeleteObject(ToGdiObject(info.hbmMask));
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST_F(IconTest, AColourBitmapOfFewerBitsComesBackAs32BitsWithoutAlpha) {
    const HBITMAP color = NewDibSection(2, -1, 24);
    {
        TBitmapDc dc(color);
        SetPixel(dc.dc, 0, 0, RGB(1, 2, 3));
        SetPixel(dc.dc, 1, 0, RGB(250, 251, 252));
    }
    const HBITMAP mask = MonoBitmap({"01"});
    ICONINFO given{TRUE, 0, 0, mask, color};
    const HICON icon = CreateIconIndirect(&given);
    DeleteObject(ToGdiObject(color));
    DeleteObject(ToGdiObject(mask));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_EQ(Pixels32(info.hbmColor), (std::vector<uint32_t>{0x010203, 0xFAFBFC}));
    DeleteObject(ToGdiObject(info.hbmColor));
    DeleteObject(ToGdiObject(info.hbmMask));
    DestroyIcon(icon);
}

// Four pixels over blue: colour with alpha draws by it; without, mask 1 keeps
// the blue and a non-black colour there inverts it.
TEST_F(IconTest, DrawIconExDrawsByAlphaOrByTheMaskRule) {
    const std::vector<uint32_t> alpha{0x80FF0000, 0xFF00FF00, 0x00000000, 0x00FFFFFF};
    const std::vector<uint32_t> opaque{kIconRed, kIconGreen, 0x000000, kIconWhite};
    struct Case {
        const char* what;
        const std::vector<uint32_t>* pixels;
        UINT flags;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"alpha, normal", &alpha, DI_NORMAL, {0x8080007F, 0xFF00FF00, kIconBlue, kIconBlue}},
        {"alpha, image", &alpha, DI_IMAGE, {0x8080007F, 0xFF00FF00, kIconBlue, kIconBlue}},
        {"alpha, mask", &alpha, DI_MASK, {0, 0, kIconWhite, kIconWhite}},
        {"mask rule, normal", &opaque, DI_NORMAL, {kIconRed, kIconGreen, kIconBlue, 0xFFFF00}},
        {"mask rule, image", &opaque, DI_IMAGE, {kIconRed, kIconGreen, 0, kIconWhite}},
        {"mask rule, mask", &opaque, DI_MASK, {0, 0, kIconWhite, kIconWhite}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HICON icon = MakeIcon(4, 1, *c.pixels, {"0011"});
        TCanvas canvas(6, 1);
        canvas.Fill(kIconBlue);
        EXPECT_TRUE(DrawIconEx(canvas.dc, 1, 0, icon, 0, 0, 0, nullptr, c.flags));
        EXPECT_EQ(Row(canvas, 0, 1, 5), c.expected);
        EXPECT_EQ(canvas.At(0, 0), kIconBlue);
        EXPECT_EQ(canvas.At(5, 0), kIconBlue);
        DestroyIcon(icon);
    }
}

TEST_F(IconTest, DrawIconExStretchesFillsTheFlickerFreeBrushFirstAndTakesTheSystemSize) {
    const HICON icon = MakeIcon(2, 1, {kIconRed, 0}, {"01"});
    TCanvas canvas(40, 40);
    canvas.Fill(kIconBlue);
    const HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, icon, 4, 2, 0, white, DI_NORMAL));
    for (int y = 0; y < 2; ++y) EXPECT_EQ(Row(canvas, y, 0, 5), (std::vector<uint32_t>{kIconRed, kIconRed, kIconWhite, kIconWhite, kIconBlue}));
    EXPECT_EQ(canvas.At(0, 2), kIconBlue);
    DeleteObject(ToGdiObject(white));

    canvas.Fill(kIconBlue);
    EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, icon));
    EXPECT_EQ(canvas.At(15, 31), kIconRed);
    EXPECT_EQ(canvas.At(16, 0), kIconBlue);
    EXPECT_EQ(canvas.At(0, 32), kIconBlue);
    DestroyIcon(icon);
}

// AND rows over XOR rows: black, white, what lies beneath, and its inverse.
TEST_F(IconTest, AMonochromeCursorDrawsBlackWhiteTransparentAndInverted) {
    const HBITMAP mask = MonoBitmap({"00", "11", "01", "01"});
    ICONINFO given{FALSE, 1, 1, mask, nullptr};
    const HCURSOR cursor = reinterpret_cast<HCURSOR>(CreateIconIndirect(&given));
    DeleteObject(ToGdiObject(mask));
    ASSERT_NE(cursor, nullptr);
    TCanvas canvas(2, 2);
    canvas.Fill(kIconBlue);
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, reinterpret_cast<HICON>(cursor), 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(Row(canvas, 0, 0, 2), (std::vector<uint32_t>{0, kIconWhite}));
    EXPECT_EQ(Row(canvas, 1, 0, 2), (std::vector<uint32_t>{kIconBlue, 0xFFFF00}));

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(cursor), &info));
    EXPECT_EQ(info.hbmColor, nullptr);
    EXPECT_EQ(MaskRows(info.hbmMask), (std::vector<std::string>{"00", "11", "01", "01"}));
    DeleteObject(ToGdiObject(info.hbmMask));

    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    POINT hot{};
    ASSERT_TRUE(CursorPixels(cursor, width, height, pixels, hot));
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF, 0, 0xFF000000}));
    EXPECT_EQ(hot.x, 1);
    EXPECT_TRUE(DestroyCursor(cursor));
}

TEST_F(IconTest, DestroyedAndUnknownHandlesAreRefused) {
    const HICON icon = MakeIcon(1, 1, {kIconRed}, {"0"});
    const HICON copy = CopyIcon(icon);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    TCanvas canvas(1, 1);
    EXPECT_FALSE(DrawIconEx(canvas.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_FALSE(DrawIconEx(canvas.dc, 0, 0, nullptr, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(CopyIcon(nullptr), nullptr);
    // The copy lives on.
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(canvas.At(0, 0), kIconRed);
    EXPECT_TRUE(DestroyIcon(copy));
}

// --- The ICO and CUR reader ---------------------------------------------------

struct DecodeCase {
    const char* what;
    TIcoImage image;
    std::vector<uint32_t> colors; // decoded, top row first
    std::vector<uint8_t> mask;
    bool alpha;
};

TEST(IcoReaderTest, DecodesEveryDepthWithItsMask) {
    const RGBQUAD black{0, 0, 0, 0}, steel{30, 20, 10, 0}, red{0, 0, 255, 0};
    const DecodeCase cases[] = {
        {"1 bit", {2, 2, 1, {black, steel}, {0, 1, 1, 0}, {0, 1, 0, 0}}, {0, 0x0A141E, 0x0A141E, 0}, {0, 1, 0, 0}, false},
        {"4 bits, an index past the table reads black",
         {3, 1, 4, {steel, red}, {1, 0, 5}, {0, 0, 1}}, {0xFF0000, 0x0A141E, 0}, {0, 0, 1}, false},
        {"8 bits", {2, 1, 8, {black, red, steel}, {2, 1}, {1, 0}}, {0x0A141E, 0xFF0000}, {1, 0}, false},
        {"16 bits, five per channel", {3, 1, 16, {}, {0x7C00, 0x03E0, 0x0010}, {0, 0, 0}}, {0xFF0000, 0x00FF00, 0x000084},
         {0, 0, 0}, false},
        {"24 bits", {2, 1, 24, {}, {0x123456, 0xABCDEF}, {0, 1}}, {0x123456, 0xABCDEF}, {0, 1}, false},
        {"32 bits with alpha", {2, 1, 32, {}, {0x80123456, 0}, {0, 1}}, {0x80123456, 0}, {0, 1}, true},
        {"32 bits without alpha", {2, 1, 32, {}, {0x123456, 0}, {0, 1}}, {0x123456, 0}, {0, 1}, false},
        {"32 bits without mask rows: the alpha says", {2, 1, 32, {}, {0xFF123456, 0x00FFFFFF}, {}}, {0xFF123456, 0x00FFFFFF},
         {0, 1}, true},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> file = MakeIco({c.image});
        TIcoDirectory directory;
        ASSERT_TRUE(ReadIcoDirectory(file, directory));
        ASSERT_EQ(directory.entries.size(), 1u);
        TIconImage image;
        ASSERT_TRUE(DecodeIcoEntry(directory.entries[0], image));
        EXPECT_EQ(image.width, c.image.width);
        EXPECT_EQ(image.height, c.image.height);
        EXPECT_EQ(image.color, c.colors);
        EXPECT_EQ(image.mask, c.mask);
        EXPECT_EQ(image.alpha, c.alpha);
    }
}

TEST(IcoReaderTest, RefusesWhatItCannotRead) {
    const TIcoImage good{2, 1, 24, {}, {1, 2}, {0, 0}};
    std::vector<uint8_t> png = MakeIco({good});
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::memcpy(png.data() + 22, signature, sizeof signature);
    std::vector<uint8_t> cut = MakeIco({good});
    cut.resize(cut.size() - 8);
    std::vector<uint8_t> twoBits = MakeIco({good});
    twoBits[22 + 14] = 2;
    TIcoDirectory directory;
    TIconImage image;
    for (const auto& [what, file] : {std::pair{"PNG entry", png}, std::pair{"colour rows cut", cut},
                                     std::pair{"2 bits a pixel", twoBits}}) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(ReadIcoDirectory(file, directory));
        // An entry whose data runs past the file is left out of the directory.
        EXPECT_TRUE(directory.entries.empty() || !DecodeIcoEntry(directory.entries[0], image));
    }
    std::vector<uint8_t> noImages = MakeIco({good});
    noImages[4] = 0;
    std::vector<uint8_t> otherKind = MakeIco({good});
    otherKind[2] = 3;
    EXPECT_FALSE(ReadIcoDirectory(noImages, directory));
    EXPECT_FALSE(ReadIcoDirectory(otherKind, directory));
    EXPECT_FALSE(ReadIcoDirectory(std::vector<uint8_t>(10, 0), directory));
}

// --- Resources ----------------------------------------------------------------

TIcoImage Square(int side, int bpp, uint32_t pixel) {
    return TIcoImage{side, side, bpp, {}, std::vector<uint32_t>(size_t(side * side), pixel),
                     std::vector<uint8_t>(size_t(side * side), 0)};
}

class IconResourceTest : public IconTest {
protected:
    static void SetUpTestSuite() {
        AddTestResource(u"ICON", u"TWOSIZES", MakeIco({Square(16, 32, 0xFFFF0000), Square(32, 24, kIconBlue)}));
        AddTestResource(u"ICON", u"#7", MakeIco({Square(16, 24, kIconGreen)}));
        TIcoImage cursor = Square(32, 24, kIconWhite);
        cursor.hotSpot = POINT{6, 10};
        AddTestResource(u"CURSOR", u"HOTCURSOR", MakeIco({cursor}, true));
    }
    static uint32_t FirstPixel(HICON icon) {
        const TIconObject* object = FindIcon(icon);
        return object ? object->image.color[0] : 0xDEADBEEF;
    }
    static int Width(HICON icon) {
        const TIconObject* object = FindIcon(icon);
        return object ? object->image.width : -1;
    }
};

TEST_F(IconResourceTest, AnIconResourceLoadsEachOfItsSizes) {
    const auto load = [](int side, UINT flags = 0) {
        return static_cast<HICON>(LoadImageW(nullptr, u"TwoSizes", IMAGE_ICON, side, side, flags));
    };
    struct Case {
        int asked;
        UINT flags;
        int width;
        uint32_t pixel;
    } cases[] = {
        {16, 0, 16, 0xFFFF0000}, {32, 0, 32, kIconBlue},
        {0, 0, 16, 0xFFFF0000},            // the first image's size
        {0, LR_DEFAULTSIZE, 32, kIconBlue},    // the system size
        {24, 0, 24, kIconBlue},                // the next larger image, stretched
        {40, 0, 40, kIconBlue},                // the largest one, stretched
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        const HICON icon = load(c.asked, c.flags);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(Width(icon), c.width);
        EXPECT_EQ(FirstPixel(icon), c.pixel);
        EXPECT_TRUE(DestroyIcon(icon));
    }
}

TEST_F(IconResourceTest, LoadIconSharesOneIconPerResourceAndNumbersNameResources) {
    const HICON icon = LoadIconW(nullptr, u"twosizes");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, u"TWOSIZES"), icon);
    EXPECT_EQ(Width(icon), 32);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(Width(icon), 32); // still there

    const HICON numbered = LoadIconW(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), MAKEINTRESOURCEW(7));
    EXPECT_EQ(FirstPixel(numbered), kIconGreen);

    SetLastError(0);
    EXPECT_EQ(LoadIconW(nullptr, u"NoSuchIcon"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadImageW(nullptr, u"TwoSizes", IMAGE_CURSOR, 0, 0, 0), nullptr);
}

TEST_F(IconResourceTest, ACursorResourceKeepsItsHotSpot) {
    const HCURSOR cursor = LoadCursorW(nullptr, u"HotCursor");
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(cursor), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 10u);
    DeleteObject(ToGdiObject(info.hbmColor));
    DeleteObject(ToGdiObject(info.hbmMask));
    EXPECT_EQ(LoadCursorW(nullptr, u"HotCursor"), cursor);

    // Scaled with the picture.
    const auto half = static_cast<HCURSOR>(LoadImageW(nullptr, u"HotCursor", IMAGE_CURSOR, 16, 16, 0));
    EXPECT_EQ(FindCursor(half)->hotSpot.x, 3);
    EXPECT_EQ(FindCursor(half)->hotSpot.y, 5);
    EXPECT_TRUE(DestroyCursor(half));

    // Standard cursors stay markers.
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HCURSOR>(uintptr_t{32512}));
    EXPECT_EQ(FindCursor(LoadCursorW(nullptr, IDC_ARROW)), nullptr);
}

TEST_F(IconResourceTest, TheStockIconsAreOurOwnArtworkWithAlpha) {
    for (LPCWSTR id : {IDI_APPLICATION, IDI_ERROR, IDI_QUESTION, IDI_WARNING, IDI_INFORMATION}) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(id));
        const HICON icon = LoadIconW(nullptr, id);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(LoadIconW(nullptr, id), icon);
        const TIconObject& object = *FindIcon(icon);
        EXPECT_EQ(object.image.width, 32);
        EXPECT_TRUE(object.image.alpha);
        EXPECT_EQ(object.image.Color(16, 16) >> 24, 255u);
        EXPECT_EQ(object.image.Color(0, 0) >> 24, 0u);
        EXPECT_EQ(object.image.Mask(0, 0), 1);
        EXPECT_EQ(object.image.Mask(16, 16), 0);
        const auto small = static_cast<HICON>(LoadImageW(nullptr, id, IMAGE_ICON, 16, 16, 0));
        EXPECT_EQ(Width(small), 16);
        DestroyIcon(small);
    }
    const HANDLE bitmap = LoadImageW(nullptr, MAKEINTRESOURCEW(OBM_COMBO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(bitmap)), OBJ_BITMAP);
    DeleteObject(static_cast<HGDIOBJ>(bitmap));
}


TEST_F(IconTest, IcoFilesBecomeIconsOfTheSizeAskedForAndIconsBecomeIcoFiles) {
    const std::vector<uint8_t> file =
        MakeIco({TIcoImage{2, 2, 32, {}, {0xFF0000FF, 0, 0xFF0000FF, 0xFF0000FF}, {0, 1, 0, 0}},
                 TIcoImage{4, 4, 32, {}, std::vector<uint32_t>(16, 0xFFFF0000), std::vector<uint8_t>(16, 0)}});
    const struct {
        int width, height;
        int expectedWidth;
        uint32_t firstPixel;
    } cases[] = {{0, 0, 2, 0xFF0000FF}, {4, 4, 4, 0xFFFF0000}, {8, 8, 8, 0xFFFF0000}, {2, 2, 2, 0xFF0000FF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const HICON icon = ReadIconFile(file, c.width, c.height);
        ASSERT_NE(icon, nullptr);
        const TIconObject* object = FindIcon(icon);
        EXPECT_EQ(object->image.width, c.expectedWidth);
        EXPECT_EQ(object->image.Color(0, 0), c.firstPixel);

        const std::vector<uint8_t> written = WriteIconFile(icon);
        const HICON again = ReadIconFile(written, 0, 0);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(FindIcon(again)->image.color, object->image.color);
        EXPECT_EQ(FindIcon(again)->image.mask, object->image.mask);
        DestroyIcon(again);
        DestroyIcon(icon);
    }
    EXPECT_EQ(ReadIconFile(std::vector<uint8_t>(6, 0), 0, 0), nullptr);
    EXPECT_EQ(ReadIconFile(MakeIco({TIcoImage{2, 2, 32, {}, std::vector<uint32_t>(4, 0), {}, {5, 5}}}, true), 0, 0),
              nullptr); // a cursor file
    EXPECT_TRUE(WriteIconFile(nullptr).empty());
}

} // namespace
