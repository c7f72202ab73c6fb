#include "engine/DvdNavigation.h"

#include <dvdnav/dvdnav.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

constexpr uint64_t kTicksPerSecond = 90000;
// Events in a row without a block after which a read gives up: navigation
// that loops without data must not hang the reader.
constexpr int kMaxEventsWithoutData = 10000;

// The libraries' banners and notices go nowhere.
void DropNavigationLog(void*, dvdnav_logger_level_t, const char*, va_list) {}
void DropReaderLog(void*, dvd_logger_level_t, const char*, va_list) {}
const dvdnav_logger_cb navigationLogger{DropNavigationLog};
const dvd_logger_cb readerLogger{DropReaderLog};

struct TIfoClose {
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};
using TIfoPtr = std::unique_ptr<ifo_handle_t, TIfoClose>;

struct TReaderClose {
    void operator()(dvd_reader_t* reader) const { DVDClose(reader); }
};
using TReaderPtr = std::unique_ptr<dvd_reader_t, TReaderClose>;

class TLibDvdNavigation final : public IDvdNavigation {
public:
    TLibDvdNavigation(dvdnav_t* nav, TReaderPtr reader) : nav_(nav), reader_(std::move(reader)) {
        if (reader_) manager_.reset(ifoOpen(reader_.get(), 0));
    }
    ~TLibDvdNavigation() override {
        manager_.reset();
        dvdnav_close(nav_);
    }

    int TitleCount() override {
        int32_t titles = 0;
        return dvdnav_get_number_of_titles(nav_, &titles) == DVDNAV_STATUS_OK ? titles : 0;
    }

    std::optional<TDvdTitleRecord> ScanTitle(int title) override {
        int32_t parts = 0;
        if (dvdnav_get_number_of_parts(nav_, title, &parts) != DVDNAV_STATUS_OK || parts <= 0) return std::nullopt;
        uint64_t* times = nullptr;
        uint64_t duration = 0;
        const uint32_t chapters = dvdnav_describe_title_chapters(nav_, title, &times, &duration);
        std::free(times);
        if (chapters == 0) return std::nullopt;

        TDvdTitleRecord record;
        record.index = title;
        record.chapterCount = parts;
        const auto seconds = static_cast<int>(duration / kTicksPerSecond);
        record.hours = seconds / 3600;
        record.minutes = seconds / 60 % 60;
        record.seconds = seconds % 60;
        CountStreams(record);
        return record;
    }

    bool Start(const TDvdTitleRecord& title, int chapter) override {
        Stop();
        if (dvdnav_part_play(nav_, title.index, chapter) != DVDNAV_STATUS_OK) return false;
        title_ = title.index;
        ended_ = false;
        return FetchPending();
    }

    int AngleCount() override {
        int32_t angles = 0;
        return dvdnav_get_number_of_angles(nav_, title_, &angles) == DVDNAV_STATUS_OK ? angles : 0;
    }

    // dvdnav_stop would leave a stop event that ends the next title played.
    void Stop() override {
        title_ = 0;
        ended_ = true;
        pending_ = false;
    }

    void SetAngle(int angle) override { dvdnav_angle_change(nav_, angle); }

    int Chapter() override {
        int32_t title = 0, part = 0;
        if (ended_ || dvdnav_current_title_info(nav_, &title, &part) != DVDNAV_STATUS_OK || title != title_)
            return -1;
        return part;
    }

    int Read(uint8_t* block, int& length) override {
        if (!pending_) return Next(block, length);
        std::memcpy(block, pendingBlock_, static_cast<size_t>(pendingLength_));
        length = pendingLength_;
        pending_ = false;
        return 1;
    }

