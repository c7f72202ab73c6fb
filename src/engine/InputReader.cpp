#include "engine/InputReader.h"

TInputReader::TInputReader(AVFormatContext* context) : TThread(true), context_(context) { Start(); }

TInputReader::~TInputReader() { Drop(); }

int TInputReader::Take(AVPacket* packet) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return finished_ ? result_ : AVERROR(EAGAIN);
    AVPacket* next = queue_.front();
    queue_.pop_front();
    avlib::av_packet_move_ref(packet, next);
    avlib::av_packet_free(&next);
    changed_.notify_all();
    return 0;
}

void TInputReader::Stop() noexcept {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    Drop();
    changed_.notify_all();
}

size_t TInputReader::Queued() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void TInputReader::Drop() noexcept {
    for (AVPacket*& packet : queue_) avlib::av_packet_free(&packet);
    queue_.clear();
}

void TInputReader::Execute() {
    AVPacket* packet = nullptr;
    int result = 0;
    try {
        for (;;) {
            if (!packet && !(packet = avlib::av_packet_alloc())) {
                result = AVERROR(ENOMEM);
                break;
            }
            result = avlib::av_read_frame(context_, packet);
            if (result == AVERROR(EAGAIN)) {
                avlib::av_usleep(10000);
                continue;
            }
            if (result < 0) break;
            if ((result = avlib::av_packet_make_refcounted(packet)) < 0) break;
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || queue_.size() < QueueSize; });
            if (stopping_) break;
            queue_.push_back(packet);
            packet = nullptr;
        }
    } catch (...) {
        result = AVERROR(ENOMEM);
    }
    avlib::av_packet_free(&packet);
    std::lock_guard lock(mutex_);
    finished_ = true;
    result_ = result < 0 ? result : AVERROR_EOF;
}
