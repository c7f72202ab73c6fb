#pragma once
// The ICO and CUR file formats: a directory of images, each a BMP image
// without file header whose height counts the colour rows and the AND-mask
// rows, 1 to 32 bits per pixel. Cursor entries carry a hot spot. Internal.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/win/icons/IconImage.h"

struct TIcoEntry {
    int width = 0, height = 0; // as the directory says (0 there means 256)
    int bpp = 0;               // as the directory says; 0 when it does not
    POINT hotSpot{};           // cursors
    std::span<const uint8_t> data;
};

struct TIcoDirectory {
    bool cursor = false;
    std::vector<TIcoEntry> entries; // those whose data lies inside the file
};

// False when the file is no ICO or CUR file or its directory is cut short.
bool ReadIcoDirectory(std::span<const uint8_t> file, TIcoDirectory& directory);
// Decodes an entry into Image (its size from the image's own header). False
// for malformed data and for PNG entries.
bool DecodeIcoEntry(const TIcoEntry& entry, TIconImage& image);
// The entry nearest to Width x Height (exact sizes first, then the smallest
// larger one, then the largest), deepest in colour among equals; -1 for none.
int BestIcoEntry(const TIcoDirectory& directory, int width, int height);

// An ICO file (or, with hot spots, a CUR file) of 32-bit entries with masks.
std::vector<uint8_t> WriteIcoFile(std::span<const TIconImage> images, std::span<const POINT> hotSpots = {});
