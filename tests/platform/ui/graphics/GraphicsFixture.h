#pragma once
// Graphics-class tests: the framework's units started (texts and picture
// formats), and a check that every test gives back its palettes and icons
// besides the other drawing-layer objects.

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <vector>

#include "../DibFixture.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/icons/IcoFile.h"
#include "platform/win/icons/Icon.h"

class GraphicsTest : public GdiObjectsTest {
protected:
    void SetUp() override {
        RegisterUiUnits(units_);
        units_.Initialize();
        GdiObjectsTest::SetUp();
        palettes_ = GdiLiveObjects(OBJ_PAL);
        icons_ = LiveIcons();
    }
    void TearDown() override {
        EXPECT_EQ(GdiLiveObjects(OBJ_PAL), palettes_) << "palettes leaked";
        EXPECT_EQ(LiveIcons(), icons_) << "icons leaked";
        GdiObjectsTest::TearDown();
        units_.Finalize();
    }

private:
    TUnitRegistry units_;
    size_t palettes_ = 0, icons_ = 0;
};

// A palette of the colours given as 0x00RRGGBB values.
inline HPALETTE MakePalette(std::initializer_list<uint32_t> colors) {
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(colors.size());
    int i = 0;
    for (uint32_t c : colors) palette->palPalEntry[i++] = PALETTEENTRY{BYTE(c >> 16), BYTE(c >> 8), BYTE(c), 0};
    return CreatePalette(palette);
}

inline std::vector<uint8_t> StreamBytes(TMemoryStream& stream) {
    std::vector<uint8_t> bytes(size_t(stream.Size()));
    std::memcpy(bytes.data(), stream.Memory(), bytes.size());
    return bytes;
}

// An icon image of 0xAARRGGBB pixels, top row first, and mask bytes (1 keeps what lies beneath).
inline TIconImage IconImage(int width, int height, std::vector<uint32_t> pixels, std::vector<uint8_t> mask) {
    TIconImage image;
    image.width = width;
    image.height = height;
    image.color = std::move(pixels);
    image.mask = std::move(mask);
    return image;
}

// Registers Bytes as the resource Name of Kind for the rest of the program.
inline void AddTestResource(const char16_t* kind, const char16_t* name, std::vector<uint8_t> bytes) {
    static std::deque<std::vector<uint8_t>> data;
    static std::deque<TResourceEntry> entries;
    const std::vector<uint8_t>& kept = data.emplace_back(std::move(bytes));
    const TResourceEntry& entry = entries.emplace_back(TResourceEntry{kind, name, kept.data(), kept.data() + kept.size()});
    RegisterResources(std::span(&entry, 1));
}
