#include "engine/DvdStream.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

TDvdStream::TDvdStream(const String& path, int title, int angle, int firstChapter, int lastChapter,
                       const TDvdNavigationOpener& open)
    : ring_(kRingSize) {
    navigation_ = open(path);
    if (!navigation_) throw Exception("Can not open DVD");
    std::optional<TDvdTitleRecord> record = navigation_->ScanTitle(title);
    if (!record) throw Exception("Can not open title");
    title_ = *record;
    if (firstChapter < 1 || firstChapter > lastChapter || lastChapter > title_.chapterCount)
        throw Exception("Can not start chapter");
    first_ = firstChapter;
    last_ = lastChapter;

    int64_t length = 0, endBlock = 0;
    if (last_ < title_.chapterCount) endBlock = FirstBlockOf(last_ + 1, length);
    startBlock_ = FirstBlockOf(first_, length);
    if (last_ == title_.chapterCount) endBlock = length;
    size_ = std::max<int64_t>(0, endBlock - startBlock_) * kDvdBlockSize;
    navigation_->SetAngle(angle);
    if (Seek(0, soBeginning) != 0) throw Exception("Can not start chapter");
}

int64_t TDvdStream::FirstBlockOf(int chapter, int64_t& length) {
    uint8_t block[kDvdBlockSize];
    if (!navigation_->Start(title_, chapter) || ReadChapters(block, kDvdBlockSize, chapter, chapter) == 0)
        throw Exception("Can not start chapter");
    ring_.Clear();
    int64_t position = 0;
    navigation_->GetPosition(position, length);
    return position;
}

int64_t TDvdStream::Read(void* buffer, int64_t count) {
    return atEnd_ ? 0 : ReadChapters(buffer, count, first_, last_);
}

int64_t TDvdStream::ReadChapters(void* buffer, int64_t count, int first, int last) {
    if (count <= 0) return 0;
    const auto wanted = static_cast<int32_t>(std::min<int64_t>(count, ring_.Size() - 1));
    const auto inRange = [first, last](int chapter) { return chapter >= first && chapter <= last; };
    uint8_t block[kDvdBlockSize];
    // A block is read only while the ring has room for it, so none is dropped.
    while (ring_.DataSize(true) < wanted && ring_.FreeSpace(true) > kDvdBlockSize &&
           inRange(navigation_->Chapter())) {
        int length = 0, result;
        while ((result = navigation_->Read(block, length)) == 0) {
        }
        // The first block of the chapter after the range ends it.
        if (result < 0 || !inRange(navigation_->Chapter())) continue;
        ring_.Write(block, std::clamp(length, 0, kDvdBlockSize));
    }
    const int32_t taken = std::min(wanted, ring_.DataSize(true));
    ring_.Read(buffer, taken);
    return taken;
}

int64_t TDvdStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (origin != soBeginning || offset < 0) return -1;
    ring_.Clear();
    offset = std::min(offset, size_);
    atEnd_ = offset == size_;
    if (atEnd_) return offset;
    const int64_t block = offset / kDvdBlockSize;
    if (!(block == 0 ? navigation_->Start(title_, first_) : navigation_->Seek(startBlock_ + block))) return -1;
    if (const int64_t rest = offset % kDvdBlockSize) {
        uint8_t skipped[kDvdBlockSize];
        Read(skipped, rest);
    }
    return offset;
}