    // Sector searches land on a unit boundary near the target, before or
    // after it: search again further back until the landing is not past the
    // block, then read forward to it.
    bool Seek(int64_t block) override {
        if (title_ == 0 || block < 0) return false;
        if (ended_ && !Restart()) return false;
        int64_t target = block, step = 1;
        for (;;) {
            if (dvdnav_sector_search(nav_, target, SEEK_SET) != DVDNAV_STATUS_OK || !FetchPending()) return false;
            const int64_t landed = Position();
            if (landed <= block) break;
            if (target == 0) return false;
            step = std::max(step * 2, landed - block);
            target = std::max<int64_t>(0, target - step);
        }
        while (Position() < block)
            if (!FetchPending()) return false;
        return true;
    }

    void GetPosition(int64_t& position, int64_t& length) override {
        uint32_t pos = 0, len = 0;
        dvdnav_get_position(nav_, &pos, &len);
        position = pos;
        length = len;
    }

private:
    int64_t Position() {
        int64_t position, length;
        GetPosition(position, length);
        return position;
    }

    // Plays the started title again after its end, for a seek.
    bool Restart() {
        TDvdTitleRecord title;
        title.index = title_;
        return Start(title, 1);
    }

    int End() {
        ended_ = true;
        return -1;
    }

    int Next(uint8_t* block, int& length) {
        if (ended_) return -1;
        int32_t event = 0, len = 0;
        if (dvdnav_get_next_block(nav_, block, &event, &len) != DVDNAV_STATUS_OK) return End();
        switch (event) {
        case DVDNAV_STOP: return End();
        case DVDNAV_STILL_FRAME: dvdnav_still_skip(nav_); break;
        case DVDNAV_WAIT: dvdnav_wait_skip(nav_); break;
        default: break;
        }
        int32_t title = 0, part = 0;
        if (dvdnav_current_title_info(nav_, &title, &part) != DVDNAV_STATUS_OK || title != title_) return End();
        if (event == DVDNAV_BLOCK_OK || event == DVDNAV_NAV_PACKET) {
            eventsWithoutData_ = 0;
            length = len;
            return 1;
        }
        return ++eventsWithoutData_ > kMaxEventsWithoutData ? End() : 0;
    }

    // Reads the next block ahead into the pending one; whether there was one.
    bool FetchPending() {
        pending_ = false;
        int result;
        while ((result = Next(pendingBlock_, pendingLength_)) == 0) {
        }
        pending_ = result > 0;
        return pending_;
    }

    void CountStreams(TDvdTitleRecord& record) {
        if (!manager_ || !manager_->tt_srpt || record.index > manager_->tt_srpt->nr_of_srpts) return;
        const TIfoPtr titleSet(ifoOpen(reader_.get(), manager_->tt_srpt->title[record.index - 1].title_set_nr));
        if (!titleSet || !titleSet->vtsi_mat) return;
        record.audioCount = titleSet->vtsi_mat->nr_of_vts_audio_streams;
        record.subtitleCount = titleSet->vtsi_mat->nr_of_vts_subp_streams;
    }

    dvdnav_t* nav_;
    TReaderPtr reader_;
    TIfoPtr manager_; // the video manager's information, for the title sets
    int title_ = 0;   // started; 0: none
    bool ended_ = true;
    int eventsWithoutData_ = 0;
    // The block fetched ahead by Start and Seek, returned by the next Read.
    bool pending_ = false;
    uint8_t pendingBlock_[kDvdBlockSize];
    int pendingLength_ = 0;
};

} // namespace

std::unique_ptr<IDvdNavigation> OpenDvdNavigation(const String& path) {
    const std::string name = path.ToUtf8();
    // libdvdread reports a missing path on the standard error and leaks.
    std::error_code error;
    if (!std::filesystem::exists(name, error)) return nullptr;
    dvdnav_t* nav = nullptr;
    if (dvdnav_open2(&nav, nullptr, &navigationLogger, name.c_str()) != DVDNAV_STATUS_OK) return nullptr;
    // Positions cover the whole title, not only the current program.
    dvdnav_set_PGC_positioning_flag(nav, 1);
    return std::make_unique<TLibDvdNavigation>(nav, TReaderPtr(DVDOpen2(nullptr, &readerLogger, name.c_str())));
}
