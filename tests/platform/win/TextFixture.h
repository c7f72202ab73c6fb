#pragma once
// Text tests: a white 32-bit canvas with black transparent text in the
// built-in test face, and helpers that find the ink.

#include <string>

#include "GdiFixture.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/Text.h"

inline LOGFONTW LogFont(const char16_t* face, LONG height = -12, LONG escapement = 0) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lf.lfWeight = FW_NORMAL;
    std::u16string_view name(face);
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    return lf;
}

class TextTest : public GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        fonts_ = GdiLiveObjects(OBJ_FONT);
    }
    void TearDown() override {
        EXPECT_EQ(GdiLiveObjects(OBJ_FONT), fonts_) << "fonts leaked";
        GdiTest::TearDown();
    }

private:
    size_t fonts_ = 0;
};

constexpr uint32_t kWhite = 0x00FFFFFF;

// A white canvas with a font selected and black text on a transparent background.
struct TTextCanvas : TCanvas {
    TTextCanvas(int w, int h, const LOGFONTW& lf = LogFont(kTestFaceName), int bpp = 32) : TCanvas(w, h, bpp) {
        font = CreateFontIndirectW(&lf);
        oldFont = SelectObject(dc, ToGdiObject(font));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        Clear();
    }
    ~TTextCanvas() {
        SelectObject(dc, oldFont);
        DeleteObject(ToGdiObject(font));
    }
    void Clear() {
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    bool Ink(int x, int y) const { return Pixel(x, y) != RGB(255, 255, 255); }
    // The bounds of every pixel that is not white; empty when there are none.
    RECT InkBox() const {
        RECT box{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Ink(x, y)) {
                    box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1), box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box.left < box.right ? box : RECT{};
    }
    // Row Y as '#' (ink) and '.' (white).
    std::string Row(int y) const {
        std::string row;
        for (int x = 0; x < width; ++x) row += Ink(x, y) ? '#' : '.';
        return row;
    }

    HFONT font;
    HGDIOBJ oldFont;
};
