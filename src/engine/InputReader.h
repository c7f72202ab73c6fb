#pragma once
// Reads one input file ahead on a thread of its own (a conversion with more
// than one input has one per input): at most QueueSize packets wait.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "engine/AVLib.h"
#include "platform/rtl/Threads.h"

class TInputReader final : public TThread {
public:
    static constexpr size_t QueueSize = 8;

    // Starts reading Context at once. Made on a thread that holds an FFmpeg
    // use; the reader keeps one of that thread's until it is freed.
    explicit TInputReader(AVFormatContext* context);

    // Moves the next packet into Packet: 0; AVERROR(EAGAIN) when none is read
    // yet; once the reading has ended and the queue is empty, AVERROR_EOF or
    // the error that ended it.
    int Take(AVPacket* packet);
    // Ends the reading and drops the queued packets; Free() then returns soon.
    void Stop() noexcept;
    size_t Queued() const;

protected:
    ~TInputReader() override;
    void Execute() override;

private:
    void Drop() noexcept;

    const TAVLibUse use_;
    AVFormatContext* const context_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<AVPacket*> queue_;
    bool stopping_ = false;
    bool finished_ = false;
    int result_ = AVERROR_EOF;
};
