#include "engine/BitmapCapture.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/rtl/Exceptions.h"

TBitmapCapture::TBitmapCapture(int width, int height, AVRational frameRate)
    : width_(width), height_(height), frameRate_(frameRate) {
    if (width <= 0 || height <= 0) throw EArgumentOutOfRangeException("Invalid bitmap size");
    bitmap_.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    frame_.resize(bitmap_.size());
    taken_ = frame_.size();
}

void TBitmapCapture::Draw(const std::function<void(TAVBitmap& bitmap)>& paint) {
    std::lock_guard lock(mutex_);
    TAVBitmap bitmap(bitmap_.data(), width_, height_);
    paint(bitmap);
}

int64_t TBitmapCapture::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (taken_ == frame_.size()) {
        std::lock_guard lock(mutex_);
        std::memcpy(frame_.data(), bitmap_.data(), frame_.size());
        taken_ = 0;
    }
    const size_t n = std::min(static_cast<size_t>(count), frame_.size() - taken_);
    std::memcpy(buffer, frame_.data() + taken_, n);
    taken_ += n;
    return static_cast<int64_t>(n);
}

int64_t TBitmapCapture::Seek(int64_t offset, TSeekOrigin origin) {
    if (origin != soBeginning || offset != 0) return -1;
    taken_ = frame_.size();
    return 0;
}

void TBitmapCapture::DemuxerOptions(TAVDict& options) const {
    options.Set("video_size", std::to_string(width_) + "x" + std::to_string(height_));
    options.Set("pixel_format", "bgra");
    options.Set("framerate", std::to_string(frameRate_.num) + "/" + std::to_string(frameRate_.den));
}
