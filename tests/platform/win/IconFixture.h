#pragma once
// Icon and image-list tests: a fixture that also catches leaked icons, ICO and
// CUR files written by hand, and resources registered while the tests run.

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "GdiFixture.h"
#include "platform/rtl/Resources.h"
#include "platform/win/icons/Icon.h"
#include "platform/win/icons/Icons.h"

class IconTest : public GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        icons_ = LiveIcons();
    }
    void TearDown() override {
        EXPECT_EQ(LiveIcons(), icons_) << "icons leaked";
        GdiTest::TearDown();
    }

private:
    size_t icons_ = 0;
};

// One image of an ICO or CUR file. Pixels, top row first: table indexes up to
// 8 bits, 0x7FFF-style values for 16 bits, 0xAARRGGBB otherwise. Mask: 1 keeps
// what lies beneath; empty leaves the mask rows out.
struct TIcoImage {
    int width = 0, height = 0, bpp = 32;
    std::vector<RGBQUAD> table;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> mask;
    POINT hotSpot{};
};

inline std::vector<uint8_t> MakeIco(const std::vector<TIcoImage>& images, bool cursor = false) {
    auto put16 = [](std::vector<uint8_t>& out, size_t at, uint32_t v) {
        out[at] = uint8_t(v);
        out[at + 1] = uint8_t(v >> 8);
    };
    std::vector<uint8_t> file(6 + 16 * images.size());
    put16(file, 2, cursor ? 2 : 1);
    put16(file, 4, uint32_t(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const TIcoImage& image = images[i];
        const int w = image.width, h = image.height;
        const size_t stride = size_t(w * image.bpp + 31) / 32 * 4, maskStride = size_t(w + 31) / 32 * 4;
        std::vector<uint8_t> data(40 + image.table.size() * 4 + stride * h + (image.mask.empty() ? 0 : maskStride * h));
        const BITMAPINFOHEADER header{40, w, 2 * h, 1, WORD(image.bpp), BI_RGB, 0, 0, 0, DWORD(image.table.size()), 0};
        std::memcpy(data.data(), &header, 40);
        if (!image.table.empty()) std::memcpy(data.data() + 40, image.table.data(), image.table.size() * 4);
        uint8_t* colors = data.data() + 40 + image.table.size() * 4;
        uint8_t* masks = colors + stride * h;
        for (int y = 0; y < h; ++y) {
            uint8_t* row = colors + stride * size_t(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                const uint32_t p = image.pixels[size_t(y * w + x)];
                switch (image.bpp) {
                case 1: row[x / 8] |= uint8_t(p << (7 - x % 8)); break;
                case 4: row[x / 2] |= uint8_t(x % 2 ? p : p << 4); break;
                case 8: row[x] = uint8_t(p); break;
                case 16: std::memcpy(row + x * 2, &p, 2); break;
                case 24: std::memcpy(row + x * 3, &p, 3); break;
                case 32: std::memcpy(row + x * 4, &p, 4); break;
                }
                if (!image.mask.empty() && image.mask[size_t(y * w + x)])
                    masks[maskStride * size_t(h - 1 - y) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            }
        }
        uint8_t* entry = file.data() + 6 + 16 * i;
        entry[0] = uint8_t(w);
        entry[1] = uint8_t(h);
        put16(file, 6 + 16 * i + 4, cursor ? uint32_t(image.hotSpot.x) : 1);
        put16(file, 6 + 16 * i + 6, cursor ? uint32_t(image.hotSpot.y) : uint32_t(image.bpp));
        const uint32_t size = uint32_t(data.size()), offset = uint32_t(file.size());
        std::memcpy(entry + 8, &size, 4);
        std::memcpy(entry + 12, &offset, 4);
        file.insert(file.end(), data.begin(), data.end());
    }
    return file;
}

// Registers Bytes as the resource Name of Kind for the rest of the program.
inline void AddTestResource(const char16_t* kind, const char16_t* name, std::vector<uint8_t> bytes) {
    static std::deque<std::vector<uint8_t>> data;
    static std::deque<TResourceEntry> entries;
    const std::vector<uint8_t>& kept = data.emplace_back(std::move(bytes));
    const TResourceEntry& entry = entries.emplace_back(TResourceEntry{kind, name, kept.data(), kept.data() + kept.size()});
    RegisterResources(std::span(&entry, 1));
}

