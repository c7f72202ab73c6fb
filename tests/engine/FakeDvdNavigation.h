#pragma once
// A disc made of numbers, behind the DVD navigation interface. A title's
// chapters are runs of blocks; every 4-byte word of block B of a title holds
// B * 512 + the word's index, so a reader can tell which bytes it got.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/DvdNavigation.h"

struct TFakeTitle {
    std::vector<int64_t> chapterBlocks; // blocks per chapter
    int angles = 1;
    int seconds = 0;
    int audio = 0;
    int subtitles = 0;
    bool scans = true;
    bool starts = true;
};

struct TFakeDisc {
    bool opens = true;
    std::vector<TFakeTitle> titles;
    // A read that is a multiple of this number returns "nothing yet" first (0: never).
    int eventEvery = 0;
    bool seeks = true;
    // Navigations open now.
    int open = 0;
    // What the navigation was asked, in order: "start T C", "seek B", "angle A", "stop".
    std::vector<std::string> calls;
};

// Opens navigations over Disc, which must outlive them; none when Disc does not open.
TDvdNavigationOpener FakeDvdOpener(TFakeDisc& disc);

// Byte Offset of block Block of a fake title.
uint8_t FakeDvdByte(int64_t block, int offset);
