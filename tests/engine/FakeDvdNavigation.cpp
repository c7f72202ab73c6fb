#include "FakeDvdNavigation.h"

#include <numeric>

namespace {

class TFakeDvdNavigation final : public IDvdNavigation {
public:
    explicit TFakeDvdNavigation(TFakeDisc& disc) : disc_(disc) { ++disc_.open; }
    ~TFakeDvdNavigation() override { --disc_.open; }

    int TitleCount() override { return static_cast<int>(disc_.titles.size()); }

    std::optional<TDvdTitleRecord> ScanTitle(int title) override {
        if (title < 1 || title > TitleCount() || !Title(title).scans) return std::nullopt;
        const TFakeTitle& fake = Title(title);
        TDvdTitleRecord record;
        record.index = title;
        record.hours = fake.seconds / 3600;
        record.minutes = fake.seconds / 60 % 60;
        record.seconds = fake.seconds % 60;
        record.chapterCount = static_cast<int>(fake.chapterBlocks.size());
        record.audioCount = fake.audio;
        record.subtitleCount = fake.subtitles;
        return record;
    }

    bool Start(const TDvdTitleRecord& title, int chapter) override {
        disc_.calls.push_back("start " + std::to_string(title.index) + " " + std::to_string(chapter));
        ended_ = true;
        const TFakeTitle& fake = Title(title.index);
        if (!fake.starts || chapter < 1 || chapter > static_cast<int>(fake.chapterBlocks.size())) return false;
        title_ = title.index;
        ended_ = false;
        current_ = next_ = std::accumulate(fake.chapterBlocks.begin(), fake.chapterBlocks.begin() + chapter - 1,
                                           int64_t{0});
        return true;
    }

    int AngleCount() override { return Title(title_).angles; }

    void Stop() override {
        disc_.calls.push_back("stop");
        ended_ = true;
    }

    void SetAngle(int angle) override { disc_.calls.push_back("angle " + std::to_string(angle)); }

    int Chapter() override {
        if (ended_) return -1;
        int64_t first = 0;
        const auto& chapters = Title(title_).chapterBlocks;
        for (size_t c = 0; c < chapters.size(); first += chapters[c++])
            if (current_ < first + chapters[c]) return static_cast<int>(c) + 1;
        return -1;
    }

    int Read(uint8_t* block, int& length) override {
        if (ended_) return -1;
        if (disc_.eventEvery > 0 && ++reads_ % disc_.eventEvery == 0) return 0;
        if (next_ >= Length()) {
            ended_ = true;
            return -1;
        }
        for (int i = 0; i < kDvdBlockSize; ++i) block[i] = FakeDvdByte(next_, i);
        length = kDvdBlockSize;
        current_ = next_++;
        return 1;
    }

    bool Seek(int64_t block) override {
        disc_.calls.push_back("seek " + std::to_string(block));
        if (!disc_.seeks || block < 0 || block >= Length()) return false;
        ended_ = false;
        current_ = next_ = block;
        return true;
    }

    void GetPosition(int64_t& position, int64_t& length) override {
        position = current_;
        length = Length();
    }

private:
    const TFakeTitle& Title(int title) const { return disc_.titles.at(static_cast<size_t>(title - 1)); }
    int64_t Length() const {
        const auto& chapters = Title(title_).chapterBlocks;
        return std::accumulate(chapters.begin(), chapters.end(), int64_t{0});
    }

    TFakeDisc& disc_;
    int title_ = 1;
    bool ended_ = true;
    int64_t current_ = 0; // the block Chapter and GetPosition report
    int64_t next_ = 0;    // the block the next Read returns
    int reads_ = 0;
};

} // namespace

TDvdNavigationOpener FakeDvdOpener(TFakeDisc& disc) {
    return [&disc](const String&) -> std::unique_ptr<IDvdNavigation> {
        if (!disc.opens) return nullptr;
        return std::make_unique<TFakeDvdNavigation>(disc);
    };
}

uint8_t FakeDvdByte(int64_t block, int offset) {
    const auto word = static_cast<uint32_t>(block * (kDvdBlockSize / 4) + offset / 4);
    return static_cast<uint8_t>(word >> (8 * (offset % 4)));
}
