#pragma once
// Navigation over the titles of a DVD-Video disc, folder or image: what the
// DVD title source needs to list titles and to read the 2048-byte blocks of a
// chapter range. OpenDvdNavigation is backed by libdvdnav and libdvdread; tests
// put a navigation of their own behind the same interface.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/rtl/String.h"

constexpr int kDvdBlockSize = 2048;

// One title as a scan finds it.
struct TDvdTitleRecord {
    int index = 0; // the title's number on the disc, from 1
    int angleCount = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int chapterCount = 0;
    int audioCount = 0;
    int subtitleCount = 0;
};

// Navigation on one opened disc; closing it is destroying it. Positions are
// block numbers counted from the start of the started title.
class IDvdNavigation {
public:
    virtual ~IDvdNavigation() = default;

    virtual int TitleCount() = 0;
    // Nothing when Title (from 1) cannot be scanned.
    virtual std::optional<TDvdTitleRecord> ScanTitle(int title) = 0;
    // Positions at the first block of Chapter (from 1) of Title; whether it could.
    virtual bool Start(const TDvdTitleRecord& title, int chapter) = 0;
    // Angles of the started title.
    virtual int AngleCount() = 0;
    // Ends the started title: Chapter is negative until the next Start.
    virtual void Stop() = 0;
    virtual void SetAngle(int angle) = 0;
    // The chapter of the block the last Read returned, or, right after a
    // Start or Seek, of the block the next Read returns; negative at the end
    // of the title or after an error.
    virtual int Chapter() = 0;
    // Positive: a block of Length bytes of the started title is in Block
    // (kDvdBlockSize bytes); 0: nothing yet, call again; -1: nothing this time
    // (the end of the title or an error, which Chapter then reports).
    virtual int Read(uint8_t* block, int& length) = 0;
    // Positions so that the next Read returns block Block of the started
    // title; whether it could.
    virtual bool Seek(int64_t block) = 0;
    // The block the last Read returned, and the started title's length in blocks.
    virtual void GetPosition(int64_t& position, int64_t& length) = 0;
};

// Opens the disc, VIDEO_TS folder or image at Path; null when it cannot.
using TDvdNavigationOpener = std::function<std::unique_ptr<IDvdNavigation>(const String& path)>;

// Through libdvdnav and libdvdread: unencrypted discs, VIDEO_TS folders and ISO images.
std::unique_ptr<IDvdNavigation> OpenDvdNavigation(const String& path);
