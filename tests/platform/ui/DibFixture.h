#pragma once
// Framework drawing tests: a white 32-bit DIB section in a memory DC, and a
// check that every test gives back the drawing-layer objects it made.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"

class GdiObjectsTest : public ::testing::Test {
protected:
    static constexpr DWORD kKinds[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_MEMDC};
    void SetUp() override {
        for (DWORD kind : kKinds) baseline_.push_back(GdiLiveObjects(kind));
    }
    void TearDown() override {
        for (size_t i = 0; i < std::size(kKinds); ++i)
            EXPECT_EQ(GdiLiveObjects(kKinds[i]), baseline_[i]) << "objects of kind " << kKinds[i] << " leaked";
    }

private:
    std::vector<size_t> baseline_;
};

struct TDibDc {
    TDibDc(int width, int height) : width(width), height(height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = NewDibSection(width, -height, 32);
        old = SelectObject(dc, ToGdiObject(bitmap));
        Fill(RGB(255, 255, 255));
    }
    ~TDibDc() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(ToGdiObject(bitmap));
    }
    TDibDc(const TDibDc&) = delete;
    TDibDc& operator=(const TDibDc&) = delete;

    void Fill(COLORREF color) {
        const RECT all{0, 0, width, height};
        const HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(ToGdiObject(brush));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Row Y as one character per pixel: the key of its colour, '?' for others.
    std::string Row(int y, std::initializer_list<std::pair<COLORREF, char>> keys) const {
        std::string row;
        for (int x = 0; x < width; ++x) {
            char c = '?';
            for (const auto& [color, key] : keys)
                if (At(x, y) == color) c = key;
            row += c;
        }
        return row;
    }

    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};
